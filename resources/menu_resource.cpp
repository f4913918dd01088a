#include "resources/menu_resource.h"

#include "resources/command_ids.h"

const std::vector<MenuPopup>& mainMenu() {
  static const std::vector<MenuPopup> menu = {
      {"&File", {{"Save &picture\u2026", CommandId::savePicture}, {nullptr, 0}, {"E&xit", CommandId::exit},
        {nullptr, 0},
        {"Open &lesson\u2026", CommandId::openLesson},
        {"Sa&ve lesson\u2026", CommandId::saveLesson}}},
      {"&Plot",
       {{"&Normal scale\tCtrl-e", CommandId::normalScale},
        {"&Log scale\tCtrl-l", CommandId::logScale},
        {nullptr, 0},
        {"&T scale (\u22121/\u221af)", CommandId::tScale}}},
      {"&Distribution",
       // Density kind k has the id firstDensity - 1 + k; kinds 2, 3 and 5 have no item.
       {{"Beta(2,3)", CommandId::firstDensity}, {"Gamma(10,0.1)", CommandId::firstDensity + 3},
        {"Test density", CommandId::lastDensity},
        {nullptr, 0},
        {"&Other density\u2026", CommandId::otherDensity}}},
      {"&Go",
       {{"&Throw darts\tCtrl-t", CommandId::throwDarts},
        {nullptr, 0},
        {"&Start stepping\tCtrl-s", CommandId::startStepping},
        {"&Next step\tCtrl-n", CommandId::nextStep},
        {"Sto&p stepping\tCtrl-x", CommandId::stopStepping},
        {nullptr, 0},
        {"&Refresh\tCtrl-r", CommandId::refresh},
        {nullptr, 0},
        {"Restart from s&eed\tCtrl-Home", CommandId::restartFromSeed},
        {"Step &back\tBackspace", CommandId::stepBack},
        {nullptr, 0},
        {"&Compare with plain rejection\tCtrl-p", CommandId::comparePlainRejection}}},
      {"&View",
       {{"&Status bar", CommandId::statusBar},
        {"&Animate steps\tSpace", CommandId::animateSteps},
        {"&Larger points", CommandId::largerPoints},
        {nullptr, 0},
        {"&Full screen\tF11", CommandId::fullScreen},
        {"Animate fas&ter\t+", CommandId::fasterAnimation},
        {"Animate sl&ower\t\u2212", CommandId::slowerAnimation},
        {nullptr, 0},
        {"&Histogram of the darts\tCtrl-h", CommandId::histogram},
        {"&Whole envelope in view", CommandId::wholeEnvelope},
        {"Two &beats per step", CommandId::twoBeats}}},
      {"&Help", {{"&Keys\u2026", CommandId::keys}, {"&About", CommandId::about}}},
  };
  return menu;
}
