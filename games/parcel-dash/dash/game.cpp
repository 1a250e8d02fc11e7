#include "dash/game.h"

#include <algorithm>
#include <cmath>

#include "audio/music.h"
#include "audio/sfx.h"
#include "config/input.h"
#include "core/assets.h"
#include "core/state.h"
#include "dash/media.h"
#include "dash/sounds.h"
#include "dash/state.h"
#include "draw/helpers.h"
#include "frame/frame.h"
#include "platform/keycodes.h"
#include "platform/platform.h"
#include "platform/record/replay.h"
#include "scores/game_over.h"

DashState Dash;

namespace {

constexpr int kPlayer = 1;

// The heads-up display, in field units.
constexpr int kTimeBarX = 200, kTimeBarY = 14, kTimeBarWidth = 400, kTimeBarHeight = 12;
constexpr int kMoneyX = 16, kMoneyY = 8;
constexpr int kLivesRight = kFieldWidth - 12, kLivesY = 10, kLifeSpacing = 28;

double ScaleX() { return static_cast<double>(Core.VirtualWidth) / kFieldWidth; }
double ScaleY() { return static_cast<double>(Core.VirtualHeight) / kFieldHeight; }

// An image at field position (x, y), scaled with the field.
void DrawAt(plat::Image image, double x, double y, int frame = 0) {
  SetScaleXY(ScaleX(), ScaleY());
  plat::DrawImage(image, x * ScaleX(), y * ScaleY(), frame);
  SetScaleXY(1, 1);
}

void FieldRect(double x, double y, double w, double h) {
  plat::DrawRect(x * ScaleX(), y * ScaleY(), w * ScaleX(), h * ScaleY());
}

void Pay(int amount, double x) {
  Dash.Money += amount;
  Dash.Popups.push_back(Popup{amount, x, static_cast<double>(kCartTop), kPopupFrames});
}

void MoveCart() {
  // The pointer leads while it moves; otherwise the keys do.
  if (Core.MouseState.x != Dash.PointerX) {
    Dash.PointerX = Core.MouseState.x;
    Dash.CartX = Core.MouseState.x / ScaleX();
  } else {
    const bool left = ActionDown(kActionLeft, kPlayer) || plat::KeyDown(plat::kKeyLeft);
    const bool right = ActionDown(kActionRight, kPlayer) || plat::KeyDown(plat::kKeyRight);
    if (left && !right) Dash.CartX -= kCartKeySpeed;
    if (right && !left) Dash.CartX += kCartKeySpeed;
  }
  Dash.CartX = std::clamp(Dash.CartX, static_cast<double>(kCartMinX), static_cast<double>(kCartMaxX));
  const bool atEdge = Dash.CartX <= kCartMinX || Dash.CartX >= kCartMaxX;
  if (atEdge && !Dash.AtEdge) PlaySfx(kSfxEdge, 1, 0.6, Dash.CartX <= kCartMinX ? -1 : 1);
  Dash.AtEdge = atEdge;
}

void SpawnCargo() {
  if (--Dash.SpawnCountdown > 0) return;
  const DifficultyRules& r = kRules[Core.Difficulty];
  Cargo c;
  c.kind = plat::Rand(1, 100) <= r.personPercent ? kCargoPerson : kCargoParcel;
  c.x = plat::Rand(kSpawnMargin + kCargoSize / 2, kFieldWidth - kSpawnMargin - kCargoSize / 2);
  c.y = -kCargoSize;
  c.speed = r.fallSpeed * plat::Rnd(kSpeedSpreadLow, kSpeedSpreadHigh);
  Dash.Falling.push_back(c);
  Dash.SpawnCountdown = r.spawnInterval + plat::Rand(-r.spawnInterval / 4, r.spawnInterval / 4);
}

// Pan -1..1 for a field x.
double PanAt(double x) { return (x / kFieldWidth) * 2 - 1; }

// Moves every piece down; a piece reaching the bed over the cart is caught, one
// below the rail is missed. False when it leaves the field.
bool FallOne(Cargo& c) {
  const double bottomBefore = c.y + kCargoSize;
  c.y += c.speed;
  c.age++;
  const double bottom = c.y + kCargoSize;
  if (bottomBefore <= kCartBed && bottom > kCartBed && std::abs(c.x - Dash.CartX) <= kCatchReach) {
    if (c.kind == kCargoPerson) {
      Dash.PeopleCaught++;
      Pay(kPersonValue, c.x);
      PlaySfx(kSfxPersonCaught, 1, 1, PanAt(c.x));
    } else {
      Dash.ParcelsCaught++;
      Pay(kParcelValue, c.x);
      PlaySfx(kSfxParcelCaught, 1, 1, PanAt(c.x));
    }
    return false;
  }
  if (c.y < kRailTop) return true;
  if (c.kind == kCargoPerson) {
    Dash.PeopleMissed++;
    Dash.Lives--;
    PlaySfx(kSfxPersonMissed, 1, 1, PanAt(c.x));
  } else {
    Dash.ParcelsMissed++;
  }
  return false;
}

void AgePopups() {
  for (Popup& p : Dash.Popups) {
    p.y -= kPopupRise;
    p.framesLeft--;
  }
  std::erase_if(Dash.Popups, [](const Popup& p) { return p.framesLeft <= 0; });
}

void DrawTimeBar() {
  const double left = 1.0 - static_cast<double>(Dash.Frame) / kPlayFrames;
  ResetDrawState();
  SetColorAlpha(0, 0, 0, 0.5);
  FieldRect(kTimeBarX - 2, kTimeBarY - 2, kTimeBarWidth + 4, kTimeBarHeight + 4);
  // Green to red as the minute runs out.
  SetColorAlpha(255 * (1 - left), 200 * left + 40, 60, 1);
  FieldRect(kTimeBarX, kTimeBarY, kTimeBarWidth * std::max(0.0, left), kTimeBarHeight);
  ResetDrawState();
}

void DrawHud() {
  ResetDrawState();
  plat::SetImageFont(Core.UiFonts[font::kMenu]);
  SetColorAlpha(255, 230, 120, 1);
  DrawTextAligned(static_cast<int>(kMoneyX * ScaleX()), static_cast<int>(kMoneyY * ScaleY()),
                  FormatMoney(Dash.Money), kAlignLeft, kAlignTop);
  ResetDrawState();
  for (int i = 0; i < Dash.Lives; i++) {
    DrawAt(DashMedia.Life, kLivesRight - kLifeSpacing * (i + 1), kLivesY);
  }
  DrawTimeBar();
}

// The field with "Game Over" over it, as a screen of its own so that EndFrame
// goes on (music clock, overlays, messages): for two seconds, or until a key or
// click pressed after it appeared.
}  // namespace

std::string FormatMoney(int amount) {
  std::string digits = std::to_string(amount < 0 ? -amount : amount);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ",");
  return (amount < 0 ? "-$" : "$") + digits;
}

void SetupGame() {
  Dash = DashState{};
  plat::SeedRnd(plat::LogicMillisecs());
  Dash.PointerX = Core.MouseState.x;
  Dash.SpawnCountdown = kRules[Core.Difficulty].spawnInterval / 2;
}

void StepGame() {
  MoveCart();
  SpawnCargo();
  std::erase_if(Dash.Falling, [](Cargo& c) { return !FallOne(c); });
  AgePopups();
  Dash.Frame++;
  Dash.GameScore = Dash.Money;
  if (Dash.Lives <= 0) {
    Dash.QuitFlag = kEndNoLives;
  } else if (Dash.Frame >= kPlayFrames) {
    Dash.QuitFlag = kEndTimeUp;
  }
  if (Dash.QuitFlag != kPlaying) PlaySfx(kSfxGameOver, 1, 1, 0);
}

void DrawScene() {
  ResetDrawState();
  DrawAt(DashMedia.Backdrop, 0, 0);
  for (const Cargo& c : Dash.Falling) DrawAt(DashMedia.Cargo, c.x - kCargoSize / 2.0, c.y, CargoFrame(c.kind, c.age));
  DrawAt(DashMedia.Cart, Dash.CartX - kCartWidth / 2.0, kCartTop);
  DrawHud();
}

void DrawPopups() {
  if (Core.GameState != kStatePlaying) return;
  plat::SetImageFont(Core.UiFonts[font::kText]);
  for (const Popup& p : Dash.Popups) {
    ResetDrawState();
    SetColorAlpha(255, 255, p.amount >= kPersonValue ? 120 : 255, static_cast<double>(p.framesLeft) / kPopupFrames);
    DrawTextAligned(static_cast<int>(p.x * ScaleX()), static_cast<int>(p.y * ScaleY()),
                    "+" + std::to_string(p.amount), kAlignCenter, kAlignBottom);
  }
  ResetDrawState();
}

bool GameFrame() {
  BeginFrameDrawing(1);
  StepGame();
  DrawScene();
  const int paused = EndFrame(Core.ControlMode);
  if (paused == kPauseQuit && Dash.QuitFlag == kPlaying) Dash.QuitFlag = kPauseQuit;
  // A pause took the engine's picture for its quit; this game draws its own.
  plat::FreeImage(Frame.QuitPicture);
  Frame.QuitPicture = 0;
  return Dash.QuitFlag == kPlaying;
}

void GameOverSequence() {
  Scores record;
  record.Score = Dash.GameScore;
  record.Quit = Dash.QuitFlag == kPauseQuit ? 1 : 0;
  FinishGame(DrawScene, record);
}

void RunGame() {
  // The music draws on the random generator the game's replay depends on.
  StopSong();
  SetupGame();
  while (GameFrame()) {
  }
  GameOverSequence();
  StartTitleMusic();
}
