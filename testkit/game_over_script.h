// The player's part once a scripted game is over: let go of every key and button,
// wait out "Game Over", then type the name and press Enter in the name entry.
#pragma once

#include <cstdint>
#include <string>

#include "platform/headless/headless.h"
#include "platform/keycodes.h"

class GameOverScript {
 public:
  GameOverScript(plat::HeadlessBackend& m, std::string name) : m_(m), name_(std::move(name)) {}

  bool Started() const { return overAt_ >= 0; }

  // Call once a shown frame from the frame the game ended on.
  void Step(int shown) {
    plat::InputState& in = m_.ScriptInput();
    if (overAt_ < 0) {
      overAt_ = m_.Now();
      for (int key = 0; key < 256; key++) in.ReleaseKey(key);
      for (int b = 1; b <= 3; b++) in.ReleaseMouse(b);
    }
    if (m_.Now() - overAt_ < kWaitMs) return;
    const int k = nameFrame_ < 0 ? (nameFrame_ = shown, 0) : shown - nameFrame_;
    const int at = k - 4;
    if (at >= 0 && at < static_cast<int>(name_.size())) in.typed.push_back(static_cast<unsigned char>(name_[at]));
    if (k == 6 + static_cast<int>(name_.size())) {
      in.PressKey(plat::kKeyEnter);
      // Name entry waits for Enter to be let go, showing no frames meanwhile.
      m_.At(m_.Now() + 30, [](plat::InputState& later) { later.ReleaseKey(plat::kKeyEnter); });
    }
  }

 private:
  static constexpr int kWaitMs = 2200;  // "Game Over" holds two seconds
  plat::HeadlessBackend& m_;
  std::string name_;
  int64_t overAt_ = -1;
  int nameFrame_ = -1;
};
