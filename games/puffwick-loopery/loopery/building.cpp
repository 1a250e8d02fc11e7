#include "loopery/building.h"

#include <cstdint>
#include <string>

#include "audio/sfx.h"
#include "core/assets.h"
#include "draw/helpers.h"
#include "loopery/board.h"
#include "loopery/effects.h"
#include "loopery/media.h"
#include "loopery/sounds.h"
#include "loopery/stations.h"
#include "platform/keycodes.h"
#include "platform/platform.h"

namespace {

constexpr int kToolCount = 7;
constexpr int kToolPitch = 34;
constexpr int kRollPerFrame = 31;
constexpr int kCostFrames = 90;
constexpr int kRunningCost = 5;

void PlacePiece(int x, int y) {
  const int c = CellIndex(x, y);
  const int tool = Game.Tool;
  const int cost = PieceCost(tool);
  bool pay = true;
  if (Game.TrackGrid[c] != tool && Game.UnderGrid[c] != tool) PlaySfx(kSfxPlacePiece, 1, 1, 0);
  if (Game.UnderGrid[c] == tool) {
    pay = false;  // putting back the piece that was there is free
    PlaySfx(kSfxSwapPiece, 1, 1, 0);
  }
  if (pay && Game.Money < cost) return;
  if (Game.TrackGrid[c] != tool) {
    Game.UnderGrid[c] = Game.TrackGrid[c];
    if (pay) {
      Game.Money -= cost;
      AddPopup(cost, x * kCellPixels + 16, y * kCellPixels - 24, 255, 0, 0);
    }
  }
  Game.TrackGrid[c] = tool;
  if (tool > kCrossing) {
    // Curves one at a time: fall back to the crossing and wait for a release.
    Game.Tool = kCrossing;
    Game.MouseLatch = true;
  }
}

}  // namespace

int PieceCost(int code) { return code >= kCurveWN && code <= kCurveSW ? 250 : 50; }

std::string FormatMoney(int value, const std::string& prefix) {
  const int64_t wide = value;
  const std::string digits = std::to_string(wide < 0 ? -wide : wide);
  std::string grouped;
  const int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; i++) {
    if (i > 0 && (n - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  // The sign goes before the prefix: "-$1,234".
  return (wide < 0 ? "-" : "") + prefix + grouped;
}

void BuildAtCell(int x, int y) {
  const int gx = x * kCellPixels, gy = y * kCellPixels;
  if (!MouseInRect(gx, gy, kCellPixels, kCellPixels)) return;
  plat::SetAlpha(0.5);
  DrawImageCounted(Loopery.TrackImage, gx, gy, Game.Tool - 1, kBudgetMain);
  DrawTextAligned(gx, gy, std::to_string(PieceCost(Game.Tool)), kAlignCenter, kAlignMiddle);
  plat::SetAlpha(1);

  const int c = CellIndex(x, y);
  if (Game.BusyGrid[c] == 0 && plat::MouseDown(plat::kMouseLeft) && !Game.MouseLatch) PlacePiece(x, y);
  if (Game.BusyGrid[c] == 0 && plat::MouseDown(plat::kMouseRight) && !Game.MouseLatch && Game.UnderGrid[c] > 0) {
    Game.MouseLatch = true;
    std::swap(Game.TrackGrid[c], Game.UnderGrid[c]);
    PlaySfx(kSfxSwapPiece, 1, 1, 0);
  }
}

void DrawToolbar() {
  ResetDrawState();
  const int row = (Game.BoardMaxY + 1) * kCellPixels;
  for (int i = 0; i < kToolCount; i++) {
    const int x = i * kToolPitch;
    if (Game.Tool == i + 1) {
      plat::SetColor(0, 180, 180);
      plat::DrawRect(x, row, 32, 32);
      plat::SetColor(255, 255, 255);
    }
    DrawImageCounted(Loopery.TrackImage, x, row, i, kBudgetMain);
    if (MouseInRect(x, row, 32, 32) && plat::MouseDown(plat::kMouseLeft)) Game.Tool = i + 1;
  }
  DrawTextAligned(Core.VirtualWidth / 2, row, "Down/Left = Collect | Up/Right = Deliver", kAlignLeft, kAlignTop);
}

void RunMoney() {
  const int gap = Game.Money - Game.ShownMoney;
  if (gap > kRollPerFrame) {
    Game.ShownMoney += kRollPerFrame;
  } else if (gap < -kRollPerFrame) {
    Game.ShownMoney -= kRollPerFrame;
  } else {
    Game.ShownMoney = Game.Money;
  }

  RunStationCountdown();

  if (++Game.Tick >= kCostFrames) {
    Game.Tick = 0;
    Game.Money -= kRunningCost;
    PlaySfx(kSfxRunningCost, 1, 1, 0);
  }
}

void DrawMoney() {
  plat::SetColor(255, 255, 255);
  DrawTextAligned(2, 2, FormatMoney(Game.ShownMoney, "$"), kAlignLeft, kAlignTop);
}
