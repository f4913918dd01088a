// The picture at the window's opening size (400 x 300 client area) against
// images of it kept in tests/qt/golden: after start-up, after Start stepping
// and after a throw, on both scales. These states show neither a candidate
// nor a proof, so every pixel must match. ARS_WRITE_GOLDEN_PICTURES=1
// rewrites the images instead of comparing.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <vector>

#include "frontends/qt/main_window.h"
#include "frontends/qt/platform/qt_canvas.h"
#include "support/fake_window.h"

namespace {

QImage paintAfter(const std::vector<int>& ids) {
  FakeWindow window(400, 300);
  MainWindow app;
  app.attach(window);
  for (int id : ids) app.command(id);
  QImage image(window.width, window.height, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.fillRect(image.rect(), Qt::white);
  QtCanvas canvas(painter);
  app.paint(canvas);
  return image;
}

struct GoldenState {
  const char* file;
  std::vector<int> ids;
};

TEST(GoldenPicture, DefaultSizeIsPixelForPixelThePictureItAlwaysWas) {
  const bool write = std::getenv("ARS_WRITE_GOLDEN_PICTURES") != nullptr;
  const std::vector<GoldenState> states = {
      {"start.png", {}},          {"stepping.png", {134}},          {"darts.png", {133}},
      {"start_log.png", {112}},   {"stepping_log.png", {112, 134}}, {"darts_log.png", {112, 133}},
  };
  for (const GoldenState& state : states) {
    SCOPED_TRACE(state.file);
    const QString path = QStringLiteral(ARS_GOLDEN_PICTURES "/") + QString::fromUtf8(state.file);
    const QImage now = paintAfter(state.ids);
    if (write) {
      ASSERT_TRUE(now.save(path));
      continue;
    }
    const QImage golden = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(golden.isNull()) << path.toStdString();
    ASSERT_EQ(golden.size(), now.size());
    int differing = 0;
    for (int y = 0; y < now.height(); ++y)
      for (int x = 0; x < now.width(); ++x)
        if ((now.pixel(x, y) & 0xFFFFFF) != (golden.pixel(x, y) & 0xFFFFFF)) ++differing;
    EXPECT_EQ(differing, 0);
  }
}

}  // namespace
