// The program: start-up, the title screen and the game, until the player leaves;
// or, asked on the command line, the playback of a recorded game.
#include "shell/replay.h"
#include "shell/startup.h"

int main(int argc, char** argv) {
  if (int code = ReplayCommand(argc, argv); code >= 0) return code;
  RunProgram();
  return 0;
}
