#include "model/view_options.h"

#include <iterator>

int animationInterval(const ViewOptions& view) { return animationIntervals[view.animationSpeed]; }

void changeAnimationSpeed(ViewOptions& view, int faster) {
  const int last = static_cast<int>(std::size(animationIntervals)) - 1;
  const int speed = view.animationSpeed + faster;
  view.animationSpeed = speed < 0 ? 0 : speed > last ? last : speed;
}
