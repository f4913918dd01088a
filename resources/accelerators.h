#pragma once
#include <vector>

// Control + letter accelerators.
struct Accelerator {
  char key;  // upper-case letter
  int id;
};

const std::vector<Accelerator>& acceleratorTable();
