#pragma once
// The program's message boxes: a caption, a text and one OK button, no icon
// on the box or the button. Each is wide enough for a window manager to show
// its whole caption in the title bar, and never taller than the screen.
#include <QString>
#include <functional>

class QWidget;

// Modal; returns when the box is closed. The owner may be null. On a
// projector the text grows by the picture's `scale`; with `scaleNow`, the
// box follows the owner's scale while it is open (a box shown while the
// window is still being maximised). With an `action`, a button for it
// stands beside OK; returns whether it was chosen.
bool showMessageBox(QWidget* owner, const QString& caption, const QString& text, double scale = 1.0,
                    const QString& action = QString(), const std::function<double()>& scaleNow = {});

// The width a title bar needs for the caption: the caption in the title font,
// the title bar's buttons and the frame.
int titleBarWidth(const QString& caption);
