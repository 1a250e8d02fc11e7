// The command line: what the program was asked to do, and its usage text.
#pragma once

#include <string>
#include <vector>

struct ProgramOptions {
  bool help = false;        // --help, -h
  bool version = false;     // --version
  std::string dataFolder;   // --data DIR: the folder holding the game's Files/ media
  std::string saveFolder;   // --save DIR: where settings, log, scores and screenshots go
  std::string replayFile;   // --replay FILE: play a recorded game back
  std::string leaderboard;  // --leaderboard URL: this run sends its games' replays there
  bool headless = false;    // --headless: with --replay, without a window, as fast as it goes
};

// Fills `out` from the arguments (without the program's name). Returns "" or the
// one-line usage error (an unknown option, a missing value, a stray argument).
// Options take their value as "--name VALUE" or "--name=VALUE".
std::string ParseOptions(const std::vector<std::string>& args, ProgramOptions& out);

// The options, one a line, for --help and after a usage error.
std::string UsageText();

// The game's program name and version: "puffwick-loopery 1.0.0".
std::string VersionText();
