// The picture as a lecture hall sees it, in real pixels: thicker curves in a
// larger window, the candidate's marker above the frame, the proof's
// highlight, and an SVG whose curves are single paths.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <initializer_list>

#include "frontends/qt/main_window.h"
#include "display/plot_layout.h"
#include "frontends/qt/platform/qt_canvas.h"
#include "frontends/qt/platform/qt_picture_file.h"
#include "support/fake_window.h"

namespace {

struct Picture {
  Picture(int width, int height) : window(width, height) { app.attach(window); }
  void paintOn(QPainter& painter, QtCanvas::Form form = QtCanvas::Form::Pixels) {
    painter.fillRect(QRect(0, 0, window.width, window.height), Qt::white);
    QtCanvas canvas(painter, form);
    app.paint(canvas);
  }
  QImage render() {
    QImage image(window.width, window.height, QImage::Format_RGB32);
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

bool bluish(QRgb p) { return qBlue(p) > 160 && qRed(p) < 120 && qGreen(p) < 120; }
bool reddish(QRgb p) { return qRed(p) > 160 && qBlue(p) < 120 && qGreen(p) < 120; }
bool magenta(QRgb p) { return qRed(p) > 200 && qBlue(p) > 200 && qGreen(p) < 80; }

// The widest run of curve pixels down a column, over the columns of the
// falling side of the curve (where it runs steeply neither up nor down).
int curveThickness(const QImage& image, int fromX, int toX) {
  int widest = 0;
  for (int x = fromX; x < toX; ++x) {
    int run = 0;
    for (int y = 0; y < image.height(); ++y) {
      run = bluish(image.pixel(x, y)) ? run + 1 : 0;
      widest = std::max(widest, run);
    }
  }
  return widest;
}

TEST(LecturePicture, CurvesAreThickerAtSixteenHundredByAThousand) {
  for (std::initializer_list<int> ids : {std::initializer_list<int>{}, {134}, {133}}) {
    Picture small(400, 300);
    Picture large(1600, 1000);
    small.run(ids);
    large.run(ids);
    // The curve between x = 0.6 and 0.8 falls gently: a horizontal line's width.
    const int thin = curveThickness(small.render(), 80 + 144, 80 + 192);
    const int thick = curveThickness(large.render(), 320 + 576, 320 + 768);
    EXPECT_LE(thin, 2);
    EXPECT_GE(thick, 3);
  }
}

TEST(LecturePicture, ACandidateAboveTheFrameShowsItsMarkerAtTheTopEdge) {
  Picture picture(400, 300);
  picture.run({121, 134, 135});
  const QImage image = picture.render();
  const Rect frame = layoutPlot(picture.app.model(), picture.window.clientRect()).frame;
  const PlotMapping mapping = layoutPlot(picture.app.model(), picture.window.clientRect()).mapping;
  const int x = wholePixelX(mapping, picture.app.model().sampler.lastX);
  int red = 0;
  for (int y = frame.top; y < frame.top + 20; ++y)
    for (int dx = -6; dx <= 6; ++dx)
      if (reddish(image.pixel(x + dx, y))) ++red;
  EXPECT_GT(red, 20);
}

TEST(LecturePicture, TheTestDensitysReportLeavesTheProofHighlighted) {
  for (int scale : {111, 112}) {
    Picture picture(800, 600);
    picture.run({126, scale, 134, 135, 135, 135, 135, 135});
    ASSERT_EQ(picture.window.boxes.size(), 1u);
    const QImage image = picture.render();
    int highlighted = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (magenta(image.pixel(x, y))) ++highlighted;
    EXPECT_GT(highlighted, 100) << scale;
  }
}

TEST(LecturePicture, SvgDrawsEachCurveHullAndSqueezeAsOnePath) {
  QTemporaryDir dir;
  Picture picture(400, 300);
  picture.run({134, 135, 135});
  const QString path = dir.filePath("stepping.svg");
  const QString error = savePictureFile(path, PictureFormat::Svg, QSize(400, 300),
                                        [&](QPainter& painter, QtCanvas::Form form) { picture.paintOn(painter, form); });
  ASSERT_TRUE(error.isEmpty()) << error.toStdString();
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString svg = QString::fromUtf8(file.readAll());
  // QSvgGenerator writes each path inside a group that names its pen colour.
  const auto pathsIn = [&svg](const char* colour) {
    int count = 0;
    const QRegularExpression group(QStringLiteral("<g [^>]*stroke=\"%1\"[^>]*>(.*?)</g>").arg(colour),
                                   QRegularExpression::DotMatchesEverythingOption);
    for (auto match = group.globalMatch(svg); match.hasNext();) count += match.next().captured(1).count(QStringLiteral("<path"));
    return count;
  };
  EXPECT_EQ(pathsIn("#0000ff"), 1);  // the curve
  EXPECT_EQ(pathsIn("#00ff00"), 1);  // the squeeze
  EXPECT_EQ(pathsIn("#ff0000"), 1);  // the hull (and the candidate's marker arrow is not there: it lies inside)
  EXPECT_EQ(svg.count(QStringLiteral("<line")), 0);
  // Coordinates in floating point, not whole pixels (nor pixel centres).
  const QRegularExpression curve(QStringLiteral("<g [^>]*stroke=\"#0000ff\"[^>]*>\\s*<path[^>]* d=\"([^\"]*)\""));
  const QString data = curve.match(svg).captured(1);
  ASSERT_FALSE(data.isEmpty());
  EXPECT_GT(data.count(QRegularExpression(QStringLiteral("\\.\\d*[1-46-9]"))), 100) << data.left(200).toStdString();
}

}  // namespace
