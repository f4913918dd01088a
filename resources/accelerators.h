#pragma once
#include <vector>

#include "platform/accelerator.h"

const std::vector<Accelerator>& acceleratorTable();
