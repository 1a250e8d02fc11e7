// Money and building: the hover preview, placing and swapping pieces, the
// toolbar, the running cost and the money display.
#pragma once

// Pass 1 for the cell under the pointer: preview, placement and swap.
void BuildAtCell(int x, int y);
// The toolbar row with its hint; a left click picks a piece (frame step 8).
void DrawToolbar();
// Rolls ShownMoney, runs the station countdown and charges the running cost
// (frame step 12).
void RunMoney();
// "$1,234" at the top left (frame step 13).
void DrawMoney();
