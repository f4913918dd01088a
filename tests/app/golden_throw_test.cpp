// The first throw after start-up, pinned to the last bit. Any change in the
// order of the sampler's arithmetic shows up here.
#include <gtest/gtest.h>

#include "frontends/qt/main_window.h"
#include "support/fake_window.h"

namespace {

struct Golden {
  int kind;
  bool logScale;
  double firstX;
  double firstY;
  double sumX;
  double sumY;
  std::size_t points;
};

const Golden golden[] = {
    {1, false, 0.27139399823842608, 3.5640022066483036e+21, 2016.9461634691647, 9.9297607457991602e+24, 49},
    {1, true, 0.27139399823842608, 49.625171081632686, 2016.9461634691647, 243277.31131056967, 49},
    {4, false, 0.95010891528914521, 1.1549580657852212e+21, 5024.7732268798836, 9.0463931247619317e+24, 50},
    {4, true, 0.95010891528914521, 48.498350989510151, 5024.7732268798836, 242413.64489938295, 50},
};

TEST(GoldenThrow, FirstThrowIsReproducedExactly) {
  for (const Golden& g : golden) {
    FakeWindow window;
    MainWindow app;
    app.attach(window);
    app.command(g.logScale ? 112 : 111);
    app.command(120 + g.kind);
    app.command(133);
    ASSERT_EQ(app.model().darts.x.size(), 5000u);
    double sumX = 0, sumY = 0;
    for (std::size_t i = 0; i < app.model().darts.x.size(); ++i) {
      sumX += app.model().darts.x[i];
      sumY += app.model().darts.y[i];
    }
    EXPECT_EQ(app.model().darts.x[0], g.firstX) << g.kind;
    EXPECT_EQ(app.model().darts.y[0], g.firstY) << g.kind;
    EXPECT_EQ(sumX, g.sumX) << g.kind;
    EXPECT_EQ(sumY, g.sumY) << g.kind;
    EXPECT_EQ(app.model().sampler.points.size(), g.points) << g.kind;
  }
}

}  // namespace
