#include "dash/dash.h"

#include "dash/checksum.h"
#include "dash/game.h"
#include "dash/media.h"
#include "dash/state.h"

#ifndef PUFFWICK_VERSION
#error "PUFFWICK_VERSION is not defined: the build gives it the CMake project's version"
#endif

namespace {

constexpr int kGameNumber = 258;

const char* const kCredits[] = {
    "A Game by Corvell",
    "Brindlewood Community Pages",
    "",
    "Game",
    "Made with the Brindlewood Engine",
    "",
    "Graphics, Sound and Music",
    "by Corvell",
    "",
    "",
    "Instructions",
    "",
    "Parcels and people are falling",
    "from the rooftops!",
    "",
    "Move the cart with the mouse,",
    "or with Left and Right.",
    "",
    "Catch a parcel: $25",
    "Catch a person: $100",
    "",
    "A person you miss costs a life.",
    "You have three lives.",
    "",
    "Earn what you can in 60 seconds.",
};

// Back to a fresh program's state, for a run of several programs' worth of tests
// in one process.
void ResetDash() {
  Dash = DashState{};
  DashMedia = DashImages{};
}

}  // namespace

GameTable DashTable() {
  GameTable t;
  t.number = kGameNumber;
  t.titleFirst = "Parcel";
  t.titleSecond = "Dash";
  t.programName = "parcel-dash";
  t.version = PUFFWICK_VERSION;
  t.credits.assign(std::begin(kCredits), std::end(kCredits));
  t.difficultyNames[0] = "Easy";
  t.difficultyNames[1] = "Medium";
  t.difficultyNames[2] = "Hard";
  t.LoadMedia = LoadGameMedia;
  t.Play = RunGame;
  t.Score = [] { return Dash.GameScore; };
  t.Checksum = GameChecksum;
  t.DrawPopups = DrawPopups;
  t.ResetState = ResetDash;
  return t;
}
