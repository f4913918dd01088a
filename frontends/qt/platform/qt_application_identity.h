#pragma once
// How the program names itself: the X11 window class "Velora" (Qt's xcb
// platform takes WM_CLASS from the application name), the desktop entry that
// launchers and Wayland compositors match windows to, the version, and the
// icon every window shows.

constexpr const char* windowClassName = "Velora";

// After the QApplication is constructed, before any window is created.
void describeApplication();
