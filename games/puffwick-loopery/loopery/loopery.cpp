#include "loopery/loopery.h"

#include "loopery/board.h"
#include "loopery/checksum.h"
#include "loopery/effects.h"
#include "loopery/game.h"
#include "loopery/media.h"

#ifndef PUFFWICK_VERSION
#error "PUFFWICK_VERSION is not defined: the build gives it the CMake project's version"
#endif

namespace {

const char* const kCredits[] = {
    "A Game by Corvell",
    "Brindlewood Community Pages",
    "",
    "Name half suggested by Ruddle",
    "and half suggested by Kobb",
    "",
    "Game",
    "Made with Quillon",
    "using Corvell's Framework",
    "",
    "Graphics",
    "Font : SVBasicManual by Strom",
    "Font : Blue Highway by Lavendry",
    "Font : Acknowledge TT by Okwell",
    "All other graphics by Corvell",
    "",
    "Sound",
    "Title Music by Corvell",
    "Sound Effects by Corvell",
    "",
    "",
    "Instructions",
    "",
    "Collect and deliver parcels",
    "and people from the stations.",
    "",
    "The numbers on the train show",
    "how empty/full your carriage is.",
    "",
    "Head in the right direction and",
    "pass through the station to",
    "drop off/pick up, and carry on.",
    "",
    "For reasons best unknown,",
    "stations will explode if they",
    "reach more than 16 people/parcels.",
    "",
    "Keep the flow of cargo moving.",
    "",
    "You'll earn money as you go,",
    "and spend money on track.",
};

}  // namespace

GameTable LooperyTable() {
  GameTable t;
  t.number = 257;
  t.titleFirst = "Puffwick";
  t.titleSecond = "Loopery";
  t.programName = "puffwick-loopery";
  t.version = PUFFWICK_VERSION;
  t.rulesVersion = kLooperyRules;
  t.credits.assign(std::begin(kCredits), std::end(kCredits));
  t.LoadMedia = LoadGameMedia;
  t.Play = RunGame;
  t.Score = [] { return Game.GameScore; };
  t.Checksum = GameChecksum;
  t.DrawPopups = DrawPopups;
  t.ResetState = ResetLoopery;
  return t;
}
