#pragma once
#include <vector>

// Control + letter accelerators, and plain keys.
struct Accelerator {
  char key;  // upper-case letter, or ' '
  int id;
  bool control = true;
};

const std::vector<Accelerator>& acceleratorTable();
