// Prints the Canvas calls of one built-in kind's pictures, recorded natively
// by the scenario's rules (canvas_scenario.txt): the reference the browser's
// calls must equal.
//   web_canvas_calls SCENARIO KIND
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "studio/session.h"
#include "web/call_log_canvas.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: web_canvas_calls SCENARIO KIND\n";
    return 2;
  }
  std::ifstream scenario(argv[1]);
  const int kind = std::atoi(argv[2]);
  if (!scenario || kind < 1 || kind > 6) {
    std::cerr << "web_canvas_calls: cannot read " << argv[1] << " or kind " << argv[2] << " is not 1..6\n";
    return 2;
  }
  Session session;
  std::string line;
  while (std::getline(scenario, line)) {
    std::istringstream words(line);
    std::string word;
    if (!(words >> word) || word[0] == '#') continue;
    if (word == "size") {
      int width = 0, height = 0;
      words >> width >> height;
      session.resize(Rect{0, 0, width, height});
    } else if (word == "density") {
      session.apply(120 + kind);
    } else if (word == "apply") {
      int id = 0;
      words >> id;
      session.apply(id);
    } else if (word == "lesson") {
      std::string json;
      std::getline(words >> std::ws, json);
      session.openLessonText(json);
    } else if (word == "tick") {
      session.tick();
    } else if (word == "paint") {
      CallLogCanvas canvas;
      paint(canvas, session.client(), session);
      std::cout << "paint\n";
      for (const std::string& call : canvas.log) std::cout << call << '\n';
    } else {
      std::cerr << "web_canvas_calls: unknown step \"" << word << "\"\n";
      return 2;
    }
  }
  return 0;
}
