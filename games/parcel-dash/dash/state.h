// The state of one game of Parcel Dash, with the rules' named numbers. Every
// position is in field units: the 800x600 of the backdrop, scaled to the
// drawing area when drawn, so that a game plays the same on every display.
#pragma once

#include <vector>

constexpr int kFieldWidth = 800;
constexpr int kFieldHeight = 600;

constexpr int kFramesPerSecond = 60;
constexpr int kPlaySeconds = 60;
constexpr int kPlayFrames = kPlaySeconds * kFramesPerSecond;
constexpr int kStartingLives = 3;

// Money for a catch.
constexpr int kPersonValue = 100;
constexpr int kParcelValue = 25;

// The cart: 96x48, standing on the backdrop's rail (its top at row 564).
constexpr int kCartWidth = 96;
constexpr int kCartHeight = 48;
constexpr int kRailTop = 564;
constexpr int kCartTop = kRailTop - kCartHeight;  // 516
constexpr int kCartBed = kCartTop + 14;           // where cargo lands on the flatbed
constexpr int kCartKeySpeed = 9;                  // field units a frame while Left or Right is held
constexpr int kCartMinX = kCartWidth / 2;         // the cart's centre stays on the field
constexpr int kCartMaxX = kFieldWidth - kCartWidth / 2;

// The cargo: 48x48 cells. What lands with its centre within this of the cart's
// centre is caught.
constexpr int kCargoSize = 48;
constexpr int kCatchReach = kCartWidth / 2 + 6;
constexpr int kSpawnMargin = 16;  // kept clear of the field's sides
constexpr int kLookFrames = 15;   // each look of the cargo shows this long

// What falls.
enum CargoKind { kCargoParcel = 0, kCargoPerson = 1 };
// Cells of cargo.png: the kind's first look, then its second kCargoLooks later.
constexpr int kCargoLooks = 2;
constexpr int CargoFrame(int kind, int age) { return kind + kCargoLooks * ((age / kLookFrames) % 2); }

// Falling speed and spawning per difficulty (0 Easy, 1 Medium, 2 Hard).
struct DifficultyRules {
  double fallSpeed;     // field units a frame, before each piece's own variation
  int spawnInterval;    // frames between two pieces, on average
  int personPercent;    // share of people among the pieces
};
constexpr DifficultyRules kRules[3] = {
    {3.0, 50, 35},
    {4.0, 38, 40},
    {5.2, 28, 45},
};
constexpr double kSpeedSpreadLow = 0.85;  // each piece falls at base speed times a factor in this range
constexpr double kSpeedSpreadHigh = 1.15;

// How a game ended (QuitFlag); kPauseQuit (frame.h) for a quit from the pause menu.
constexpr int kPlaying = 0;
constexpr int kEndTimeUp = 1;
constexpr int kEndNoLives = 2;

constexpr int kPopupFrames = 60;  // a "+100" rises and fades this long
constexpr double kPopupRise = 0.8;

// A piece of cargo on its way down.
struct Cargo {
  int kind = kCargoParcel;
  double x = 0;      // centre
  double y = 0;      // top
  double speed = 0;  // field units a frame
  int age = 0;       // frames since it appeared
};

// A caught piece's money, rising from where it landed.
struct Popup {
  int amount = 0;
  double x = 0, y = 0;  // centre of the text, field units
  int framesLeft = 0;
};

// A new field here, in Cargo or in Popup stops the build until the replay
// checksum (checksum.cpp) covers it or lists it as left out.
struct DashState {
  double CartX = kFieldWidth / 2.0;  // centre of the cart
  int PointerX = 0;                  // the pointer's x (virtual pixels) as last seen
  bool AtEdge = false;               // the cart was against a side last frame
  int Frame = 0;                     // frames played
  int SpawnCountdown = 0;            // frames until the next piece
  int Lives = kStartingLives;
  int Money = 0;
  int PeopleCaught = 0;
  int ParcelsCaught = 0;
  int PeopleMissed = 0;
  int ParcelsMissed = 0;
  int QuitFlag = kPlaying;
  int GameScore = 0;
  std::vector<Cargo> Falling;
  std::vector<Popup> Popups;
};

// The game being played (or the last one).
extern DashState Dash;
