#pragma once
// Lesson files: a small JSON object.
//   {"title": "Normal tail", "density": "exp(-x^2/2)", "lower": 2, "upper": 4, "scale": "log"}
// "density" or "logDensity" (exactly one) holds the formula; "lower" and
// "upper" are numbers or the strings "-inf" / "inf"; "title" and "scale"
// ("normal" or "log") are optional. "builtin" ("beta-2-3", ...) names a
// built-in density in place of the formula and its support; a title beside
// it names the lesson, the plot keeps the kind's own caption. The
// window's state is optional too: "seed", "steps", "darts", "speed",
// "wholeEnvelope", "histogram", "largerPoints", "twoBeats", "tScale",
// "fixedAxis", "theme" ("classic" or "projector"); "steps" counts whole steps, shown at the last one's last beat. A formula may name
// its "transform" ("log" or "inverse-sqrt") and its "splits" (increasing
// numbers inside the support). Any other key is refused, naming the nearest
// known one. Whether the formula parses and has a finite mass is checked
// where it is opened (studio/density_check.h), not here.
//
// The same text comes from a file on the desktop and from a link in the
// browser, so both read it here, with the same checks and messages.
#include <cstddef>
#include <string>

#include "model/lesson.h"

// Returns "" and fills lesson, or says what is wrong with the text, naming
// the field; lesson is left as it was then.
std::string parseLesson(const std::string& json, Lesson& lesson);

// The lesson as JSON: keys in alphabetical order, four spaces of indent, a
// newline at the end; a number reads back as the same double.
std::string lessonJson(const Lesson& lesson);

// Lesson files are small; anything larger is not one.
constexpr std::size_t maxLessonFileSize = 64 * 1024;
// Replaying more steps than this would keep the window busy for long.
constexpr int maxLessonSteps = 100000;
