// Puffwick Loopery: lay track for a train that runs by itself.
#include "loopery/loopery.h"
#include "shell/program.h"

int main(int argc, char** argv) { return RunEngine(argc, argv, LooperyTable()); }
