// Where the last candidate lies when the plot frame cannot hold it: the
// picture marks it at the frame's edge, and the status line says so.
#include "app/main_window.h"
#include "display/candidate_marker.h"

std::string MainWindow::candidateOutsideNote() const {
  if (hwnd == nullptr || !sampler.hasLastDraw || plotter.numPoints < 2) return "";
  PlotMapping mapping;
  plotter.getMapping(*hwnd, mapping);
  const double height = logScale ? sampler.lastLogY + curveLogOffset
                                 : shiftedExp(sampler.lastLogY, curveLogOffset);
  const int px = wholePixelX(mapping, sampler.lastX);
  const int py = wholePixelY(mapping, height);
  switch (sideOfFrame(plotter.getFrame(*hwnd), px, py)) {
    case FrameSide::Above:
      return " Candidate above the plot, marked at its top edge.";
    case FrameSide::Below:
      return " Candidate below the plot, marked at its bottom edge.";
    case FrameSide::Left:
      return " Candidate left of the plot, marked at its left edge.";
    case FrameSide::Right:
      return " Candidate right of the plot, marked at its right edge.";
    case FrameSide::Inside:
      break;
  }
  return "";
}
