// QtCanvas on a QImage, checked pixel by pixel against GDI's rules.
#include "frontends/qt/platform/qt_canvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <utility>

#include "platform/selection.h"

namespace {

constexpr Color red = 0x000000FF;
constexpr Color green = 0x0000FF00;
constexpr Color blue = 0x00FF0000;

class QtCanvasTest : public testing::Test {
 protected:
  QtCanvasTest() : image_(80, 60, QImage::Format_RGB32) {
    image_.fill(Qt::white);
    painter_ = std::make_unique<QPainter>(&image_);
    canvas_ = std::make_unique<QtCanvas>(*painter_);
  }

  // Ends the painting; the pixels are final from here on.
  const QImage& finish() {
    canvas_.reset();
    painter_.reset();
    return image_;
  }

  QRgb at(int x, int y) { return finish().pixel(x, y) & 0xFFFFFF; }

  // The bounding box of the pixels that satisfy the predicate.
  QRect bounds(const std::function<bool(QRgb)>& inside) {
    const QImage& image = finish();
    QRect box;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (inside(image.pixel(x, y) & 0xFFFFFF)) box |= QRect(x, y, 1, 1);
    return box;
  }

  QRect inkBounds() {
    return bounds([](QRgb pixel) { return pixel != 0xFFFFFF; });
  }

  QImage image_;
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<QtCanvas> canvas_;
};

constexpr QRgb kBlack = 0x000000;
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kRed = 0xFF0000;
constexpr QRgb kGreen = 0x00FF00;
constexpr QRgb kBlue = 0x0000FF;

TEST_F(QtCanvasTest, LineCoversItsStartAndLeavesOutItsEnd) {
  canvas_->moveTo(10, 10);
  canvas_->lineTo(20, 10);
  canvas_->moveTo(30, 5);
  canvas_->lineTo(30, 15);
  const QImage& image = finish();
  for (int x = 10; x < 20; ++x) EXPECT_EQ(image.pixel(x, 10) & 0xFFFFFF, kBlack) << "x " << x;
  EXPECT_EQ(image.pixel(9, 10) & 0xFFFFFF, kWhite);
  EXPECT_EQ(image.pixel(20, 10) & 0xFFFFFF, kWhite);
  for (int y = 5; y < 15; ++y) EXPECT_EQ(image.pixel(30, y) & 0xFFFFFF, kBlack) << "y " << y;
  EXPECT_EQ(image.pixel(30, 15) & 0xFFFFFF, kWhite);
}

TEST_F(QtCanvasTest, PolylineContinuesFromTheCurrentPositionWithoutGaps) {
  canvas_->moveTo(10, 10);
  canvas_->lineTo(20, 10);
  canvas_->lineTo(20, 20);
  canvas_->lineTo(30, 30);
  const QImage& image = finish();
  EXPECT_EQ(image.pixel(19, 10) & 0xFFFFFF, kBlack);
  EXPECT_EQ(image.pixel(20, 10) & 0xFFFFFF, kBlack);  // the joint, drawn by the second segment
  EXPECT_EQ(image.pixel(20, 19) & 0xFFFFFF, kBlack);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(image.pixel(20 + i, 20 + i) & 0xFFFFFF, kBlack) << i;
  EXPECT_EQ(image.pixel(30, 30) & 0xFFFFFF, kWhite);
  EXPECT_EQ(inkBounds(), QRect(QPoint(10, 10), QPoint(29, 29)));
}

using PixelSet = std::set<std::pair<int, int>>;

// The black pixels of one line from `from` to `to` on a fresh canvas.
PixelSet linePixels(QPoint from, QPoint to) {
  QImage image(80, 60, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    QtCanvas canvas(painter);
    canvas.moveTo(from.x(), from.y());
    canvas.lineTo(to.x(), to.y());
  }
  PixelSet pixels;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == 0) pixels.insert({x, y});
  return pixels;
}

// The four axis directions, the four diagonals and a line in each octant.
const QPoint kDirections[] = {{12, 0}, {-12, 0}, {0, 12},  {0, -12},  {9, 9},   {-9, 9},
                              {9, -9}, {-9, -9}, {12, 5},  {5, 12},   {-5, 12}, {-12, 5},
                              {-12, -5}, {-5, -12}, {5, -12}, {12, -5}, {11, 1}, {-1, -11}};

TEST(QtCanvasLineEnds, EveryDirectionDrawsItsStartAndLeavesOutItsEnd) {
  const QPoint start(40, 30);
  for (const QPoint d : kDirections) {
    SCOPED_TRACE(testing::Message() << "direction " << d.x() << "," << d.y());
    const PixelSet pixels = linePixels(start, start + d);
    const bool xMajor = std::abs(d.x()) >= std::abs(d.y());
    const int steps = std::max(std::abs(d.x()), std::abs(d.y()));
    EXPECT_EQ(pixels.size(), static_cast<std::size_t>(steps));
    EXPECT_EQ(pixels.count({start.x(), start.y()}), 1u);
    EXPECT_EQ(pixels.count({start.x() + d.x(), start.y() + d.y()}), 0u);
    // One pixel per step along the major axis, within a pixel of the true
    // line, each touching the one before.
    QPoint previous = start;
    for (int i = 0; i < steps; ++i) {
      const double t = static_cast<double>(i) / steps;
      const int major = xMajor ? start.x() + (d.x() > 0 ? i : -i) : start.y() + (d.y() > 0 ? i : -i);
      const double ideal = xMajor ? start.y() + t * d.y() : start.x() + t * d.x();
      int found = 0;
      for (const auto& [x, y] : pixels) {
        if ((xMajor ? x : y) != major) continue;
        ++found;
        const QPoint p(x, y);
        EXPECT_LT(std::abs((xMajor ? y : x) - ideal), 1.0) << "step " << i;
        EXPECT_LE(std::max(std::abs(p.x() - previous.x()), std::abs(p.y() - previous.y())), 1) << "step " << i;
        previous = p;
      }
      EXPECT_EQ(found, 1) << "step " << i;
    }
  }
}

TEST(QtCanvasLineEnds, AReversedLineDiffersOnlyInWhichEndItDraws) {
  const QPoint a(40, 30);
  for (const QPoint d : kDirections) {
    SCOPED_TRACE(testing::Message() << "direction " << d.x() << "," << d.y());
    const QPoint b = a + d;
    PixelSet forward = linePixels(a, b);
    PixelSet backward = linePixels(b, a);
    forward.erase({a.x(), a.y()});
    backward.erase({b.x(), b.y()});
    EXPECT_EQ(forward, backward);
  }
}

TEST(QtCanvasLineEnds, AZeroLengthLineDrawsNothing) {
  EXPECT_TRUE(linePixels({30, 20}, {30, 20}).empty());
}

TEST_F(QtCanvasTest, ClosedPolygonHasNoHoleAtAnyVertex) {
  // Leftward, upward and steep lines meet at vertices that only their own
  // start pixel covers.
  const QPoint vertices[] = {{10, 10}, {50, 14}, {56, 40}, {30, 50}, {12, 35}, {10, 10}};
  canvas_->moveTo(vertices[0].x(), vertices[0].y());
  for (const QPoint v : vertices) canvas_->lineTo(v.x(), v.y());
  const QImage& image = finish();
  for (const QPoint v : vertices) EXPECT_EQ(image.pixel(v) & 0xFFFFFF, kBlack) << v.x() << "," << v.y();
}

TEST_F(QtCanvasTest, LineTowardsAFarCoordinateIsCutAtTheEdge) {
  canvas_->moveTo(10, 20);
  canvas_->lineTo(1 << 20, 20);
  canvas_->moveTo(70, 50);
  canvas_->lineTo(70, -(1 << 20));
  const QImage& image = finish();
  EXPECT_EQ(image.pixel(79, 20) & 0xFFFFFF, kBlack);
  EXPECT_EQ(image.pixel(9, 20) & 0xFFFFFF, kWhite);
  EXPECT_EQ(image.pixel(70, 0) & 0xFFFFFF, kBlack);
  EXPECT_EQ(image.pixel(70, 51) & 0xFFFFFF, kWhite);
}

TEST_F(QtCanvasTest, ClipBoxHoldsLinesAndDotsUntilLifted) {
  const Rect box{20, 10, 40, 30};
  canvas_->setClipRect(&box);
  canvas_->moveTo(0, 20);
  canvas_->lineTo(79, 20);
  canvas_->selectBrush(red);
  canvas_->ellipse(36, 26, 46, 36);
  canvas_->setClipRect(nullptr);
  canvas_->moveTo(0, 50);
  canvas_->lineTo(79, 50);
  const QImage& image = finish();
  QRect aboveTheLastLine;
  for (int y = 0; y < 45; ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) != kWhite) aboveTheLastLine |= QRect(x, y, 1, 1);
  EXPECT_EQ(aboveTheLastLine, QRect(QPoint(20, 20), QPoint(39, 29)));
  EXPECT_EQ(image.pixel(5, 50) & 0xFFFFFF, kBlack);
}

TEST_F(QtCanvasTest, PenIsAOnePixelLineInTheSelectedColour) {
  EXPECT_EQ(canvas_->selectPen(red), rgb(0, 0, 0));  // the initial pen is black
  canvas_->moveTo(5, 20);
  canvas_->lineTo(60, 20);
  EXPECT_EQ(canvas_->selectPen(blue), red);
  canvas_->moveTo(5, 30);
  canvas_->lineTo(60, 30);
  const QImage& image = finish();
  EXPECT_EQ(image.pixel(30, 20) & 0xFFFFFF, kRed);
  EXPECT_EQ(image.pixel(30, 30) & 0xFFFFFF, kBlue);
  EXPECT_EQ(image.pixel(30, 19) & 0xFFFFFF, kWhite);
  EXPECT_EQ(image.pixel(30, 21) & 0xFFFFFF, kWhite);
}

// A curve is traced in one-pixel pieces: its dashes run on from piece to
// piece instead of starting afresh (and so never showing a gap) in each.
TEST_F(QtCanvasTest, ADashedPenLeavesGapsAlongAPolylineOfTinyPiecesUntilSolidAgain) {
  canvas_->setPenWidth(2);
  {
    PenStyleSelection dashes(*canvas_, PenStyle::dashed);
    EXPECT_EQ(canvas_->selectPenStyle(PenStyle::dashed), PenStyle::dashed);
    canvas_->moveTo(2, 20);
    for (int x = 3; x <= 78; ++x) canvas_->lineTo(x, 20);
  }
  canvas_->moveTo(2, 40);
  canvas_->lineTo(78, 40);
  const QImage& image = finish();
  const auto runsOfInk = [&image](int y) {
    int runs = 0;
    bool inInk = false;
    for (int x = 2; x < 78; ++x) {
      const bool ink = (image.pixel(x, y) & 0xFFFFFF) != kWhite;
      if (ink && !inInk) ++runs;
      inInk = ink;
    }
    return runs;
  };
  // Dashes of 12 and gaps of 8 pixels over 76: four dashes at least.
  EXPECT_GE(runsOfInk(20), 4);
  EXPECT_EQ(runsOfInk(40), 1);
}

TEST_F(QtCanvasTest, SelectionGuardsRestoreThePreviousPenAndBrush) {
  {
    PenSelection pen(*canvas_, green);
    BrushSelection brush(*canvas_, red);
  }
  canvas_->moveTo(0, 0);
  canvas_->lineTo(10, 0);
  canvas_->ellipse(20, 20, 41, 41);
  EXPECT_EQ(at(5, 0), kBlack);
  EXPECT_EQ(at(30, 30), kWhite);  // white brush inside a black outline
  EXPECT_EQ(at(30, 20), kBlack);
}

TEST_F(QtCanvasTest, EllipseFillsWithTheBrushInsideItsExclusiveBox) {
  canvas_->selectPen(red);
  EXPECT_EQ(canvas_->selectBrush(blue), rgb(255, 255, 255));  // the initial brush is white
  canvas_->ellipse(10, 10, 31, 21);
  EXPECT_EQ(inkBounds(), QRect(QPoint(10, 10), QPoint(30, 20)));
  EXPECT_EQ(at(20, 15), kBlue);
  EXPECT_EQ(at(20, 10), kRed);
  EXPECT_EQ(at(20, 20), kRed);
  EXPECT_EQ(at(10, 15), kRed);
  EXPECT_EQ(at(30, 15), kRed);
}

TEST_F(QtCanvasTest, SmallEllipseMarksStayInsideTheirBox) {
  // The darts are drawn as 3 x 3 boxes around their pixel.
  canvas_->selectPen(red);
  canvas_->selectBrush(red);
  canvas_->ellipse(39, 29, 42, 32);
  const QRect box = inkBounds();
  EXPECT_FALSE(box.isEmpty());
  EXPECT_TRUE(QRect(39, 29, 3, 3).contains(box)) << box.x() << "," << box.y() << " " << box.width()
                                                 << "x" << box.height();
  EXPECT_EQ(at(40, 30), kRed);
}

TEST_F(QtCanvasTest, FrameRectOutlinesInTheBrushColourWithExclusiveEdges) {
  canvas_->frameRect(Rect{5, 5, 15, 12}, green);
  canvas_->frameRect(Rect{40, 40, 40, 50}, red);  // empty: nothing
  canvas_->moveTo(0, 50);
  canvas_->lineTo(20, 50);  // the pen is still black
  const QImage& image = finish();
  for (int x = 5; x < 15; ++x) {
    EXPECT_EQ(image.pixel(x, 5) & 0xFFFFFF, kGreen) << x;
    EXPECT_EQ(image.pixel(x, 11) & 0xFFFFFF, kGreen) << x;
    EXPECT_EQ(image.pixel(x, 12) & 0xFFFFFF, kWhite) << x;
  }
  for (int y = 5; y < 12; ++y) {
    EXPECT_EQ(image.pixel(5, y) & 0xFFFFFF, kGreen) << y;
    EXPECT_EQ(image.pixel(14, y) & 0xFFFFFF, kGreen) << y;
    EXPECT_EQ(image.pixel(15, y) & 0xFFFFFF, kWhite) << y;
  }
  EXPECT_EQ(image.pixel(10, 8) & 0xFFFFFF, kWhite);
  EXPECT_EQ(image.pixel(10, 50) & 0xFFFFFF, kBlack);
  EXPECT_EQ(image.pixel(40, 45) & 0xFFFFFF, kWhite);
}

// Text: its size, where the flags put it, and its colour.
class QtCanvasTextTest : public QtCanvasTest {
 protected:
  static bool dark(QRgb pixel) { return qGray(pixel) < 160; }
};

TEST_F(QtCanvasTextTest, ExtentGrowsWithTheText) {
  const Size one = canvas_->textExtent("0");
  const Size four = canvas_->textExtent("0.50");
  EXPECT_GT(one.cx, 0);
  EXPECT_GT(one.cy, 0);
  EXPECT_GT(four.cx, one.cx);
  EXPECT_EQ(four.cy, one.cy);
  EXPECT_EQ(canvas_->textExtent("").cx, 0);
}

TEST_F(QtCanvasTextTest, CentredSingleLineSitsInTheMiddleOfItsBox) {
  canvas_->drawText("0.50", Rect{0, 0, 80, 60}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  const QRect ink = bounds(dark);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_NEAR(ink.center().x(), 40, 2);
  EXPECT_NEAR(ink.center().y(), 30, 4);
}

TEST_F(QtCanvasTextTest, WithoutFlagsTextStartsAtTheTopLeft) {
  const Size extent = canvas_->textExtent("0.50");
  canvas_->drawText("0.50", Rect{10, 10, 80, 60}, 0);
  const QRect ink = bounds(dark);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_GE(ink.left(), 10);
  EXPECT_LE(ink.left(), 13);
  EXPECT_GE(ink.top(), 10);
  EXPECT_LE(ink.bottom(), 10 + extent.cy);
}

TEST_F(QtCanvasTextTest, CentringIgnoresVerticalFlagWithoutSingleLine) {
  const Size extent = canvas_->textExtent("7");
  canvas_->drawText("7", Rect{0, 0, 80, 60}, DT_CENTER | DT_VCENTER);
  const QRect ink = bounds(dark);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_NEAR(ink.center().x(), 40, 2);
  EXPECT_LE(ink.bottom(), extent.cy);
}

TEST_F(QtCanvasTextTest, TextUsesTheTextColourAndLeavesThePenAlone) {
  EXPECT_EQ(canvas_->setTextColor(red), rgb(0, 0, 0));
  canvas_->selectPen(blue);
  canvas_->drawText("888", Rect{0, 0, 80, 30}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  canvas_->moveTo(0, 40);
  canvas_->lineTo(80, 40);
  EXPECT_EQ(canvas_->setTextColor(green), red);
  const QRect redInk = bounds([](QRgb p) { return qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80; });
  EXPECT_FALSE(redInk.isEmpty());
  EXPECT_LT(redInk.bottom(), 30);
  EXPECT_EQ(at(40, 40), kBlue);
}

}  // namespace
