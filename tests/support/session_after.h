#pragma once
// A studio session at 800 x 600 after a list of commands, for tests that
// read what the window would show.
#include <vector>

#include "studio/session.h"

namespace test_support {

inline const Rect sessionClient{0, 0, 800, 600};

struct After {
  explicit After(const std::vector<int>& ids) {
    session.resize(sessionClient);
    for (int id : ids) session.apply(id);
  }
  Session session;
};

}  // namespace test_support
