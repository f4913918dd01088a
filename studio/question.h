#pragma once
// What the session asks the user: state the front end shows, never a
// blocking call. The answer comes back to the session.
#include <string>

#include "density/density_choice.h"
#include "model/lesson.h"

enum class QuestionKind {
  Message,        // text and caption, one OK button
  Offer,          // the same with a button for `action` beside OK
  ChooseDensity,  // the density dialog, starting from `density`
  OpenLesson,     // a lesson to pick (a file, a drop, a link)
  SaveLesson,     // where to put `lessonText`
  SavePicture,    // where to put the picture on screen
  HowItWorks,     // the illustrated page of studio/how_it_works.h; one OK button
};

struct Question {
  QuestionKind kind = QuestionKind::Message;
  std::string text;
  std::string caption;
  std::string action;
  DensityChoice density;
  std::string lessonText;
};

enum class Choice { Ok, Action, Cancel };
