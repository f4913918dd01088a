// A Cauchy's envelope under T = -1/sqrt(f): hull and squeeze, straight in T,
// are traced as curves that enclose the density on every vertical scale.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "display/plot_mapping.h"
#include "display/typed_envelope_drawing.h"
#include "model/envelope_stepper.h"
#include "sampler/uniform_random.h"
#include "support/recording_canvas.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
const double pi = std::acos(-1.0);

double cauchy(double x) { return -std::log1p(x * x) - std::log(pi); }

TEST(TypedEnvelopeDrawing, InverseSqrtPiecesAreTracedAboveAndBelowTheDensity) {
  EnvelopeStepper stepper(cauchy, -inf, inf, ars::Transform::InverseSqrt);
  UniformRandom rnd;
  rnd.setSeed(5);
  for (int i = 0; i < 30; ++i) stepper.step(rnd);
  const std::vector<ars::detail::EnvelopePiece> pieces = stepper.pieces();
  const EnvelopeTrace trace{0.01, -4, 4};
  // The normal, the log and the T scale (-1/sqrt(f / f(0)), straight pieces).
  const double offset = 50 - cauchy(0);
  for (const int kind : {0, 1, 2}) {
    const bool logScale = kind == 1, tScale = kind == 2;
    // 50 pixels a unit across; 1000 a unit of f up, or 50 a unit of log f or of T.
    const PlotMapping mapping{0, 600, 50, kind == 0 ? 1000.0 : 50.0, -4, kind == 0 ? 0.0 : -10.0};
    const auto heightAt = [&](double x) {
      const double h = cauchy(x);
      const double y = tScale ? -std::exp(-(h - cauchy(0)) / 2) : logScale ? h : std::exp(h);
      return mapping.originY - (y - mapping.yMin) * mapping.scaleY;
    };
    const double logOffset = tScale ? offset : 0;
    for (const bool hull : {true, false}) {
      RecordingCanvas canvas;
      if (hull) {
        drawPiecewiseHull(canvas, pieces, ars::Transform::InverseSqrt, mapping, 0xff0000, logScale, logOffset, trace,
                          tScale);
      } else {
        drawPiecewiseSqueeze(canvas, pieces, ars::Transform::InverseSqrt, mapping, 0x00ff00, logScale, logOffset,
                             trace, tScale);
      }
      const std::vector<Primitive> lines = canvas.of(Primitive::Line);
      ASSERT_GT(lines.size(), 400u) << "traced in steps of 0.01";
      for (const Primitive& p : lines) {
        // The pixel's x up to truncation: the density's height over that pixel's width.
        const double x = mapping.xMin + p.a / mapping.scaleX;
        const double lowY = std::min(heightAt(x), heightAt(x + 1 / mapping.scaleX));
        const double highY = std::max(heightAt(x), heightAt(x + 1 / mapping.scaleX));
        if (hull) {
          EXPECT_LE(p.b, highY + 1) << "x " << x << " scale " << kind;
        } else {
          EXPECT_GE(p.b, lowY - 1) << "x " << x << " scale " << kind;
        }
      }
    }
  }
}

}  // namespace
