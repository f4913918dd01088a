#pragma once
// The desktop program: it owns the session and the platform window, routes
// the window's messages to the session, and does what the session's effects
// say: repaint, status text, the animation's timer, and its questions as
// modal boxes and dialogs.
#include <string>

#include "density/density_choice.h"
#include "model/lesson.h"
#include "platform/window.h"
#include "studio/session.h"

class Canvas;
class ContentDialogs;
class Menu;
class ViewSettings;
class WindowSystem;

class MainWindow {
 public:
  MainWindow() = default;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  Window* open(WindowSystem& system, const char* title);
  // A window made elsewhere (a test's fake) in place of one from open().
  void attach(Window& window) { window_ = &window; }
  // The dialogs behind Other density, Open lesson and Save lesson; without
  // them those commands do nothing.
  void setContentDialogs(ContentDialogs& dialogs) { dialogs_ = &dialogs; }
  // Where the remembered view options are read from now and saved to on change.
  void setViewSettings(ViewSettings& settings);
  void show();
  int run(WindowSystem& system);
  long onDestroy();

  void paint(Canvas& canvas);
  void command(int id);
  void updateMenu(Menu& menu, int position);
  void onTimer();
  std::string statusLine() const { return session_.statusLine(); }
  std::string plotToolTip() const { return session_.toolTip(); }
  // The pointer's hint at a client pixel: what lies there and why, with
  // where a click leads; elsewhere the plot's own tip.
  std::string toolTipAt(int x, int y);
  // A click there opens How it works at the section that explains it.
  void clickAt(int x, int y);
  // The same for legend entry `entry`.
  std::string legendTip(int entry) const;
  void explainLegend(int entry);

  // Returns why the choice cannot be used ("" when it is now the density shown).
  std::string selectOtherDensity(const DensityChoice& choice);
  std::string openLesson(const Lesson& lesson);

  const WindowModel& model() const { return session_.model(); }
  const Session& session() const { return session_; }
  Window* window() const { return window_; }

 private:
  // Does what the effects say, then asks their question and hands its answer back.
  void handle(const Effects& effects);
  void ask(const Question& question);
  void follow();

  Session session_;
  Window* window_ = nullptr;
  ContentDialogs* dialogs_ = nullptr;
  ViewSettings* settings_ = nullptr;
};

// Routes the window system's messages to the MainWindow stored in the window's user data.
long mainWindowProc(Window& window, WindowMessage message, const MessageParams& params);

constexpr const char* mainWindowTitle = "Adaptive Rejection Sampler";
