#pragma once
// The menu bar as the window system builds it: pop-ups of items with command ids.
#include <vector>

struct MenuItem {
  const char* text;  // nullptr: a separator; '&' marks the mnemonic, '\t' precedes the key hint
  int id;
};

struct MenuPopup {
  const char* title;
  std::vector<MenuItem> items;
};
