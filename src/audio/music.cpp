#include "audio/music.h"

// Stand-in until the music player is built: nothing starts, so nothing steps.
void StartSong(const std::string&, int, int) {}
void UpdateSong() {}
void StopSong() {}
void SetSongPan(double) {}
