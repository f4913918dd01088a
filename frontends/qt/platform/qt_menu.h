#pragma once
#include "platform/menu.h"

class QMenu;

// A pop-up of the menu bar; its actions carry their command id as data.
class QtMenu : public Menu {
 public:
  explicit QtMenu(QMenu& menu);

  void checkItem(int id, bool checked) override;
  void enableItem(int id, bool enabled) override;

 private:
  QMenu& menu_;
};
