#include "three_point_floor.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace bench {

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double spread = 1.2;  // as the engine's guides

// exp(h) over a piece falling at rate over width from expTop (relative).
double pieceArea(double expTop, double rate, double width) {
  return std::isinf(width) ? expTop / rate : -expTop * std::expm1(-rate * width) / rate;
}

}  // namespace

bool ThreePointFloor::update(const std::function<double(double)>& h, double lower, double upper,
                             const std::function<double()>& uniform, double& x,
                             std::uint64_t& evaluations) {
  const auto inside = [&](double t) { return t > lower && t < upper; };
  const double a = mode_ - spread * scale_, c = mode_ + spread * scale_;
  if (!inside(a) || !inside(c)) {
    scale_ *= 0.5;  // guides that fit next time
    return false;
  }
  const double ha = h(a), hc = h(c);
  evaluations += 2;
  // Beyond a guide, the third goes as far again past it, and a spread more.
  const double guess = 0.5 * (a + c) + scale_ * scale_ * (hc - ha) / (c - a);
  double b = guess;
  if (!(guess > a + 0.25 * scale_)) b = 2 * std::min(guess, a) - a - spread * scale_;
  if (!(guess < c - 0.25 * scale_)) b = 2 * std::max(guess, c) - c + spread * scale_;
  if (!inside(b)) return false;
  const double hb = h(b);
  ++evaluations;
  double p[3] = {a, b, c}, v[3] = {ha, hb, hc};
  if (b < a) {
    p[0] = b, p[1] = a, v[0] = hb, v[1] = ha;
  } else if (b > c) {
    p[1] = c, p[2] = b, v[1] = hc, v[2] = hb;
  }
  const double s0 = (v[1] - v[0]) / (p[1] - p[0]), s1 = (v[2] - v[1]) / (p[2] - p[1]);
  if (!(s0 > 0 && s1 < 0 && std::isfinite(s0) && std::isfinite(s1))) return false;
  const double drop = s0 - s1, span = p[2] - p[0];
  // The parabola through the three: the next update's mode and scale.
  const double nextScale = std::sqrt(0.5 * span / drop);
  const double nextMode = 0.5 * (p[0] + p[1]) + s0 / drop * (0.5 * span);
  if (std::isfinite(nextScale) && nextScale > 0 && std::isfinite(nextMode)) {
    scale_ = nextScale;
    mode_ = nextMode;
  }

  // Pieces, left to right: the lower tail from p0 (slope s0), [p0, p1] under
  // the secant of (p1, p2), [p1, p2] under that of (p0, p1), the upper tail.
  const double atP0 = v[1] + s1 * (p[0] - p[1]), atP2 = v[1] + s0 * (p[2] - p[1]);
  const double top = std::max(atP0, atP2);
  const double anchor[4] = {p[0], p[0], p[2], p[2]};
  const double value[4] = {v[0], atP0, atP2, v[2]};
  const double rate[4] = {s0, -s1, s0, -s1};
  const double width[4] = {p[0] - lower, p[1] - p[0], p[2] - p[1], upper - p[2]};
  const double dir[4] = {-1, 1, -1, 1};
  double expTop[4], end[4], sum = 0;
  for (int i = 0; i < 4; ++i) {
    expTop[i] = std::exp(value[i] - top);
    sum += pieceArea(expTop[i], rate[i], width[i]);
    end[i] = sum;
  }
  if (!(sum > 0 && sum < inf)) return false;
  for (int tries = 0; tries < 16; ++tries) {
    const double t = uniform() * sum, w = uniform();
    int i = 0;
    while (i < 3 && t >= end[i]) ++i;
    const double r = i == 0 ? t : t - end[i - 1];
    const double q = std::min(r * rate[i] / expTop[i], 1 - 0x1p-53);
    const double d = std::min(std::max(-std::log1p(-q) / rate[i], 0.0), width[i]);
    const double y = anchor[i] + dir[i] * d, hull = value[i] - rate[i] * d;
    // Under the chords: by a cubic lower bound of exp first, then by the log.
    double chord = -inf;
    if (y > p[0] && y < p[1]) chord = v[0] + s0 * (y - p[0]);
    if (y >= p[1] && y < p[2]) chord = v[1] + s1 * (y - p[1]);
    const double g = chord - hull;
    if (w <= 1 + g * (1 + g * (0.5 + g * (1.0 / 6)))) {
      x = y;
      break;
    }
    const double level = hull + std::log(w);
    if (level <= chord) {
      x = y;
      break;
    }
    ++evaluations;
    if (level <= h(y)) {
      x = y;
      break;
    }
    if (tries == 15) return false;  // a hull far too wide: the caller serves
  }
  return true;
}

}  // namespace bench
