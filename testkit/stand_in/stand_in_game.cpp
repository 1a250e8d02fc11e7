// A stand-in for a game, for the engine's own tests: it carries the first game's
// number and names, so that the engine's tests read the same folders and texts;
// its media step is the engine test, as a game's is; it plays nothing (a test that
// needs a game hands in its own).
#include "config/sprite_budget.h"
#include "testkit/test_game.h"

GameTable TestGameTable() {
  GameTable t;
  t.number = 257;
  t.titleFirst = "Puffwick";
  t.titleSecond = "Loopery";
  t.programName = "puffwick-loopery";
  t.version = "0.0.0-test";
  t.credits = {"A stand-in game", "", "Instructions", "", "Nothing to play here."};
  t.LoadMedia = [] { EngineTest(60, 2); };
  return t;
}
