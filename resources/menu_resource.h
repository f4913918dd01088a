#pragma once
#include <vector>

#include "platform/menu_bar.h"

// The menu bar, pop-ups in their positions from the left.
const std::vector<MenuPopup>& mainMenu();
