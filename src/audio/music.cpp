#include "audio/music.h"

// No song is ever started until the music player is built, so there is nothing to step.
void UpdateSong() {}
