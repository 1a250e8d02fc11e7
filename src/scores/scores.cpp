#include "scores/scores.h"

// Stand-in: the score records arrive with the scores work.
std::list<Scores> ScoreList;
std::string PlayerName = "Player";

int Scores::Compare(const Scores& other) const {
  return static_cast<int>(static_cast<uint32_t>(other.Timestamp - Timestamp));
}

void SortScores() {}
void AddScore(const Scores& record) { ScoreList.push_back(record); }
void LoadScores() {}
void SaveScores() {}
