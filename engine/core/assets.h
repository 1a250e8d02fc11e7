// The display's sizes and the assets shared by every screen: fonts by role and by
// size, the icon strips, logos and badges. Display setup fills them.
#pragma once

#include "platform/platform.h"

// Core.UiFonts slots by role (0 unused). Sizes are for wide screens; smaller screens
// get larger type, except in the display face.
namespace font {
constexpr int kLabel = 1;         // plain 24: the frame rate, the score panel's record and thanks
constexpr int kPanel = 2;         // plain 16: the settings panel, the debug overlay
constexpr int kText = 3;          // plain 16: messages, score popups, credits, the score table
constexpr int kNote = 4;          // plain 20: notes under the score panel's record
constexpr int kHeadline = 5;      // headline 96: the title's first line, "Game Over", the name typed
constexpr int kSubhead = 6;       // headline 72: the title's second line, prompts, farewell
constexpr int kMenu = 7;          // headline 32: menu items, the start prompt
constexpr int kChoice = 8;        // plain 32: the difficulty choices, the appeal's heading
constexpr int kFinePrint = 9;     // plain 14: the appeal's lines
constexpr int kDisplayHuge = 10;  // display face 112, 96, 32 and 20, never scaled
constexpr int kDisplayLarge = 11;
constexpr int kDisplayMedium = 12;
constexpr int kDisplaySmall = 13;
}  // namespace font

#include "core/state.h"  // the sizes and assets live in Core
