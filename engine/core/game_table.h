// What a game of the series hands the engine at start-up: who it is, what to load
// and what its screens are. The engine knows no game but through this table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct GameTable {
  // Who it is.
  int number = 0;            // in the series; its media live in Files/<three digits>/
  std::string titleFirst;    // the title screen's two words ("Puffwick", "Loopery")
  std::string titleSecond;
  std::string programName;   // the program's file name: usage, --version, the save folder
  std::string version;       // what --version prints after the name
  // The rules its replays are played under, written in every replay's header.
  // Raised whenever a change to the game would change a replay's outcome: a replay
  // of other rules is refused rather than shown diverging (a leaderboard server
  // tells the player to update).
  int rulesVersion = 1;
  std::vector<std::string> credits;  // the title screen's panel, top to bottom
  std::string difficultyNames[3] = {"Easy", "Medium", "Hard"};

  // What it loads: its own media, from its folder, at every display setup (after
  // the engine's shared assets and sound effects). Runs the engine test if it wants one.
  void (*LoadMedia)() = nullptr;

  // What its screens are.
  // One game at the current Difficulty, from its first frame through "Game Over"
  // and name entry, leaving its score record in HighScores.ScoreList (also after a quit).
  void (*Play)() = nullptr;
  // The score of the game under way or just played (a replay's result).
  int (*Score)() = nullptr;
  // A digest of the game's whole state: a replay checks it every 60 frames.
  uint64_t (*Checksum)() = nullptr;
  // Drawn first thing every frame, under everything else (the game's popups).
  void (*DrawPopups)() = nullptr;
  // Puts the game's own state back as a fresh program has it (ResetEngineState
  // runs it first); the engine's records are the engine's to reset.
  void (*ResetState)() = nullptr;
};

// Installs the game: fills Core.ThisGame and the identity derived from it (core/identity.h).
void UseGame(const GameTable& game);

#include "core/state.h"  // Core.ThisGame
