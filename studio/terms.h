#pragma once
// The method's terms as the screen shows them (legend entries, the why
// panel, the Other density dialog), each with a one-line definition and the
// section of Help > How it works that explains it.
#include <string>

struct Term {
  const char* anchor;      // of its section in howItWorks()
  const char* definition;  // one line, for a hover tip
};

// The term a legend entry of this name stands for; nullptr for none. Beside
// plain rejection "rejected" names its wasted darts, not a fate.
const Term* legendTerm(const std::string& name, bool comparing = false);
// The terms of their own: the T scale and split points (the dialog's labels),
// an evaluation (the status line's count), the why panel as a whole.
const Term& tScaleTerm();
const Term& splitTerm();
const Term& evaluationTerm();
const Term& whyPanelTerm();
// The definitions of the terms a status text names (evaluation, squeeze,
// hull, points), a line each; "" when it names none.
std::string termsNamedIn(const std::string& text);
// A hover tip's last line: where a click leads.
std::string withLink(const std::string& tip);
