// The program: start-up, the title screen and the game, until the player leaves.
#include "shell/startup.h"

int main() {
  RunProgram();
  return 0;
}
