#pragma once
// Writes a picture to a file as PNG (at 1x or 2x) or SVG, whole or not at all:
// it goes to a temporary file that replaces the target only when complete.
#include <QSize>
#include <QString>
#include <functional>

#include "frontends/qt/platform/qt_canvas.h"

class QPainter;

enum class PictureFormat { Png, Png2x, Svg };

// What Save picture writes: the format, the picture's size in logical pixels
// (drawn at that size, never enlarged), and whether the status text and the
// legend go under it.
struct PictureOptions {
  PictureFormat format = PictureFormat::Png;
  QSize size;
  bool withStatus = false;
};

// Paints with `paint` (logical size `size`) and saves; returns why it failed,
// or an empty string.
QString savePictureFile(const QString& path, PictureFormat format, QSize size,
                        const std::function<void(QPainter&, QtCanvas::Form)>& paint);

// The format a file name asks for: SVG for ".svg", PNG otherwise.
PictureFormat pictureFormatOf(const QString& path, bool twice);
