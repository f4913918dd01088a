#pragma once
// The exception of the library face: the density is provably not log-concave,
// or not integrable towards an unbounded end. what() says why: the points
// that prove it, or the end that cannot be integrated; reason() and points()
// say the same for a program that shows the proof.
#include <array>
#include <stdexcept>
#include <string>

#include "sampler/engine_export.h"

namespace ars {

class ARS_API NotLogConcave : public std::domain_error {
 public:
  enum class Reason { NotConcave, NotIntegrable };
  // An evaluated point (x, h): h is the log-density there.
  struct Point {
    double x = 0.0;
    double h = 0.0;
  };

  explicit NotLogConcave(const std::string& what, Reason reason = Reason::NotConcave)
      : std::domain_error(what), reason_(reason) {}
  // The middle point lies below the chord of the outer two.
  NotLogConcave(const std::string& what, const Point& left, const Point& below, const Point& right)
      : std::domain_error(what), reason_(Reason::NotConcave), points_{left, below, right}, hasPoints_(true) {}

  Reason reason() const { return reason_; }
  bool hasPoints() const { return hasPoints_; }
  // left, below, right; meaningful only where hasPoints().
  const std::array<Point, 3>& points() const { return points_; }

 private:
  Reason reason_;
  std::array<Point, 3> points_{};
  bool hasPoints_ = false;
};

}  // namespace ars
