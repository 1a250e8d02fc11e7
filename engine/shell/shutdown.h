// The ways out of the program.
#pragma once

// How far the program has read its files, which decides what an end without the
// farewell may write: before start-up has read a file, writing it would put
// defaults or an empty list over the player's data; once Shutdown has saved,
// nothing is left to save.
enum class EndSaveStage { kNothingRead, kSettingsRead, kAllRead, kSaved };

// Saves the settings and the scores, writes the closing log lines, shows the
// farewell screen until a key, a click or a close, closes the display and the log
// and ends the process. Never returns.
[[noreturn]] void Shutdown();

// The end a termination signal or a lost display brings: saves what Shell.SaveStage
// allows, removes the crash marker, writes the closing log lines and closes the
// log; shows nothing. The platform then ends the process.
void EndWithoutFarewell();

#include "shell/shell_state.h"  // the floor's record, Shell
