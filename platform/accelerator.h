#pragma once
// A key combination that sends a command to the window.

// Keys without a character of their own.
namespace SpecialKey {
constexpr int backspace = 0x100;
constexpr int f11 = 0x101;
constexpr int home = 0x102;
}  // namespace SpecialKey

// Control + letter accelerators, and plain keys.
struct Accelerator {
  int key;  // upper-case letter, ' ', '+', '=', '-', or a SpecialKey
  int id;
  bool control = true;
};
