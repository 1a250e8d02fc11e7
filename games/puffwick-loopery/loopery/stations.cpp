#include "loopery/stations.h"

#include <cmath>
#include <string>

#include "audio/sfx.h"
#include "draw/helpers.h"
#include "loopery/effects.h"
#include "loopery/media.h"
#include "loopery/sounds.h"
#include "loopery/train.h"
#include "platform/platform.h"

namespace {

constexpr int kPersonWorth = 100;
constexpr int kParcelWorth = 25;
constexpr int kNewCargoOdds = 500;
constexpr int kCargoSoundFrames = 6;

int& Track(int x, int y) { return Game.TrackGrid[CellIndex(x, y)]; }

void CargoSound() {
  if (Game.CargoSoundCooldown != 0) return;
  Game.CargoSoundCooldown = kCargoSoundFrames;
  PlaySfx(kSfxCargoDing, 1, 1, 0);
  PlaySfx(kSfxCargoDingHigh, 1, 1, 0);
}

// One chance in SpawnOdds that a count grows; each growth makes the next likelier.
bool Grows() { return plat::Rand(1, Game.SpawnOdds > 1 ? Game.SpawnOdds : 1) == 1; }

// A 32 by 24 bubble centred on (x, y) with a number on it.
void DrawBubble(double x, double y, int frame, int number, int shade) {
  DrawImageCounted(Loopery.BubbleImage, static_cast<int>(x - 16), static_cast<int>(y - 12), frame, kBudgetMain);
  SetColorAlpha(shade, shade, shade);
  DrawTextAligned(static_cast<int>(x), static_cast<int>(y), std::to_string(number), kAlignCenter, kAlignMiddle);
  SetColorAlpha(255, 255, 255);
}

}  // namespace

void NewStation() {
  const int maxX = Game.BoardMaxX, maxY = Game.BoardMaxY;
  if (maxX < 6 || maxY < 6) return;  // no room two cells inside such a board
  bool roomRight = false, roomBelow = false;
  int x = 0, y = 0;
  for (int attempt = 0; attempt < 100; attempt++) {
    x = plat::Rand(2, maxX - 4);
    y = plat::Rand(2, maxY - 4);
    roomRight = Track(x, y) == 0 && Track(x + 1, y) == 0;
    roomBelow = Track(x, y) == 0 && Track(x, y + 1) == 0;
    for (int dx = -2; dx <= 2; dx++) {
      for (int dy = -2; dy <= 2; dy++) {
        if (Track(x + dx, y + dy) > 0) roomRight = roomBelow = false;
      }
    }
    if (roomRight || roomBelow) break;
  }
  if (!roomRight && !roomBelow) return;

  int p = Game.StationToggle * 4 + kCollectTrackWE;
  Game.StationToggle = 1 - Game.StationToggle;
  int dx = 0, dy = 1;  // track below the building, running west-east
  bool sideways = roomRight && !roomBelow;
  if (roomRight && roomBelow && plat::Rand(1, 2) == 1) sideways = true;
  if (sideways) {
    p += 2;
    dx = 1;
    dy = 0;
  }
  const int house = CellIndex(x, y), track = CellIndex(x + dx, y + dy);
  Game.TrackGrid[house] = p - 1;
  Game.TrackGrid[track] = p;
  Game.BusyGrid[house] = kStationMarker;
  Game.BusyGrid[track] = kStationMarker;
  Game.PeopleGrid[track] = 0;
  Game.ParcelGrid[track] = 0;
}

void RunStationCountdown() {
  Game.StationCountdown--;
  if (Game.StationCountdown < 0 && plat::Rand(0, 250) == 1) {
    NewStation();
    Game.StationCountdown = Game.StationInterval;
  }
}

void StationCellWork(int x, int y) {
  const int c = CellIndex(x, y);
  const int code = Game.TrackGrid[c];
  int& people = Game.PeopleGrid[c];
  int& parcels = Game.ParcelGrid[c];
  int& overfull = Game.OverfullGrid[c];

  if (code == kCollectTrackWE || code == kCollectTrackNS) {
    if (people == 0 && plat::Rand(1, kNewCargoOdds) == 1) people = 1;
    if (parcels == 0 && plat::Rand(1, kNewCargoOdds) == 1) parcels = 1;
  } else if (code == kDeliverTrackWE || code == kDeliverTrackNS) {
    if (people == 0 && plat::Rand(1, kNewCargoOdds) == 1) people = -1;
    if (parcels == 0 && plat::Rand(1, kNewCargoOdds) == 1) parcels = -1;
  }

  if (people > -kFullCount && people < kFullCount && parcels > -kFullCount && parcels < kFullCount) overfull = 0;

  if (people == 0 && parcels == 0 && overfull <= 0) return;  // nothing to show

  SetScaleXY(1, 1);
  if (overfull > 0) SetScaleXY(plat::Rnd(0.8, 1.2), plat::Rnd(0.8, 1.2));

  const int px = x * kCellPixels, py = y * kCellPixels;
  if (people > 0) {
    DrawBubble(px - 8, py - 20, 0, people, 255);
    if (Grows() && people < kFullCount) people++, Game.SpawnOdds--;
  }
  if (parcels > 0) {
    DrawBubble(px + 40, py - 20, 1, parcels, 255);
    if (Grows() && parcels < kFullCount) parcels++, Game.SpawnOdds--;
  }
  if (people < 0) {
    DrawBubble(px - 8, py - 20, 2, -people, 0);
    if (Grows() && people >= -(kFullCount - 1)) people--, Game.SpawnOdds--;
  }
  if (parcels < 0) {
    DrawBubble(px + 40, py - 20, 3, -parcels, 0);
    if (Grows() && parcels >= -(kFullCount - 1)) parcels--, Game.SpawnOdds--;
  }

  if (overfull > kExplodeAfter) {
    DrawBurst(px - 16, py - 16);
    Game.EndCounter++;
  }
}

void ExchangeCargo(ain& t, int i, int code, int cell) {
  if (!HeadingThrough(t.ca2[i], code)) return;
  const bool collect = code == kCollectTrackWE || code == kCollectTrackNS;
  int* count = nullptr;
  int worth = 0;
  if (t.car[i] == kPeopleCar) {
    count = &Game.PeopleGrid[cell];
    worth = kPersonWorth;
  } else if (t.car[i] == kParcelCar) {
    count = &Game.ParcelGrid[cell];
    worth = kParcelWorth;
  } else {
    return;
  }
  int& full = t.Full[i];
  if (collect) {
    if (full >= kFullCount) return;
    while (*count > 0 && full < kFullCount) (*count)--, full++, Game.Money += worth;
  } else {
    if (full < 1) return;
    while (*count < 0 && full > 0) (*count)++, full--, Game.Money += worth;
  }
  // Played whenever the carriage qualifies, even with nothing to move.
  CargoSound();
}

void DrawCarriageNumbers(const ain& t, int i) {
  SetRotationDeg(0);
  const double ca = t.ca[i];
  const double px = t.cx[i] + 16 - plat::Sin(ca) * 16;
  const double py = t.cy[i] + 16 + plat::Cos(ca) * 16;
  const double ax = px - plat::Sin(ca + 45) * 32, ay = py + plat::Cos(ca + 45) * 32;
  const double bx = px + plat::Sin(ca + 45) * 32, by = py - plat::Cos(ca + 45) * 32;
  const bool people = t.car[i] == kPeopleCar;
  SetColorAlpha(255, 255, 255);
  DrawBubble(ax, ay, people ? 2 : 3, t.Full[i], 0);
  DrawBubble(bx, by, people ? 0 : 1, kFullCount - t.Full[i], 255);
  SetColorAlpha(255, 255, 255, 1);
}
