#include "frontends/qt/platform/qt_picture_file.h"

#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

QString savePictureFile(const QString& path, PictureFormat format, QSize size,
                        const std::function<void(QPainter&, QtCanvas::Form)>& paint) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return file.errorString();
  if (format == PictureFormat::Svg) {
    QSvgGenerator generator;
    generator.setOutputDevice(&file);
    generator.setSize(size);
    generator.setResolution(96);  // the pixels of most SVG viewers
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(QStringLiteral("Adaptive Rejection Sampler"));
    QPainter painter;
    if (!painter.begin(&generator)) {
      file.cancelWriting();
      return QStringLiteral("cannot draw the SVG picture");
    }
    paint(painter, QtCanvas::Form::Vector);
    painter.end();
  } else {
    const int ratio = format == PictureFormat::Png2x ? 2 : 1;
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    {
      QPainter painter(&image);
      paint(painter, QtCanvas::Form::Pixels);
    }
    if (!image.save(&file, "PNG")) {
      file.cancelWriting();
      return file.errorString().isEmpty() ? QStringLiteral("cannot write the PNG picture") : file.errorString();
    }
  }
  if (!file.commit()) return file.errorString();
  return QString();
}

PictureFormat pictureFormatOf(const QString& path, bool twice) {
  if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) return PictureFormat::Svg;
  return twice ? PictureFormat::Png2x : PictureFormat::Png;
}
