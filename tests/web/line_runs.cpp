// The desktop's pixels of one-pixel lines, for line_runs.test.js to compare
// with the page's: reads "x0 y0 x1 y1 left top right bottom" lines (the
// visible box with exclusive right and bottom) and prints each line's runs
// as "x y width height", the runs of one line on one output line.
#include <iostream>
#include <vector>

#include "frontends/qt/platform/qt_line_raster.h"

int main() {
  int x0, y0, x1, y1, left, top, right, bottom;
  std::vector<QRect> runs;
  while (std::cin >> x0 >> y0 >> x1 >> y1 >> left >> top >> right >> bottom) {
    lineRuns(QPoint(x0, y0), QPoint(x1, y1), QRect(left, top, right - left, bottom - top), runs);
    const char* space = "";
    for (const QRect& r : runs) {
      std::cout << space << r.x() << ' ' << r.y() << ' ' << r.width() << ' ' << r.height();
      space = " ";
    }
    std::cout << '\n';
  }
  return 0;
}
