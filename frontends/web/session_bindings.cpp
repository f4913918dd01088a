// The page's face of the studio core: a Session driven from JavaScript.
// Effects, questions and the command table cross as plain objects; the
// picture is painted onto any object with the Canvas calls (js_canvas.h).
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>
#include <vector>

#include "density/catalogue.h"
#include "frontends/web/density_form.h"
#include "frontends/web/js_canvas.h"
#include "studio/command_table.h"
#include "studio/how_it_works.h"
#include "studio/session.h"
#include "studio/terms.h"

using emscripten::val;

namespace {

const char* questionKindName(QuestionKind kind) {
  switch (kind) {
    case QuestionKind::Message: return "message";
    case QuestionKind::Offer: return "offer";
    case QuestionKind::ChooseDensity: return "chooseDensity";
    case QuestionKind::OpenLesson: return "openLesson";
    case QuestionKind::SaveLesson: return "saveLesson";
    case QuestionKind::SavePicture: return "savePicture";
    case QuestionKind::HowItWorks: return "howItWorks";
  }
  return "message";
}

const char* swatchName(LegendSwatch swatch) {
  switch (swatch) {
    case LegendSwatch::Line: return "line";
    case LegendSwatch::Dot: return "dot";
    case LegendSwatch::Square: return "square";
    case LegendSwatch::Cross: return "cross";
    case LegendSwatch::DashedLine: return "dashed";
  }
  return "line";
}

val formOf(const DensityForm& form) {
  val v = val::object();
  v.set("source", form.source);
  v.set("formula", form.formula);
  v.set("logDensity", form.logDensity);
  v.set("lower", form.lower);
  v.set("upper", form.upper);
  v.set("inverseSqrt", form.inverseSqrt);
  v.set("splits", form.splits);
  return v;
}

DensityForm formFrom(const val& v) {
  DensityForm form;
  form.source = v["source"].as<int>();
  form.formula = v["formula"].as<std::string>();
  form.logDensity = v["logDensity"].as<bool>();
  form.lower = v["lower"].as<std::string>();
  form.upper = v["upper"].as<std::string>();
  form.inverseSqrt = v["inverseSqrt"].as<bool>();
  form.splits = v["splits"].as<std::string>();
  const val parameters = v["parameters"];
  const int count = parameters.isUndefined() ? 0 : parameters["length"].as<int>();
  for (int i = 0; i < count; ++i) form.parameters.push_back(parameters[i].as<std::string>());
  return form;
}

val questionOf(const Question& q) {
  val v = val::object();
  v.set("kind", std::string(questionKindName(q.kind)));
  v.set("text", q.text);
  v.set("caption", q.caption);
  v.set("action", q.action);
  v.set("form", formOf(densityFormOf(q.density)));
  v.set("lessonText", q.lessonText);
  return v;
}

val effectsOf(const Effects& e) {
  val v = val::object();
  v.set("repaint", e.repaint);
  v.set("status", e.status);
  val legend = val::array();
  for (const LegendEntry& entry : e.legend) {
    val item = val::object();
    item.set("name", std::string(entry.name));
    item.set("color", entry.color);
    item.set("swatch", std::string(swatchName(entry.swatch)));
    item.set("outline", entry.outline);
    legend.call<void>("push", item);
  }
  v.set("legend", legend);
  v.set("toolTip", e.toolTip);
  v.set("timer", std::string(e.timer == Effects::Timer::Start  ? "start"
                             : e.timer == Effects::Timer::Stop ? "stop"
                                                               : ""));
  v.set("timerMilliseconds", e.timerMilliseconds);
  v.set("question", e.question ? questionOf(*e.question) : val::null());
  v.set("quit", e.quit);
  v.set("statusBarShown", e.statusBarShown ? val(*e.statusBarShown) : val::undefined());
  v.set("fullScreen", e.fullScreen ? val(*e.fullScreen) : val::undefined());
  return v;
}

Choice choiceNamed(const std::string& name) {
  if (name == "action") return Choice::Action;
  if (name == "cancel") return Choice::Cancel;
  return Choice::Ok;
}

// The table as the toolbar needs it; enabled and checked come from states().
val commandsOf() {
  val rows = val::array();
  for (const CommandRow& row : commandTable()) {
    val r = val::object();
    r.set("id", row.id);
    r.set("popup", row.popup);
    r.set("label", row.label ? val(std::string(row.label)) : val::null());
    r.set("help", row.help ? val(std::string(row.help)) : val::null());
    r.set("checkable", row.checked != nullptr);
    r.set("hidden", row.hidden);
    r.set("quick", row.quick);
    val keys = val::array();
    for (const Accelerator& key : row.keys) {
      val k = val::object();
      k.set("key", key.key);
      k.set("control", key.control);
      k.set("name", keyName(key));
      keys.call<void>("push", k);
    }
    r.set("keys", keys);
    rows.call<void>("push", r);
  }
  return rows;
}

val menuTitlesOf() {
  val titles = val::array();
  for (const char* title : menuTitles()) titles.call<void>("push", std::string(title));
  return titles;
}

val catalogueOf() {
  val entries = val::array();
  for (const CatalogueEntry& entry : catalogue()) {
    val e = val::object();
    e.set("name", std::string(entry.name));
    val names = val::array();
    val defaults = val::array();
    for (std::size_t i = 0; i < entry.parameterNames.size(); ++i) {
      names.call<void>("push", std::string(entry.parameterNames[i]));
      defaults.call<void>("push", supportEndText(entry.defaults[i]));
    }
    e.set("parameters", names);
    e.set("defaults", defaults);
    entries.call<void>("push", e);
  }
  return entries;
}

// Help > How it works: its sections, each diagram by number for paintHowDiagram.
val howItWorksOf() {
  val sections = val::array();
  for (const HowSection& section : howItWorks()) {
    val s = val::object();
    s.set("heading", section.heading);
    val paragraphs = val::array();
    for (const std::string& p : section.paragraphs) paragraphs.call<void>("push", p);
    s.set("paragraphs", paragraphs);
    s.set("diagram", static_cast<int>(section.diagram));
    s.set("anchor", section.anchor);
    sections.call<void>("push", s);
  }
  return sections;
}

val densityHintsOf() {
  val v = val::object();
  v.set("transform", std::string(transformHint()));
  v.set("splits", std::string(splitsHint()));
  // The "?" beside each label: a one-line definition and where it leads.
  v.set("transformTerm", std::string(tScaleTerm().definition));
  v.set("splitsTerm", std::string(splitTerm().definition));
  v.set("transformAnchor", std::string(tScaleTerm().anchor));
  v.set("splitsAnchor", std::string(splitTerm().anchor));
  return v;
}

void paintHowDiagramOn(int diagram, const val& target, int width, int height, double scale) {
  JsCanvas canvas(target);
  paintHowDiagram(canvas, Rect{0, 0, width, height}, static_cast<HowDiagram>(diagram), scale);
}

val checkDensity(const val& fields) {
  const DensityFormCheck check = checkDensityForm(formFrom(fields));
  val v = val::object();
  v.set("problem", check.problem);
  v.set("note", check.note);
  return v;
}

class WebSession {
 public:
  val apply(int command) { return effectsOf(session_.apply(command)); }
  val tick() { return effectsOf(session_.tick()); }
  val resize(int width, int height) { return effectsOf(session_.resize(Rect{0, 0, width, height})); }
  val answer(const std::string& choice) {
    if (!session_.pending()) return effectsOf(Effects{});
    return effectsOf(session_.answer(*session_.pending(), choiceNamed(choice)));
  }
  // The dialog's fields, checked again here: a choice with a problem is not taken.
  val chooseDensity(const val& fields) {
    const DensityFormCheck check = checkDensityForm(formFrom(fields));
    if (!check.problem.empty()) {
      Effects refused;
      refused.question = Question{QuestionKind::Message, check.problem, "Other density", {}, {}, {}};
      return effectsOf(refused);
    }
    return effectsOf(session_.chooseDensity(check.choice));
  }
  val openLessonText(const std::string& json) { return effectsOf(session_.openLessonText(json)); }
  val lessonUnreadable(const std::string& problem) { return effectsOf(session_.lessonUnreadable(problem)); }
  std::string lessonText() const { return session_.lessonText(); }
  std::string statusLine() const { return session_.statusLine(); }
  std::string statusToolTip() const { return session_.statusToolTip(); }
  // What lies under the pointer and the section that explains it ("" for nothing).
  std::string toolTipAt(int x, int y) const { return session_.toolTipAt(x, y); }
  std::string termAt(int x, int y) const { return session_.termAt(x, y); }
  std::string legendTip(int entry) const {
    return entry < 0 ? "" : session_.legendTip(static_cast<std::size_t>(entry));
  }
  val explain(const std::string& anchor) { return effectsOf(session_.explain(anchor)); }
  val explainLegend(int entry) {
    return entry < 0 ? effectsOf(Effects{}) : effectsOf(session_.explainLegend(static_cast<std::size_t>(entry)));
  }
  val pending() const { return session_.pending() ? questionOf(*session_.pending()) : val::null(); }

  // Whether each command is enabled and checked now, by id.
  val states() const {
    val states = val::object();
    for (const CommandRow& row : commandTable()) {
      if (row.id == 0) continue;
      val s = val::object();
      s.set("enabled", commandEnabled(row, session_.model()));
      s.set("checked", commandChecked(row, session_.model()));
      states.set(row.id, s);
    }
    return states;
  }

  void paintOn(const val& target) const {
    JsCanvas canvas(target);
    paint(canvas, session_.client(), session_);
  }

 private:
  Session session_;
};

}  // namespace

EMSCRIPTEN_BINDINGS(studio) {
  emscripten::class_<WebSession>("Session")
      .constructor<>()
      .function("apply", &WebSession::apply)
      .function("tick", &WebSession::tick)
      .function("resize", &WebSession::resize)
      .function("answer", &WebSession::answer)
      .function("chooseDensity", &WebSession::chooseDensity)
      .function("openLessonText", &WebSession::openLessonText)
      .function("lessonUnreadable", &WebSession::lessonUnreadable)
      .function("lessonText", &WebSession::lessonText)
      .function("statusLine", &WebSession::statusLine)
      .function("statusToolTip", &WebSession::statusToolTip)
      .function("toolTipAt", &WebSession::toolTipAt)
      .function("termAt", &WebSession::termAt)
      .function("legendTip", &WebSession::legendTip)
      .function("explain", &WebSession::explain)
      .function("explainLegend", &WebSession::explainLegend)
      .function("pending", &WebSession::pending)
      .function("states", &WebSession::states)
      .function("paint", &WebSession::paintOn);
  emscripten::function("commands", &commandsOf);
  emscripten::function("menuTitles", &menuTitlesOf);
  emscripten::function("catalogue", &catalogueOf);
  emscripten::function("checkDensity", &checkDensity);
  emscripten::function("howItWorks", &howItWorksOf);
  emscripten::function("densityHints", &densityHintsOf);
  emscripten::function("paintHowDiagram", &paintHowDiagramOn);
}
