// A scratch machine with an empty score list and the panel's kept state cleared.
#pragma once

#include <string>

#include "testkit/scratch.h"
#include "scores/score_panel.h"
#include "scores/scores.h"

inline Scores Record(int64_t score, int64_t timestamp, const std::string& name = "Ann", int mode = 0) {
  Scores s;
  s.Score = score;
  s.Timestamp = timestamp;
  s.Name = name;
  s.GameMode = mode;
  return s;
}

// Thirty copies of a value joined by "|".
inline std::string BestLine(int value) {
  std::string out;
  for (int k = 1; k <= 30; k++) out += (k > 1 ? "|" : "") + std::to_string(value);
  return out;
}

class ScoresTest : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    ResetScores();
    HighScores.GraphScroll = 0;
    HighScores.LockedSelection = 0;
  }
  void TearDown() override {
    ResetScores();
    ScratchTest::TearDown();
  }
};

// A score file's text: the lines, each ended by CR LF.
inline std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

inline std::string Zeros() { return BestLine(0); }
