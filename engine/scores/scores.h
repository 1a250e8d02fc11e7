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

// The scores floor's state, one record: the list and the file it came from, and
// what the title screen's score panel keeps between frames.
struct HighScoresState {
  std::list<Scores> ScoreList;         // newest first
  std::string PlayerName = "Player";  // "Player" until a score file names one
  // The timestamp of the record the last game added (0 before one, or after a game
  // that added none): its replay is named by it. The game sets it with its record.
  int64_t LastGameTimestamp = 0;
  bool ScoresLoaded = false;  // RefreshScores has read the file once this run
  // The scores.dat in the folder is one this run read or wrote. Any other (one that
  // could not be read, or appeared since) holds records the list does not: it is
  // never replaced, and the list is written beside it instead.
  bool FileIsOurs = false;
  std::string AsideFile;  // where this run writes its list beside such a file

  // The score panel (scores/score_panel.h).
  int GraphScroll = 0;      // 0..1000, kept between frames
  int LockedSelection = 0;  // n: the n-th matching record; 1000 + k: table row k
  // Rebuilt by every DrawScorePanel: the variant's 25 best records, best first (slots
  // 1..25, empty ones null; valid until ScoreList next changes), and its best score in
  // 32 bits (1 rather than 0, as it divides the bar heights).
  const Scores* TopTable[26] = {};
  int BestScore = 1;
};
extern HighScoresState HighScores;

// Sorts HighScores.ScoreList ascending by Compare (stable).
void SortScores();
// Appends a record and sorts the list.
void AddScore(const Scores& record);

// What a score file's text holds: its records, newest first, and the name of the
// first record in the text (the next default player name), when there is one.
struct ParsedScores {
  std::list<Scores> records;
  bool named = false;
  std::string firstName;
};
// Reads score-file text. Any text is accepted: lines end at LF (or a NUL byte)
// and CRs are dropped; whatever cannot be read as a number reads as 0.
ParsedScores ParseScores(const std::string& text);
// The score-file text of a list, in list order: two CR LF lines per record.
std::string FormatScores(const std::list<Scores>& list);

// Reads the score list from "scores.dat" in the current folder (the game folder).
void LoadScores();
// Writes the score list to "scores.dat" in the current folder, whole or not at all.
// A scores.dat that this run has not read (it could not be read, or it appeared
// since) or that is read-only is never replaced: the list goes to a file beside
// it ("scores.dat.unsaved", numbered when one from an earlier run is there).
void SaveScores();
// For display setup, which runs again at every Apply of the settings panel: the
// first call loads "scores.dat"; later calls save the list first, so that records
// added since start-up are kept (and when that save fails, the list is simply kept).
void RefreshScores();
// Back to the start of a run: no records, "Player", the next RefreshScores loads,
// and the score panel as a fresh program has it.
void ResetScores();
