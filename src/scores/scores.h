// Score records, the score list and the score file "scores.dat".
#pragma once

#include <cstdint>
#include <list>
#include <string>

// One finished or abandoned game.
class Scores {
 public:
  int64_t Score = 0;
  int64_t Timestamp = 0;  // pseudo-seconds, see scores/timestamp.h
  int Badges = 0;         // bit k - 1 set when badge k was earned
  std::string Name;
  int Best[31] = {};      // entries 1..30: values supplied by the game
  int Level = 0;
  int GameMode = 0;
  int GameFlags = 0;
  int Quit = 0;           // 1 when the game was quit rather than played out

  // The list's ordering: (other's Timestamp - own) in its low 32 bits, so that
  // sorting ascending puts the newest record first.
  int Compare(const Scores& other) const;
};

extern std::list<Scores> ScoreList;  // newest first
extern std::string PlayerName;       // "Player" until a score file names one

// Sorts ScoreList ascending by Compare (stable).
void SortScores();
// Appends a record and sorts the list.
void AddScore(const Scores& record);

// Reads the score list from "scores.dat" in the current folder (the game folder).
void LoadScores();
// Writes the score list to "scores.dat" in the current folder, whole or not at all.
void SaveScores();
