#pragma once
// One factor for everything the picture draws (pens, dots, ticks, text): the
// client size against the 400 x 300 the window opens with, never below 1, so
// that at the opening size every length is drawn as given.
#include "platform/canvas.h"

double pictureScale(const Rect& client);
// A length of the picture at the opening size, at this scale, rounded to whole pixels.
int scaledPixels(int pixels, double scale);
