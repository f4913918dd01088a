// The real picture drawn by QtCanvas, without a window: no holes along the
// curve, nothing outside the frame, the same picture at twice the pixel
// ratio, and the picture files.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <set>
#include <utility>
#include <vector>

#include "frontends/qt/main_window.h"
#include "display/plot_layout.h"
#include "frontends/qt/platform/qt_canvas.h"
#include "frontends/qt/platform/qt_picture_file.h"
#include "support/fake_window.h"

namespace {

constexpr QRgb kRed = 0xFF0000;
constexpr QRgb kGreen = 0x00FF00;
constexpr QRgb kBlue = 0x0000FF;

struct Picture {
  Picture() { app.attach(window); }

  void paintOn(QPainter& painter, QtCanvas::Form form = QtCanvas::Form::Pixels) {
    painter.fillRect(QRect(0, 0, window.width, window.height), Qt::white);
    QtCanvas canvas(painter, form);
    app.paint(canvas);
  }

  QImage render(int ratio = 1) {
    QImage image(window.width * ratio, window.height * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    paintOn(painter);
    return image;
  }

  void run(std::initializer_list<int> ids) {
    for (int id : ids) app.command(id);
  }

  FakeWindow window;
  MainWindow app;
};

QRgb at(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

TEST(QtPicture, StartUpCurveIsOneUnbrokenLine) {
  Picture picture;
  const QImage image = picture.render();
  std::set<std::pair<int, int>> blue;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (at(image, x, y) == kBlue) blue.insert({x, y});
  ASSERT_GT(blue.size(), 100u);
  // Every column between the ends has a blue pixel ...
  const int first = blue.begin()->first;
  const int last = blue.rbegin()->first;
  std::set<int> columns;
  for (const auto& p : blue) columns.insert(p.first);
  EXPECT_EQ(columns.size(), static_cast<std::size_t>(last - first + 1));
  // ... and all of them hang together, neighbour to neighbour.
  std::set<std::pair<int, int>> reached{*blue.begin()};
  std::vector<std::pair<int, int>> open{*blue.begin()};
  while (!open.empty()) {
    const auto [x, y] = open.back();
    open.pop_back();
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy)
        if (blue.count({x + dx, y + dy}) && reached.insert({x + dx, y + dy}).second) open.push_back({x + dx, y + dy});
  }
  EXPECT_EQ(reached.size(), blue.size());
}

// Pure data colours outside the frame grown by the dot radius, leaving out
// the caption band (red text).
int strayDataPixels(Picture& picture, const QImage& image) {
  const Rect frame = layoutPlot(picture.app.model(), picture.window.clientRect()).frame;
  const QRect allowed(QPoint(frame.left - 4, frame.top - 4), QPoint(frame.right + 3, frame.bottom + 2));
  const int captionTop = picture.window.height * 4 / 5 + 8;
  int stray = 0;
  for (int y = 0; y < captionTop; ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = at(image, x, y);
      if ((p == kRed || p == kGreen || p == kBlue) && !allowed.contains(x, y)) ++stray;
    }
  return stray;
}

TEST(QtPicture, NoDataPixelOutsideTheFrame) {
  for (int kind : {1, 4, 6}) {
    for (int scale : {111, 112}) {
      SCOPED_TRACE(testing::Message() << "kind " << kind << " scale " << scale);
      Picture picture;
      picture.run({120 + kind, scale, 133});
      EXPECT_EQ(strayDataPixels(picture, picture.render()), 0) << "throw";
      picture.run({134});
      EXPECT_EQ(strayDataPixels(picture, picture.render()), 0) << "start stepping";
      picture.run({135, 135, 135});
      EXPECT_EQ(strayDataPixels(picture, picture.render()), 0) << "three steps";
    }
  }
}

// At 2x the curves are drawn at the device's resolution, not as 2 x 2 blocks
// of the 1x picture, and they lie where the 1x picture has them.
void expectCurvesAtDeviceResolution(Picture& picture) {
  const QImage once = picture.render(1);
  const QImage twice = picture.render(2);
  ASSERT_EQ(twice.size(), once.size() * 2);
  const Rect frame = layoutPlot(picture.app.model(), picture.window.clientRect()).frame;
  int splitBlocks = 0;
  int strayBlue = 0;
  for (int y = frame.top; y < frame.bottom - 1; ++y)
    for (int x = frame.left + 2; x < frame.right; ++x) {
      const QRgb first = at(twice, 2 * x, 2 * y);
      for (int d = 1; d < 4; ++d)
        if (at(twice, 2 * x + d % 2, 2 * y + d / 2) != first) {
          ++splitBlocks;
          break;
        }
      if (first != kBlue) continue;
      bool near = false;
      for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
          if (at(once, x + dx, y + dy) == kBlue) near = true;
      if (!near) ++strayBlue;
    }
  EXPECT_GT(splitBlocks, 100);
  // A few may show where at 1x a dart or the hull covers the curve.
  EXPECT_LE(strayBlue, 5);
}

TEST(QtPicture, TwiceThePixelRatioDrawsCurvesAtDeviceResolution) {
  Picture picture;
  picture.run({133});
  expectCurvesAtDeviceResolution(picture);
  picture.run({134, 135, 135});
  expectCurvesAtDeviceResolution(picture);
  picture.run({112});
  expectCurvesAtDeviceResolution(picture);
}

class PictureFileTest : public testing::Test {
 protected:
  QString save(Picture& picture, const QString& name, PictureFormat format) {
    const QString path = dir_.filePath(name);
    const QString error = savePictureFile(path, format, QSize(picture.window.width, picture.window.height),
                                          [&](QPainter& painter, QtCanvas::Form form) { picture.paintOn(painter, form); });
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    return path;
  }
  QTemporaryDir dir_;
};

TEST_F(PictureFileTest, PngHoldsThePictureAtOneAndTwoTimes) {
  for (bool stepping : {false, true}) {
    Picture picture;
    picture.run(stepping ? std::initializer_list<int>{134, 135} : std::initializer_list<int>{133});
    const QImage shown = picture.render();
    const QImage once(save(picture, "once.png", PictureFormat::Png));
    ASSERT_FALSE(once.isNull());
    EXPECT_EQ(once.convertToFormat(QImage::Format_RGB32), shown) << stepping;
    const QImage twice(save(picture, "twice.png", PictureFormat::Png2x));
    ASSERT_EQ(twice.size(), shown.size() * 2);
    // Drawn at twice the size, not enlarged: the same picture, white where it is white.
    EXPECT_EQ(twice.convertToFormat(QImage::Format_RGB32).pixel(2 * 10, 2 * 10), shown.pixel(10, 10));
  }
}

// Where a colour shows: its bounding box.
QRect extentOf(const QImage& image, const std::function<bool(QColor)>& is) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (is(image.pixelColor(x, y))) box |= QRect(x, y, 1, 1);
  return box;
}

TEST_F(PictureFileTest, SvgDrawsTheSamePictureInVectors) {
  for (bool stepping : {false, true}) {
    Picture picture;
    picture.run(stepping ? std::initializer_list<int>{112, 134, 135} : std::initializer_list<int>{133});
    const QImage shown = picture.render();
    QSvgRenderer renderer(save(picture, "picture.svg", PictureFormat::Svg));
    ASSERT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.viewBox(), QRect(0, 0, 400, 300));
    QImage drawn(400, 300, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    {
      QPainter painter(&drawn);
      renderer.render(&painter, QRectF(0, 0, 400, 300));
    }
    auto blue = [](QColor c) { return c.blue() > 200 && c.red() < 120 && c.green() < 120; };
    auto green = [](QColor c) { return c.green() > 200 && c.red() < 120 && c.blue() < 120; };
    // Antialiased vectors through the pixel centres: within a few pixels of the raster picture.
    constexpr int near = 4;
    const QRect blueShown = extentOf(shown, blue);
    const QRect blueDrawn = extentOf(drawn, blue);
    EXPECT_LE(std::abs(blueShown.left() - blueDrawn.left()), near);
    EXPECT_LE(std::abs(blueShown.right() - blueDrawn.right()), near);
    EXPECT_LE(std::abs(blueShown.top() - blueDrawn.top()), near);
    EXPECT_LE(std::abs(blueShown.bottom() - blueDrawn.bottom()), near);
    if (stepping) {
      const QRect greenShown = extentOf(shown, green);
      const QRect greenDrawn = extentOf(drawn, green);
      EXPECT_LE(std::abs(greenShown.left() - greenDrawn.left()), near);
      EXPECT_LE(std::abs(greenShown.top() - greenDrawn.top()), near);
      // The clip holds in the vector form too: nothing green left of the y labels' edge.
      const Rect frame = layoutPlot(picture.app.model(), picture.window.clientRect()).frame;
      EXPECT_GE(greenDrawn.left(), frame.left - 5);
    }
  }
}

TEST_F(PictureFileTest, AFailedSaveLeavesNoFile) {
  Picture picture;
  const auto paint = [&](QPainter& painter, QtCanvas::Form form) { picture.paintOn(painter, form); };
  const QString missing = dir_.filePath("no/such/dir/picture.png");
  EXPECT_FALSE(savePictureFile(missing, PictureFormat::Png, QSize(400, 300), paint).isEmpty());
  EXPECT_FALSE(QFile::exists(missing));
  // A directory in the way: the picture cannot replace it, and no temporary file stays behind.
  QDir(dir_.path()).mkdir("taken.svg");
  EXPECT_FALSE(savePictureFile(dir_.filePath("taken.svg"), PictureFormat::Svg, QSize(400, 300), paint).isEmpty());
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"taken.svg"});
  EXPECT_TRUE(QFileInfo(dir_.filePath("taken.svg")).isDir());
}

}  // namespace
