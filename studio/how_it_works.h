#pragma once
// Help > How it works: the page that says why the method works, written
// once for every front end. Each section has a heading, paragraphs and
// perhaps a diagram, which paintHowDiagram draws on any Canvas.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/canvas.h"

enum class HowDiagram { None, Envelope, ThreePoints, Decision, NotLogConcave };

struct HowSection {
  std::string heading;
  std::vector<std::string> paragraphs;
  HowDiagram diagram = HowDiagram::None;
  // Where a term on screen leads: the same name in every front end.
  std::string anchor;
};

const std::vector<HowSection>& howItWorks();
// The section with this anchor; the first one for an anchor the page lacks.
std::size_t howSectionIndex(const std::string& anchor);
// What the Other density dialog's "Concave under T =" and "Split points" mean,
// for their tool tips.
const char* transformHint();
const char* splitsHint();
// The diagram in `area`, text at `scale` times the default size.
void paintHowDiagram(Canvas& canvas, const Rect& area, HowDiagram diagram, double scale = 1.0);
