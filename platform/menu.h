#pragma once

// A pop-up menu of the menu bar, addressed by command id.
class Menu {
 public:
  virtual ~Menu() = default;
  // Ids without an item are ignored.
  virtual void checkItem(int id, bool checked) = 0;
  // Greys an item out while it has nothing to act on; ids without an item are ignored.
  virtual void enableItem(int /*id*/, bool /*enabled*/) {}
};
