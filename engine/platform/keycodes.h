// Names for the key codes the program tests (Windows virtual-key numbers, which
// the platform's input queries take). Mouse buttons answer as codes 1..3 too.
#pragma once

namespace plat {

constexpr int kMouseLeft = 1;
constexpr int kMouseRight = 2;
constexpr int kMouseMiddle = 3;

constexpr int kKeyBackspace = 8;
constexpr int kKeyTab = 9;
constexpr int kKeyEnter = 13;
constexpr int kKeyEscape = 27;
constexpr int kKeySpace = 32;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;
constexpr int kKeyC = 67;
constexpr int kKeyV = 86;
constexpr int kKeyX = 88;
constexpr int kKeyZ = 90;
constexpr int kKeyF4 = 115;
constexpr int kKeyF11 = 122;
constexpr int kKeyF12 = 123;
constexpr int kKeyLeftAlt = 164;
constexpr int kKeyRightAlt = 165;

}  // namespace plat
