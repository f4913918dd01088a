#pragma once
// The desktop's menu bar, its accelerators and the Keys box, made from the
// command table.
#include <string>
#include <vector>

#include "platform/accelerator.h"
#include "platform/menu_bar.h"

class Menu;
struct WindowModel;

// The menu bar, pop-ups in their positions from the left.
const std::vector<MenuPopup>& mainMenu();
const std::vector<Accelerator>& acceleratorTable();
// Every key with what it does, one line each.
std::string keysText();
// Check marks and enabled states of the pop-up at `position`, from the state.
void updateMenu(Menu& menu, int position, const WindowModel& model);
