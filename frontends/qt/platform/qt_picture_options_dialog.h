#pragma once
// Asks for the size of a saved picture and whether the status text and the
// legend go under it. False when cancelled.
#include "frontends/qt/platform/qt_picture_file.h"

class QWidget;

bool askPictureOptions(QWidget* parent, PictureOptions& options);
