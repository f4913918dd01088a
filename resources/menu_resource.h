#pragma once
#include <vector>

struct MenuItem {
  const char* text;  // nullptr: a separator; '&' marks the mnemonic, '\t' precedes the key hint
  int id;
};

struct MenuPopup {
  const char* title;
  std::vector<MenuItem> items;
};

// The menu bar, pop-ups in their positions from the left.
const std::vector<MenuPopup>& mainMenu();
