// Stations and cargo: new stations, cargo growth, the full timer and explosions,
// the exchange between stations and carriages, and the numbers drawn for both.
#pragma once

#include "loopery/board.h"

// Tries to place the next station (collect and delivery in turn) on free ground.
void NewStation();
// Counts down to the next station (frame step 12).
void RunStationCountdown();
// Board pass 2 for one cell: cargo arrival and growth, the full timer, the
// bubbles and the explosion.
void StationCellWork(int x, int y);
// Loads or unloads car i of a train standing on station track `code` at `cell`.
void ExchangeCargo(ain& t, int i, int code, int cell);
// The load and the free room of a carriage, in bubbles beside it.
void DrawCarriageNumbers(const ain& t, int i);
