#pragma once
// The pixels of a one-pixel line, as GDI's LineTo sets them: the start pixel
// drawn, the end pixel left out, nothing for a zero-length line. Between the
// ends each pixel is the one Qt's aliased cosmetic stroker picks for the same
// two points, so a line looks as Qt would draw it, only with GDI's ends.
#include <QPoint>
#include <QRect>
#include <vector>

// Replaces `runs` with the line's pixels inside `visible`, merged into runs
// along the line's major axis. Only the visible part is walked, so a line
// towards a far-off coordinate costs no more than one across the window.
void lineRuns(QPoint from, QPoint to, const QRect& visible, std::vector<QRect>& runs);
