#include "loopery/train.h"

#include <cmath>

#include "audio/sfx.h"
#include "draw/helpers.h"
#include "loopery/effects.h"
#include "loopery/media.h"
#include "loopery/sounds.h"
#include "loopery/stations.h"
#include "platform/keycodes.h"
#include "platform/platform.h"

namespace {

constexpr double kNormalSpeed = 1.0;
constexpr double kFastSpeed = 2.4;
constexpr double kOnCellSlack = 2.5;  // pixels past a grid point that still count as on it

bool IsStationTrack(int code) {
  return code == kCollectTrackWE || code == kCollectTrackNS || code == kDeliverTrackWE || code == kDeliverTrackNS;
}

// Applies the piece's passing rule; returns blocked. Turning pieces change ca2
// (and ca for the short way round between north and the new direction).
bool PassingRule(int code, double& ca, double& ca2, bool& turned) {
  switch (code) {
    case kStraightWE: return !(ca2 == 90 || ca2 == 270);
    case kStraightNS: return !(ca2 == 0 || ca2 == 360 || ca2 == 180);
    case kCrossing: return false;
    case kCurveWN:
      if (ca2 == 90) ca2 = 0, turned = true;
      if (ca2 == 180) ca2 = 270, turned = true;
      return true;
    case kCurveNE:
      if (ca2 == 180) ca2 = 90, turned = true;
      if (ca2 == 270) ca2 = 360, turned = true;
      return true;
    case kCurveSE:
      if (ca2 == 270) ca2 = 180, turned = true;
      if (ca2 == 0) ca2 = 90, turned = true;
      if (ca2 == 360) ca -= 360, ca2 = 90, turned = true;
      return true;
    case kCurveSW:
      if (ca2 == 0) ca += 360, ca2 = 270, turned = true;
      if (ca2 == 360) ca2 = 270, turned = true;
      if (ca2 == 90) ca2 = 180, turned = true;
      return true;
    case kCollectTrackWE:
    case kCollectTrackNS:
    case kDeliverTrackWE:
    case kDeliverTrackNS: return !HeadingThrough(ca2, code);
    default: return true;
  }
}

// The work of car i when it has reached a cell: the busy timer, the passing rule,
// the station work and the crash test.
void CarOnCell(ain& t, int i, int tx, int ty) {
  // Leaving the board is a crash like running onto a cell that cannot be passed.
  if (tx < 0 || ty < 0 || tx > Game.BoardMaxX || ty > Game.BoardMaxY) {
    t.dead = 1;
    return;
  }
  const int cell = CellIndex(tx, ty);
  Game.BusyGrid[cell] = t.spd > 0 ? static_cast<int>(64 / t.spd) : 64;
  const int code = Game.TrackGrid[cell];
  bool turned = false;
  bool blocked = PassingRule(code, t.ca[i], t.ca2[i], turned);
  if (IsStationTrack(code)) {
    ExchangeCargo(t, i, code, cell);
    if (t.car[i] == kEngine && HeadingThrough(t.ca2[i], code)) {
      bool collect = code == kCollectTrackWE || code == kCollectTrackNS;
      PlaySfx(collect ? kSfxCollect : kSfxDeliver, 1, 1, 0);
    }
  }
  if (turned) {
    blocked = false;
    t.cx[i] = tx * kCellPixels;
    t.cy[i] = ty * kCellPixels;
    t.turnedAt[i] = cell + 1;
    t.heldAt[i] = 0;
  }
  // A car still swinging round from its last turn is given the next frames; on a
  // cell other than the curve it turned on, it crashes if it is about to leave it.
  if (blocked && t.ca2[i] == t.ca[i]) t.dead = 1;
  if (blocked && t.ca2[i] != t.ca[i] && t.turnedAt[i] != cell + 1) t.heldAt[i] = cell + 1;
}

// Whether a car at (x, y) counts as on a cell, and which one.
bool OnCell(double x, double y, int& tx, int& ty) {
  // Cells are found by flooring so that a car left or above the board is outside it.
  const double fx = std::floor(x / kCellPixels);
  const double fy = std::floor(y / kCellPixels);
  if (x - fx * kCellPixels >= kOnCellSlack || y - fy * kCellPixels >= kOnCellSlack) return false;
  // Far-off cells all count as outside; keep the numbers inside int.
  tx = fx < -1 ? -1 : fx > kBoardCells ? kBoardCells : static_cast<int>(fx);
  ty = fy < -1 ? -1 : fy > kBoardCells ? kBoardCells : static_cast<int>(fy);
  return true;
}

// A car held on a cell it cannot pass crashes there rather than move off it: at
// speed the heading of a right turn is still swinging when the next cell comes.
bool LeavesTheCellItIsHeldOn(const ain& t, int i) {
  if (t.heldAt[i] == 0 || Game.EndCounter != 0) return false;
  int tx = 0, ty = 0;
  const bool on = OnCell(t.cx[i] + plat::Sin(t.ca2[i]) * t.spd, t.cy[i] - plat::Cos(t.ca2[i]) * t.spd, tx, ty);
  return !on || tx < 0 || ty < 0 || tx >= kBoardCells || ty >= kBoardCells || CellIndex(tx, ty) + 1 != t.heldAt[i];
}

void DrawCar(const ain& t, int i) {
  const double ca = t.ca[i];
  SetRotationDeg(ca);
  SetScaleXY(1, 1);
  if (t.car[i] > 0) {
    int x = static_cast<int>(t.cx[i] - 16 - plat::Sin(ca) * 16);
    int y = static_cast<int>(t.cy[i] - 16 + plat::Cos(ca) * 16);
    DrawImageCounted(Loopery.TrainImage, x, y, t.car[i] - 1, kBudgetGlow);
  }
  if (t.car[i] == kPeopleCar || t.car[i] == kParcelCar) DrawCarriageNumbers(t, i);
}

void UpdateTrain(ain& t) {
  t.spd = kNormalSpeed;
  if (plat::KeyDown(plat::kKeySpace)) t.spd = kFastSpeed;
  if (t.dead == 1) t.spd = 0;
  const int last = t.cars < kMaxCars ? t.cars : kMaxCars - 1;
  for (int i = 1; i <= last; i++) {
    if (LeavesTheCellItIsHeldOn(t, i)) {
      t.dead = 1;
    } else {
      t.cx[i] += plat::Sin(t.ca2[i]) * t.spd;
      t.cy[i] -= plat::Cos(t.ca2[i]) * t.spd;
    }
    t.heldAt[i] = 0;

    // Toward smaller angles at 8 a frame, toward larger at 4, snapping when close.
    if (std::fabs(t.ca2[i] - t.ca[i]) < 4) t.ca[i] = t.ca2[i];
    if (t.ca2[i] < t.ca[i]) t.ca[i] -= 8;
    if (t.ca2[i] > t.ca[i]) t.ca[i] += 4;

    const int moneyBefore = Game.Money;
    int tx = 0, ty = 0;
    if (OnCell(t.cx[i], t.cy[i], tx, ty) && Game.EndCounter == 0) CarOnCell(t, i, tx, ty);

    DrawCar(t, i);
    ResetDrawState();

    if (i == 1 && Game.Tick == 0) MakeSmoke(t.cx[i] + 16, t.cy[i] + 16);
    if (t.dead == 1) DrawBurst(t.cx[i] - 16, t.cy[i] - 16);
    if (Game.Money > moneyBefore) {
      AddPopup(Game.Money - moneyBefore, static_cast<int>(t.cx[i] + 16), static_cast<int>(t.cy[i] - 64), 180, 255,
               180);
    }
  }
  if (t.dead == 1) Game.EndCounter++;
}

}  // namespace

int StationPassDirection(int code) {
  switch (code) {
    case kCollectTrackWE: return 270;
    case kCollectTrackNS: return 180;
    case kDeliverTrackWE: return 90;
    case kDeliverTrackNS: return 0;
    default: return -1;
  }
}

bool HeadingThrough(double ca2, int code) {
  int dir = StationPassDirection(code);
  if (dir < 0) return false;
  if (dir == 0) return ca2 == 0 || ca2 == 360;
  return ca2 == dir;
}

ain StartingTrain() {
  ain t;
  t.cars = 4;
  const int types[] = {kEngine, kTender, kPeopleCar, kParcelCar};
  for (int i = 1; i <= 4; i++) {
    t.car[i] = types[i - 1];
    t.cx[i] = 800;
    t.cy[i] = 416 + 64 * (i - 1);
  }
  return t;
}

void UpdateTrains() {
  for (ain& t : Game.TrainList) UpdateTrain(t);
}
