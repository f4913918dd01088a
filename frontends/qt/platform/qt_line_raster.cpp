#include "frontends/qt/platform/qt_line_raster.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

// Collects pixels that arrive in order along the major axis into runs.
class RunBuilder {
 public:
  RunBuilder(bool horizontal, const QRect& visible, std::vector<QRect>& runs)
      : horizontal_(horizontal), visible_(visible), runs_(runs) {}
  ~RunBuilder() { flush(); }

  void add(int major, int minor) {
    const int x = horizontal_ ? major : minor;
    const int y = horizontal_ ? minor : major;
    if (!visible_.contains(x, y)) return;
    if (open_ && minor == minor_ && major == end_) {
      ++end_;
      return;
    }
    flush();
    open_ = true;
    start_ = major;
    end_ = major + 1;
    minor_ = minor;
  }

 private:
  void flush() {
    if (!open_) return;
    if (horizontal_) {
      runs_.emplace_back(start_, minor_, end_ - start_, 1);
    } else {
      runs_.emplace_back(minor_, start_, 1, end_ - start_);
    }
    open_ = false;
  }

  bool horizontal_;
  const QRect& visible_;
  std::vector<QRect>& runs_;
  bool open_ = false;
  int start_ = 0;
  int end_ = 0;
  int minor_ = 0;
};

}  // namespace

void lineRuns(QPoint from, QPoint to, const QRect& visible, std::vector<QRect>& runs) {
  runs.clear();
  const std::int64_t dx = std::int64_t{to.x()} - from.x();
  const std::int64_t dy = std::int64_t{to.y()} - from.y();
  if (dx == 0 && dy == 0) return;
  // Qt steps along y when |dx| < |dy|, so diagonals are x-major.
  const bool horizontal = std::llabs(dx) >= std::llabs(dy);
  auto major = [horizontal](QPoint p) -> std::int64_t { return horizontal ? p.x() : p.y(); };
  auto minor = [horizontal](QPoint p) -> std::int64_t { return horizontal ? p.y() : p.x(); };

  // Qt walks from the end with the smaller major coordinate, including it and
  // leaving out the other; its minor coordinate runs in 16.16 fixed point and
  // samples pixel centres for a positive slope, pixel edges for a negative one.
  const bool forward = major(to) > major(from);
  const QPoint low = forward ? from : to;
  const QPoint high = forward ? to : from;
  const std::int64_t span = major(high) - major(low);
  const std::int64_t rise = minor(high) - minor(low);
  const std::int64_t increment = (rise * 65536) / span;
  const std::int64_t first = minor(low) * 65536 + (increment > 0 ? (32 * increment) >> 6 : 0);
  // Qt cuts a line at the edge of the device before it walks, so its fixed
  // point never drifts far; a line towards a far-off coordinate is walked
  // here in exact arithmetic instead, with the same sampling.
  const bool exact = span > (std::int64_t{1} << 14);
  auto minorAt = [&](std::int64_t m) {
    if (!exact) return static_cast<int>((first + (m - major(low)) * increment) >> 16);
    const std::int64_t numerator = minor(low) * 2 * span + (2 * (m - major(low)) + (rise > 0 ? 1 : 0)) * rise;
    const std::int64_t denominator = 2 * span;
    std::int64_t quotient = numerator / denominator;
    if (numerator % denominator != 0 && numerator < 0) --quotient;  // floor
    return static_cast<int>(quotient);
  };

  // GDI's ends: going backwards the walk starts one step in and ends on the
  // start point itself.
  std::int64_t begin = major(low) + (forward ? 0 : 1);
  std::int64_t end = major(high);  // exclusive
  const std::int64_t visibleLow = horizontal ? visible.left() : visible.top();
  const std::int64_t visibleHigh = horizontal ? visible.right() : visible.bottom();
  begin = std::max(begin, visibleLow);
  end = std::min(end, visibleHigh + 1);

  RunBuilder builder(horizontal, visible, runs);
  for (std::int64_t m = begin; m < end; ++m) builder.add(static_cast<int>(m), minorAt(m));
  if (!forward) builder.add(static_cast<int>(major(high)), static_cast<int>(minor(high)));
}
