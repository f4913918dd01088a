#pragma once
// Every command once: its id, menu text, key, help line, and whether it is
// enabled and checked in a state. Menus, accelerators, the Keys box and the
// browser's toolbar are all made from this table.
#include <string>
#include <vector>

#include "platform/accelerator.h"
#include "platform/menu_bar.h"

struct WindowModel;

struct CommandRow {
  int id;
  int popup;          // position in the menu bar of its pop-up
  const char* label;  // '&' marks the mnemonic; nullptr with id 0: a separator
  std::vector<Accelerator> keys;
  const char* help;   // the Keys box's line; nullptr: not listed
  bool (*enabled)(const WindowModel&);  // nullptr: always
  bool (*checked)(const WindowModel&);  // nullptr: never has a check mark
  // Reachable by its id (and key) only: no menu item or button.
  bool hidden = false;
  // A lesson's everyday step: a button of its own beside the menus where
  // there is room for one (the browser's toolbar), one tap on a phone.
  bool quick = false;
};

const std::vector<CommandRow>& commandTable();
const CommandRow* findCommand(int id);
bool commandEnabled(const CommandRow& row, const WindowModel& model);
bool commandChecked(const CommandRow& row, const WindowModel& model);
// Menu titles by position, and the text of a key ("Ctrl+T", "Space", "F11").
const std::vector<const char*>& menuTitles();
std::string keyName(const Accelerator& key);
