#pragma once
// The panels beside or below the plot (View > Why this step, View >
// Envelope progress): the plot keeps the rest of the client area, so that
// neither covers it and their text is never clipped.
#include "platform/canvas.h"

struct WindowModel;

// The part of the client area the plot is laid out in.
Rect plotArea(const WindowModel& model, const Rect& client);
// The why panel's box (empty when it is not shown).
Rect whyPanelRect(const WindowModel& model, const Rect& client);
// The panels in the rest of the client area (nothing when none is shown).
void paintSidePanels(Canvas& canvas, const Rect& client, const WindowModel& model);
