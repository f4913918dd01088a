// The desktop's small dots: the pixels Qt's aliased drawEllipse sets for
// the boxes the Canvas draws dots in (QtCanvas: QRect(l, t, w - 1, h - 1),
// a cosmetic pen and a brush), printed as the table html_canvas.js keeps
// (`ellipseSpans`). For each square box of 1..32 pixels, per row: the
// shape's columns [s, e) and the brush's [fs, fe).
// Run with QT_QPA_PLATFORM=offscreen; ellipse_spans.test.js compares.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QRgb pen = qRgb(0, 0, 255);
  const QRgb brush = qRgb(255, 0, 0);
  std::printf("[\n");
  for (int w = 1; w <= 32; ++w) {
    QImage image(w + 8, w + 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen cosmetic(QColor(pen), 0);
    cosmetic.setCosmetic(true);
    painter.setPen(cosmetic);
    painter.setBrush(QColor(brush));
    painter.drawEllipse(QRect(4, 4, w - 1, w - 1));
    painter.end();
    std::printf("  [");
    for (int y = 0; y < w; ++y) {
      int s = -1, e = -1, fs = -1, fe = -1;
      for (int x = 0; x < w; ++x) {
        const QRgb c = image.pixel(x + 4, y + 4);
        if (c == pen || c == brush) {
          if (s < 0) s = x;
          e = x + 1;
        }
        if (c == brush) {
          if (fs < 0) fs = x;
          fe = x + 1;
        }
      }
      if (s < 0) s = e = 0;
      if (fs < 0) fs = fe = s;
      std::printf("%s[%d,%d,%d,%d]", y ? "," : "", s, e, fs, fe);
    }
    std::printf("]%s\n", w < 32 ? "," : "");
  }
  std::printf("]\n");
  return 0;
}
