// One reset for the program's whole state, for whoever runs the program's parts
// more than once in one process (the tests): the game's own state, then each
// floor's record from the top down, then what the platform keeps beside its backend.
#pragma once

// Leaves the game table in use (and the identity derived from it) and the backend
// installed; everything else is as a fresh program has it.
void ResetEngineState();
