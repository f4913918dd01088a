#pragma once
// The exception of the library face: the density is provably not log-concave,
// or not integrable towards an unbounded end. what() says why: the points
// that prove it, or the end that cannot be integrated.
#include <stdexcept>
#include <string>

namespace ars {

class NotLogConcave : public std::domain_error {
 public:
  using std::domain_error::domain_error;
};

}  // namespace ars
