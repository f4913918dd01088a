#pragma once
// The texts of the boxes the program shows.
#include <string>

std::string aboutText();
