#include "scores/scores.h"

void LoadScores() {}

void SaveScores() {}
