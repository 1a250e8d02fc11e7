// The music player, advanced from the frame cycle.
#pragma once

// One step of the music clock, run by EndFrame every frame.
void UpdateSong();
