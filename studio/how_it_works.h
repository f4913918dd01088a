#pragma once
// Help > How it works: the page that says why the method works, written
// once for every front end. Each section has a heading, paragraphs and
// perhaps a diagram, which paintHowDiagram draws on any Canvas.
#include <string>
#include <vector>

#include "platform/canvas.h"

enum class HowDiagram { None, Envelope, ThreePoints, Decision, NotLogConcave };

struct HowSection {
  std::string heading;
  std::vector<std::string> paragraphs;
  HowDiagram diagram = HowDiagram::None;
};

const std::vector<HowSection>& howItWorks();
// What the Other density dialog's "Concave under T =" and "Split points" mean,
// for their tool tips.
const char* transformHint();
const char* splitsHint();
// The diagram in `area`, text at `scale` times the default size.
void paintHowDiagram(Canvas& canvas, const Rect& area, HowDiagram diagram, double scale = 1.0);
