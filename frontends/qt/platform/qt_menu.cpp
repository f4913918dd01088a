#include "frontends/qt/platform/qt_menu.h"

#include <QAction>
#include <QMenu>

QtMenu::QtMenu(QMenu& menu) : menu_(menu) {}

void QtMenu::checkItem(int id, bool checked) {
  for (QAction* action : menu_.actions()) {
    if (action->isSeparator() || action->data().toInt() != id) continue;
    // Only a checked item is checkable: styles draw an empty box beside an
    // unchecked checkable one, and no other item toggles a mark of its own.
    action->setCheckable(checked);
    action->setChecked(checked);
  }
}

void QtMenu::enableItem(int id, bool enabled) {
  for (QAction* action : menu_.actions()) {
    if (!action->isSeparator() && action->data().toInt() == id) action->setEnabled(enabled);
  }
}
