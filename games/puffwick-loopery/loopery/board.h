// The state of one game: the board's six grids, the per-game variables and the
// train and smoke lists, kept together in one record that every game setup
// replaces with a fresh value.
#pragma once

#include <array>
#include <list>
#include <string>

#include "platform/platform.h"

constexpr int kBoardCells = 50;  // columns and rows of every grid
constexpr int kCellPixels = 32;
constexpr int kMaxCars = 100;    // car slots of a train; slot 0 is unused

// Cell (x, y) of a grid.
constexpr int CellIndex(int x, int y) { return y * kBoardCells + x; }

using Grid = std::array<int, kBoardCells * kBoardCells>;

// Piece codes of TrackGrid.
enum PieceCode {
  kEmpty = 0,
  kStraightWE = 1,
  kStraightNS = 2,
  kCrossing = 3,
  kCurveWN = 4,
  kCurveNE = 5,
  kCurveSE = 6,
  kCurveSW = 7,
  kCollectHouseAbove = 8,
  kCollectTrackWE = 9,   // westward only
  kCollectHouseLeft = 10,
  kCollectTrackNS = 11,  // southward only
  kDeliverHouseAbove = 12,
  kDeliverTrackWE = 13,  // eastward only
  kDeliverHouseLeft = 14,
  kDeliverTrackNS = 15,  // northward only
};

// Car types.
enum CarType { kNoCar = 0, kEngine = 1, kTender = 2, kPeopleCar = 3, kParcelCar = 4 };

constexpr int kStationMarker = -1;  // BusyGrid of a station cell: never buildable
constexpr int kFullCount = 16;      // cargo that fills a station or a carriage
constexpr int kExplodeAfter = 240;  // frames a station may stay full

// A train. Every car moves on its own along the track; the carriages follow the
// engine because they turn on the same cells.
struct ain {
  double x = 0, y = 0;  // not used by the game
  double spd = 0.5;     // pixels every car moves this frame
  int dead = 0;         // 1 once crashed
  int cars = 0;
  std::array<int, kMaxCars> car{};      // CarType
  std::array<double, kMaxCars> cx{};    // grid point of the cell the car has reached
  std::array<double, kMaxCars> cy{};
  std::array<double, kMaxCars> ca{};    // drawn heading, degrees
  std::array<double, kMaxCars> ca2{};   // travel direction: 0/360 N, 90 E, 180 S, 270 W
  std::array<int, kMaxCars> Full{};     // cargo aboard a carriage, 0..16
  // Cells as index + 1 (0 none): where the car last turned, and a cell it reached
  // that it cannot pass while its heading was still swinging round from a turn.
  // It may linger on the first; leaving the second is a crash.
  std::array<int, kMaxCars> turnedAt{};
  std::array<int, kMaxCars> heldAt{};
};

// A puff of engine smoke.
struct ke {
  double x = 0, y = 0, rot = 0, rotgo = 0, spdx = 0, spdy = 0, size = 0, alp = 0;
};

// A new field here, in ain or in ke stops the build until the replay checksum
// (checksum.cpp) covers it or lists it as left out.
struct GameBoard {
  Grid TrackGrid{};     // piece codes
  Grid UnderGrid{};     // the piece the last placement replaced (right-button swap)
  Grid BusyGrid{};      // > 0 frames a car still holds the cell; -1 a station cell
  Grid PeopleGrid{};    // station cargo: > 0 waiting, < 0 wanted
  Grid ParcelGrid{};
  Grid OverfullGrid{};  // frames a station cell has been full

  int Money = 0;
  int ShownMoney = 4000;  // rolls toward Money by 31 a frame
  int SpawnOdds = 0;      // one-in-N growth chance per station count and frame
  int StationCountdown = 1200;
  int StationInterval = 0;
  int StationToggle = 0;  // 0: the next new station collects, 1: it delivers
  int EndCounter = 0;     // > 0 once something exploded or crashed
  int Tick = 0;           // 0..89, the running cost's frame counter
  int Tool = 1;           // selected piece code
  bool MouseLatch = true;  // no placing or swapping until both buttons are up
  int CargoSoundCooldown = 0;
  int QuitFlag = 0;        // 1 game over, kPauseQuit (frame.h) quit from the pause menu
  plat::Channel EngineChannel = 0;
  int GameScore = 0;
  int BadgeBits = 0;
  std::array<int, 31> BestValues{};
  int LevelValue = 0;      // this game has no levels or flags: always 0
  int GameFlagsValue = 0;
  int BoardMaxX = 39;      // last column and row in play
  int BoardMaxY = 28;

  std::list<ain> TrainList;
  std::list<ke> SmokeList;  // newest first
};

// The game being played (or the last one).
extern GameBoard Game;

// Makes sized font (family, size) current; out-of-range values fall back to 1 and 0.
void SelectFont(int family, int size);
// 50 for straights and the crossing, 250 for curves.
int PieceCost(int code);
// "$4,000"; negative amounts as "-$1,234".
std::string FormatMoney(int value, const std::string& prefix);
// Last column and row in play on a drawing area of w by h pixels.
void BoardLimits(int w, int h, int& maxX, int& maxY);
