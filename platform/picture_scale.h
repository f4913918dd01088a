#pragma once
// One factor for everything the picture draws (pens, dots, ticks, text): the
// client size against the 400 x 300 the window opens with, never below 1, so
// that the picture at its opening size stays what it always was.
#include "platform/canvas.h"

double pictureScale(const Rect& client);
// A length of the classic picture at this scale, rounded to whole pixels.
int scaledPixels(int pixels, double scale);
