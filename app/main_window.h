#pragma once
// The window program: it owns the model and the platform window, routes the
// window's messages and commands to the model's operations, and tells the
// user what they met. The picture and the status line are drawn from the
// model after every command.
#include <optional>
#include <string>

#include "density/density_choice.h"
#include "model/lesson.h"
#include "model/reports.h"
#include "model/window_model.h"
#include "platform/window.h"

class Canvas;
class ContentDialogs;
class Menu;
class ViewSettings;
class WindowSystem;
struct DensityChoice;

class MainWindow : private Reports {
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
  std::string statusLine() const;
  std::string plotToolTip() const;

  // Returns why the choice cannot be used ("" when it is now the density shown).
  std::string selectOtherDensity(const DensityChoice& choice);
  std::string openLesson(const Lesson& lesson);

  const WindowModel& model() const { return model_; }
  Window* window() const { return window_; }

 private:
  void repaint();
  void throwDarts();
  void toggleAnimation();
  void stopAnimation();
  void changeAnimationSpeed(int faster);
  void compareWithPlainRejection();
  void lessonCommand(int id);
  void showMessage(const char* text, const char* caption);
  void showKeys();
  void showAbout();
  // The density a refusal's box offered and the user took, chosen once the
  // command that met the refusal has ended.
  void takeOfferedDensity(bool throwAgain);

  void refused() override;
  void unusable(const char* what) override;
  void notStepping() override;

  WindowModel model_;
  Window* window_ = nullptr;
  ContentDialogs* dialogs_ = nullptr;
  ViewSettings* settings_ = nullptr;
  std::optional<DensityChoice> offered_;
};

// Routes the window system's messages to the MainWindow stored in the window's user data.
long mainWindowProc(Window& window, WindowMessage message, const MessageParams& params);

constexpr const char* mainWindowTitle = "Adaptive Rejection Sampler";
