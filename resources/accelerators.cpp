#include "resources/accelerators.h"

#include "resources/command_ids.h"

const std::vector<Accelerator>& acceleratorTable() {
  static const std::vector<Accelerator> table = {
      {'S', CommandId::startStepping}, {'N', CommandId::nextStep},
      {'X', CommandId::stopStepping},  {'G', CommandId::stepUntilAccepted},
      {'R', CommandId::refresh},       {'T', CommandId::throwDarts},
      {'E', CommandId::normalScale},   {'L', CommandId::logScale},
      {' ', CommandId::animateSteps, false},
      {'+', CommandId::fasterAnimation, false},
      {'-', CommandId::slowerAnimation, false},
      {SpecialKey::backspace, CommandId::stepBack, false},
      {SpecialKey::f11, CommandId::fullScreen, false},
      // '=' is '+' without Shift on many keyboards.
      {'=', CommandId::fasterAnimation, false},
      {'P', CommandId::comparePlainRejection},
      {'H', CommandId::histogram},
      {SpecialKey::home, CommandId::restartFromSeed},
  };
  return table;
}
