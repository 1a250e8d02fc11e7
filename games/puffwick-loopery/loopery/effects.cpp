#include "loopery/effects.h"

#include <string>

#include "core/assets.h"
#include "draw/helpers.h"
#include "loopery/board.h"
#include "loopery/media.h"
#include "platform/platform.h"

LooperyState Loopery;

void ResetLoopery() {
  // A game ended by its end counter and never taken through "Game Over" still
  // holds its last picture; images outlive a reset, so it goes now.
  plat::FreeImage(Loopery.LastPicture);
  Loopery = LooperyState{};
  Game = GameBoard{};
}

void AddPopup(int n, double x, double y, int r, int g, int b) {
  Game.GameScore += n;
  ore popup;
  popup.n = n;
  popup.x = x;
  popup.y = y;
  popup.t = kPopupFrames;
  popup.r = r;
  popup.g = g;
  popup.b = b;
  Loopery.PopupList.push_back(popup);
}

void DrawPopups() {
  plat::SetImageFont(Core.UiFonts[font::kText]);
  ResetDrawState();
  for (auto it = Loopery.PopupList.begin(); it != Loopery.PopupList.end();) {
    ore& p = *it;
    p.t -= 1;
    p.y -= 0.25;
    SetColorAlpha(p.r, p.g, p.b, static_cast<double>(p.t) / kPopupFrames);
    DrawTextAligned(static_cast<int>(p.x), static_cast<int>(p.y), std::to_string(p.n), kAlignCenter, kAlignMiddle);
    if (p.t <= 0) {
      it = Loopery.PopupList.erase(it);
    } else {
      ++it;
    }
  }
}

void MakeSmoke(double x, double y) {
  for (int i = 0; i < 8; i++) {
    ke puff;
    puff.x = x;
    puff.y = y;
    puff.size = plat::Rnd(0.75, 1.5);
    puff.alp = plat::Rnd(0.2, 0.4);
    puff.rot = plat::Rnd(0, 360);
    puff.rotgo = plat::Rnd(-0.2, 0.2);
    puff.spdx = plat::Rnd(0.5, 1.75);
    puff.spdy = plat::Rnd(-1.75, -0.5);
    Game.SmokeList.push_front(puff);
  }
}

void UpdateSmoke() {
  for (auto it = Game.SmokeList.begin(); it != Game.SmokeList.end();) {
    ke& p = *it;
    p.alp -= 0.002;
    p.x += p.spdx;
    p.y += p.spdy;
    p.rot += p.rotgo;
    p.size += 0.005;
    SetScaleXY(p.size, p.size);
    SetRotationDeg(p.rot);
    SetColorAlpha(255, 255, 255, p.alp);
    // The puff is 64 pixels square, so this centres it on (x, y).
    DrawImageCounted(Loopery.TrainImage, static_cast<int>(p.x - p.size * 32), static_cast<int>(p.y - p.size * 32), 5,
                     kBudgetMain);
    if (p.alp < 0) {
      it = Game.SmokeList.erase(it);
    } else {
      ++it;
    }
  }
  ResetDrawState();
}

void DrawBurst(double cx, double cy) {
  for (int i = 0; i < 3; i++) {
    int r = 25 * plat::Rand(9, 10);
    int g = 50 * plat::Rand(1, 5);
    int b = 50 * plat::Rand(1, 3);
    SetColorAlpha(r, g, b, 1);
    SetRotationDeg(plat::Rand(1, 360));
    double sx = plat::Rnd(0.2, 0.8);
    double sy = plat::Rnd(0.2, 0.8);
    SetScaleXY(sx, sy);
    int x = static_cast<int>(cx + plat::Rand(-16, 16));
    int y = static_cast<int>(cy + plat::Rand(-16, 16));
    DrawImageCounted(Loopery.FlashImage, x, y, 0, kBudgetMain);
  }
  ResetDrawState();
}
