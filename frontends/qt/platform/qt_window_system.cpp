#include "frontends/qt/platform/qt_window_system.h"

#include <QApplication>
#include <QShortcut>

#include "frontends/qt/platform/qt_main_window.h"

// Letters, space, '+', '=' and '-' are their own Qt codes.
Qt::Key qtKeyOf(int key) {
  if (key == SpecialKey::backspace) return Qt::Key_Backspace;
  if (key == SpecialKey::f11) return Qt::Key_F11;
  if (key == SpecialKey::home) return Qt::Key_Home;
  return static_cast<Qt::Key>(key);
}

QtWindowSystem::QtWindowSystem() = default;

QtWindowSystem::~QtWindowSystem() = default;

Window* QtWindowSystem::createWindow(const WindowOptions& options) {
  windows_.push_back(std::make_unique<QtMainWindow>(options));
  QtMainWindow* window = windows_.back().get();
  MessageParams params;
  params.createParam = options.createParam;
  window->send(WindowMessage::Create, params);
  return window;
}

int QtWindowSystem::runMessageLoop(Window& window, const std::vector<Accelerator>& accelerators) {
  // Window-level shortcuts fire only while the window is the active one, so
  // a modal message box in front of it holds them back.
  std::vector<std::unique_ptr<QShortcut>> shortcuts;
  if (auto* mainWindow = dynamic_cast<QtMainWindow*>(&window)) {
    for (const Accelerator& accelerator : accelerators) {
      const Qt::KeyboardModifiers modifiers = accelerator.control ? Qt::ControlModifier : Qt::NoModifier;
      const QKeySequence keys(QKeyCombination(modifiers, qtKeyOf(accelerator.key)));
      auto shortcut = std::make_unique<QShortcut>(keys, mainWindow);
      shortcut->setContext(Qt::WindowShortcut);
      const int id = accelerator.id;
      QObject::connect(shortcut.get(), &QShortcut::activated, mainWindow, [mainWindow, id] {
        MessageParams params;
        params.value = id;
        mainWindow->send(WindowMessage::Command, params);
      });
      shortcuts.push_back(std::move(shortcut));
    }
  }
  return QApplication::exec();
}
