// The score records and the score file "scores.dat".
#pragma once

// Reads the score list from the current folder (the game folder). The score
// records and their file format come with the scores work; until then nothing
// is read.
void LoadScores();
// Writes the score list back; nothing to write until the score records exist.
void SaveScores();
