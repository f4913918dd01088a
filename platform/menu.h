#pragma once

// A pop-up menu of the menu bar, addressed by command id.
class Menu {
 public:
  virtual ~Menu() = default;
  // Ids without an item are ignored.
  virtual void checkItem(int id, bool checked) = 0;
};
