#include "studio/lesson_text.h"

// Until the core reads lessons itself.
std::string parseLessonText(const std::string&, Lesson&) { return "lessons cannot be read here"; }
std::string writeLessonText(const Lesson&) { return "{}"; }
