#include "studio/menus.h"

#include <cctype>
#include <deque>

#include "platform/menu.h"
#include "studio/command_table.h"

namespace {
// The menu's key hint: "Ctrl-e", as the menu shows it, beside the Keys box's "Ctrl+E".
std::string menuHint(const Accelerator& key) {
  if (key.control && key.key < 0x100) {
    return std::string("Ctrl-") + static_cast<char>(std::tolower(key.key));
  }
  std::string name = keyName(key);
  if (key.control) name[4] = '-';
  return name;
}

std::vector<MenuPopup> makeMenu() {
  // Item texts live as long as the menu.
  static std::deque<std::string> texts;
  std::vector<MenuPopup> menu;
  for (const char* title : menuTitles()) menu.push_back({title, {}});
  for (const CommandRow& row : commandTable()) {
    if (row.hidden) continue;
    if (row.id == 0) {
      menu[static_cast<std::size_t>(row.popup)].items.push_back({nullptr, 0});
      continue;
    }
    std::string text = row.label;
    if (!row.keys.empty()) text += "\t" + menuHint(row.keys.front());
    texts.push_back(text);
    menu[static_cast<std::size_t>(row.popup)].items.push_back({texts.back().c_str(), row.id});
  }
  return menu;
}
}  // namespace

const std::vector<MenuPopup>& mainMenu() {
  static const std::vector<MenuPopup> menu = makeMenu();
  return menu;
}

const std::vector<Accelerator>& acceleratorTable() {
  static const std::vector<Accelerator> table = [] {
    std::vector<Accelerator> keys;
    for (const CommandRow& row : commandTable()) keys.insert(keys.end(), row.keys.begin(), row.keys.end());
    return keys;
  }();
  return table;
}

std::string keysText() {
  std::string text;
  for (const CommandRow& row : commandTable()) {
    if (row.keys.empty() || row.help == nullptr) continue;
    if (!text.empty()) text += "\n";
    for (std::size_t k = 0; k < row.keys.size(); ++k) text += (k ? " or " : "") + keyName(row.keys[k]);
    text += " \u2014 ";
    text += row.help;
  }
  return text;
}

void updateMenu(Menu& menu, int position, const WindowModel& model) {
  for (const CommandRow& row : commandTable()) {
    if (row.id == 0 || row.popup != position) continue;
    if (row.checked) menu.checkItem(row.id, commandChecked(row, model));
    if (row.enabled) menu.enableItem(row.id, commandEnabled(row, model));
  }
}
