// The single way out of the program.
#pragma once

// Saves the settings, writes the closing log lines, closes the display and the log
// and ends the process. Never returns.
[[noreturn]] void Shutdown();
