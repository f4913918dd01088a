#include "studio/terms.h"

namespace {

struct Named {
  const char* name;
  Term term;
};

const Term hull{"hull",
                "Upper hull: secants through the points, extended; straight on the log scale and above log f "
                "because log f is concave."};
const Term squeeze{"squeeze",
                   "Squeeze: chords between neighbouring points, below log f; a dart under it is accepted "
                   "without evaluating f."};
const Term evaluation{"evaluation", "Evaluation: one computation of f(x); the squeeze saves most of them."};
const Term tScale{"t-scale",
                  "T scale, \xe2\x88\x92" "1/\xe2\x88\x9a" "f: concave for heavy tails (Cauchy, Student t), "
                  "where log f is not; hull and squeeze are straight lines on it."};
const Term split{"t-scale",
                 "Split point (inflection): where T(f) turns between concave and convex; each side gets an "
                 "envelope of its own."};
const Term why{"step", "The last candidate's numbers and the inequality that decided it."};

const Named legendTerms[] = {
    {"curve", {"rejection", "The density f, or log f on the log scale: what the darts must follow."}},
    {"upper hull", hull},
    {"squeeze", squeeze},
    {"points", {"new-point", "Points: where f was evaluated; hull and squeeze are built through them."}},
    {"candidate", {"step", "Candidate: x drawn from the hull, its dart at height u \xc2\xb7 hull(x)."}},
    {"squeezed", {"step", "Squeezed: the dart lay under the squeeze, accepted without evaluating f."}},
    {"evaluated", {"step", "Evaluated: above the squeeze but under f(x), accepted after one evaluation."}},
    {"rejected", {"new-point", "Rejected: the dart lay above f(x); x becomes a point and the envelope closes in."}},
    {"darts", {"rejection", "Darts: accepted candidates at height u \xc2\xb7 hull(x); they fill the area under f."}},
    {"accepted", {"rejection", "Accepted darts: under the curve, they follow the density."}},
    {"proof", {"log-concavity", "Proof: a point below the chord of its neighbours, so log f is not concave."}},
    {"inflection", split},
};

}  // namespace

const Term* legendTerm(const std::string& name, bool comparing) {
  static const Term plainRejected{"evaluation",
                                  "Rejected by plain rejection: each of these cost an evaluation of f and was wasted."};
  if (comparing && name == "rejected") return &plainRejected;
  for (const Named& named : legendTerms) {
    if (name == named.name) return &named.term;
  }
  return nullptr;
}

const Term& tScaleTerm() { return tScale; }
const Term& splitTerm() { return split; }
const Term& evaluationTerm() { return evaluation; }
const Term& whyPanelTerm() { return why; }

std::string termsNamedIn(const std::string& text) {
  std::string lines;
  const auto add = [&](const char* word, const char* definition) {
    if (text.find(word) == std::string::npos) return;
    if (!lines.empty()) lines += "\n";
    lines += definition;
  };
  add("evaluation", evaluation.definition);
  add("squeeze", squeeze.definition);
  add("hull", hull.definition);
  add("points", legendTerm("points")->definition);
  return lines;
}

std::string withLink(const std::string& tip) { return tip + "\nClick: Help > How it works."; }
