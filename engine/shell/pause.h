// The pause menu (Escape during a game) and screenshots (F11 on any screen).
#pragma once

#include <string>

// Runs the pause menu until the player chooses: kPauseContinue or kPauseQuit.
int PauseMenu();
// Saves the back buffer as a PNG in Files/ and posts "Saved Screenshot", or
// "Screenshot not saved" (with the reason in the log) when no file was written.
void TakeScreenshot();
// The text without the characters # ' , ` . \ / : | * ? and the double quote.
std::string CleanFileName(const std::string& text);

#include "shell/shell_state.h"  // the floor's record, Shell
