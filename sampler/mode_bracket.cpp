#include "sampler/mode_bracket.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace ars::detail {
namespace {

constexpr int kMaxSteps = 2400;  // doubling from 1e-308 to 1e308, and shrinking back
constexpr double kGolden = 0.3819660112501051;

double tooNear(double x) { return std::max(1e-13 * std::fabs(x), std::numeric_limits<double>::min()); }

// The vertex of the parabola through three points, or NaN.
double vertex(const Evaluated& a, const Evaluated& b, const Evaluated& c) {
  const double p = (b.x - a.x) * (b.h - c.h), q = (b.x - c.x) * (b.h - a.h);
  const double denominator = 2 * (p - q);
  if (!(denominator != 0)) return std::nan("");
  return b.x - ((b.x - a.x) * p - (b.x - c.x) * q) / denominator;
}

class Search {
 public:
  Search(const std::function<double(double)>& h, double lower, double upper, double drop)
      : h_(h), lo_(std::nextafter(lower, upper)), hi_(std::nextafter(upper, lower)), drop_(drop) {}

  std::vector<Evaluated> run(const std::vector<Evaluated>& known) {
    std::size_t top = 0;
    for (std::size_t i = 1; i < known.size(); ++i)
      if (known[i].h > known[top].h) top = i;
    b_ = known[top];
    if (top > 0) a_ = known[top - 1];
    if (top + 1 < known.size()) c_ = known[top + 1];
    step_[0] = step_[1] = unit();
    while (steps_ < kMaxSteps && !(a_ || atLow_)) stepOut(-1);
    while (steps_ < kMaxSteps && !(c_ || atHigh_)) stepOut(+1);
    bool parabola = true;
    while (steps_ < kMaxSteps && !adequate()) {
      if (!shrink(parabola)) break;
      parabola = !parabola;
    }
    return evaluated_;
  }

 private:
  Evaluated at(double x) {
    ++steps_;
    evaluated_.push_back({x, h_(x)});
    return evaluated_.back();
  }

  double unit() const {
    if (a_) return b_.x - a_->x;
    if (c_) return c_->x - b_.x;
    return std::max(1.0, 1e-3 * std::fabs(b_.x));
  }

  // One step from b away from its side `side` (-1 left, +1 right): a point
  // that falls closes that side, one that rises becomes the middle. Towards a
  // finite end the step halves the way there; once h rises by less than the
  // drop, the end is as good as a point.
  void stepOut(int side) {
    const double end = side < 0 ? lo_ : hi_;
    double x = b_.x + side * step_[side > 0];
    const bool clipped = side < 0 ? !(x > lo_) : !(x < hi_);
    if (clipped) x = 0.5 * b_.x + 0.5 * end;  // halves never overflow
    if (std::fabs(x - b_.x) <= tooNear(b_.x) || x == end) {
      (side < 0 ? atLow_ : atHigh_) = true;
      return;
    }
    const Evaluated p = at(x);
    if (!(p.h > b_.h)) {
      (side < 0 ? a_ : c_) = p;
      return;
    }
    (side < 0 ? c_ : a_) = b_;
    if (clipped && p.h - b_.h <= drop_) (side < 0 ? atLow_ : atHigh_) = true;
    b_ = p;
    step_[side > 0] = 2 * std::fabs(x - (side < 0 ? c_ : a_)->x);
  }

  // A side is close enough where h falls by at most the drop there, or, where
  // f = 0 at its outer point, where that zero is no further from the middle
  // than the other side's point (the caller's support ends there).
  bool sideDone(const std::optional<Evaluated>& side, const std::optional<Evaluated>& other) const {
    if (!side) return true;
    if (std::isfinite(side->h)) return b_.h - side->h <= drop_;
    return !other || !std::isfinite(other->h) || std::fabs(side->x - b_.x) <= std::fabs(other->x - b_.x);
  }
  bool adequate() const { return sideDone(a_, c_) && sideDone(c_, a_); }

  // One point inside the bracket: the parabola's vertex where it falls well
  // inside, else the golden section of the wider side that is too steep.
// The two take turns, so the bracket shrinks at least by the golden ratio
// every other step whatever the shape of h.
  bool shrink(bool parabola) {
    const bool leftSteep = !sideDone(a_, c_), rightSteep = !sideDone(c_, a_);
    const double leftWidth = leftSteep ? b_.x - a_->x : 0, rightWidth = rightSteep ? c_->x - b_.x : 0;
    const bool left = leftWidth > rightWidth;
    const double width = left ? leftWidth : rightWidth;
    if (!(width > 4 * tooNear(b_.x))) return false;
    // Weighted means of bracket points, which never overflow.
    double x = (1 - kGolden) * b_.x + kGolden * (left ? a_->x : c_->x);
    if (parabola && a_ && c_ && std::isfinite(a_->h) && std::isfinite(c_->h)) {
      const double v = vertex(*a_, b_, *c_);
      const double margin = 0.01 * (c_->x - a_->x);
      // Next to the middle, the vertex says the mode is found: the
      // parabola's curvature places the point where h should fall by a
      // little less than the drop.
      const double curvature =
          ((b_.h - a_->h) / (b_.x - a_->x) - (c_->h - b_.h) / (c_->x - b_.x)) / (c_->x - a_->x);
      const double reach = std::sqrt(0.6 * drop_ / curvature);
      if (v > a_->x + margin && v < c_->x - margin && std::fabs(v - b_.x) > margin)
        x = v;
      else if (reach < 0.9 * width && reach > tooNear(b_.x))
        x = left ? b_.x - reach : b_.x + reach;  // inside the bracket: finite
    }
    const Evaluated p = at(x);
    if (p.h > b_.h) {
      (x < b_.x ? c_ : a_) = b_;
      b_ = p;
    } else {
      (x < b_.x ? a_ : c_) = p;
    }
    return true;
  }

  const std::function<double(double)>& h_;
  double lo_, hi_, drop_;
  Evaluated b_{};
  std::optional<Evaluated> a_, c_;
  bool atLow_ = false, atHigh_ = false;
  double step_[2] = {0, 0};
  int steps_ = 0;
  std::vector<Evaluated> evaluated_;
};

}  // namespace

std::vector<Evaluated> bracketMode(const std::function<double(double)>& h, double lower, double upper,
                                   const std::vector<Evaluated>& known, double drop) {
  return Search(h, lower, upper, drop).run(known);
}

}  // namespace ars::detail
