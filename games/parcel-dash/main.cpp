// Parcel Dash: catch what falls from the rooftops with a cart.
#include "dash/dash.h"
#include "shell/program.h"

int main(int argc, char** argv) { return RunEngine(argc, argv, DashTable()); }
