#include "loopery/game.h"

#include "loopery/loopery_state.h"

#include "audio/sfx.h"
#include "core/assets.h"
#include "core/state.h"
#include "draw/helpers.h"
#include "frame/frame.h"
#include "loopery/board.h"
#include "loopery/building.h"
#include "loopery/effects.h"
#include "loopery/media.h"
#include "loopery/sounds.h"
#include "loopery/stations.h"
#include "loopery/train.h"
#include "platform/keycodes.h"
#include "platform/platform.h"
#include "platform/record/replay.h"
#include "scores/game_over.h"

GameBoard Game;

namespace {

constexpr int kEndAfter = 120;

// Both cells of a station, building and track.
bool IsStationCell(int code) { return code >= kCollectHouseAbove && code <= kDeliverTrackNS; }

void LayStartingLoop() {
  for (int x = 15; x <= 25; x++) {
    Game.TrackGrid[CellIndex(x, 10)] = kStraightWE;
    Game.TrackGrid[CellIndex(x, 20)] = kStraightWE;
  }
  for (int y = 11; y <= 19; y++) {
    Game.TrackGrid[CellIndex(15, y)] = kStraightNS;
    Game.TrackGrid[CellIndex(25, y)] = kStraightNS;
  }
  Game.TrackGrid[CellIndex(15, 10)] = kCurveSE;
  Game.TrackGrid[CellIndex(25, 10)] = kCurveSW;
  Game.TrackGrid[CellIndex(15, 20)] = kCurveNE;
  Game.TrackGrid[CellIndex(25, 20)] = kCurveWN;
}

void PlaceStartingStation(int x, int y, int house, int track, int people, int parcels) {
  Game.TrackGrid[CellIndex(x, y)] = house;
  Game.TrackGrid[CellIndex(x, y + 1)] = track;
  Game.BusyGrid[CellIndex(x, y)] = kStationMarker;
  Game.BusyGrid[CellIndex(x, y + 1)] = kStationMarker;
  Game.PeopleGrid[CellIndex(x, y + 1)] = people;
  Game.ParcelGrid[CellIndex(x, y + 1)] = parcels;
}

void DrawBackground() {
  ResetDrawState();
  DrawDiagonalBands(30, 0.25, [](double green) { SetColorAlpha(0, green, 0); });
  ResetDrawState();
}

bool FullCount(int c) {
  return Game.PeopleGrid[c] == kFullCount || Game.PeopleGrid[c] == -kFullCount ||
         Game.ParcelGrid[c] == kFullCount || Game.ParcelGrid[c] == -kFullCount;
}

void DrawCell(int x, int y) {
  const int c = CellIndex(x, y);
  const int busyLook = Game.BusyGrid[c] > 0 ? 200 : 0;
  const int gx = x * kCellPixels, gy = y * kCellPixels;
  if (Game.UnderGrid[c] > 0) {
    SetColorAlpha(150, 150, 150, 1);
    DrawImageCounted(Loopery.TrackImage, gx, gy, Game.UnderGrid[c] - 1 + busyLook, kBudgetMain);
  }
  if (Game.TrackGrid[c] > 0) {
    SetScaleXY(1, 1);
    bool shake = false;
    if (FullCount(c)) {
      shake = true;
      Game.OverfullGrid[c]++;
    }
    // A station building shakes with its full track beside or below it.
    if ((x + 1 < kBoardCells && FullCount(CellIndex(x + 1, y))) || (x > 0 && FullCount(CellIndex(x - 1, y))) ||
        (y + 1 < kBoardCells && FullCount(CellIndex(x, y + 1))) || (y > 0 && FullCount(CellIndex(x, y - 1)))) {
      shake = true;
    }
    if (shake) SetScaleXY(plat::Rnd(0.8, 1.2), plat::Rnd(0.8, 1.2));
    SetColorAlpha(255, 255, 255, 1);
    DrawImageCounted(Loopery.TrackImage, gx, gy, Game.TrackGrid[c] - 1 + busyLook, kBudgetMain);
  }
}

void BoardPass1() {
  for (int x = 0; x <= Game.BoardMaxX; x++) {
    for (int y = 0; y <= Game.BoardMaxY; y++) {
      DrawCell(x, y);
      BuildAtCell(x, y);
      int& busy = Game.BusyGrid[CellIndex(x, y)];
      if (busy > 0) {
        busy--;
        // A station cell a car has been on goes back to its marker, so it can never be built over.
        if (busy == 0 && IsStationCell(Game.TrackGrid[CellIndex(x, y)])) busy = kStationMarker;
      }
    }
  }
  ResetDrawState();
}

void BoardPass2() {
  for (int x = 0; x <= Game.BoardMaxX; x++) {
    for (int y = 0; y <= Game.BoardMaxY; y++) StationCellWork(x, y);
  }
  ResetDrawState();
}

// Copies the frame drawn so far (without EndFrame's overlays, which go on being
// drawn over it) from the back buffer.
void KeepLastPicture() {
  plat::FreeImage(Loopery.LastPicture);
  Loopery.LastPicture = plat::CreateImage(plat::GraphicsWidth(), plat::GraphicsHeight(), 1);
  if (!Loopery.LastPicture) return;
  plat::SetImageHandle(Loopery.LastPicture, 0, 0);
  plat::GrabImage(Loopery.LastPicture, 0, 0);
}

void FreeLastPicture() {
  plat::FreeImage(Loopery.LastPicture);
  Loopery.LastPicture = 0;
}

void DrawLastPicture() {
  ResetDrawState();
  const int w = plat::ImageWidth(Loopery.LastPicture), h = plat::ImageHeight(Loopery.LastPicture);
  if (w > 0 && h > 0) {
    SetScaleXY(static_cast<double>(Core.VirtualWidth) / w, static_cast<double>(Core.VirtualHeight) / h);
    plat::DrawImage(Loopery.LastPicture, 0, 0);
  }
  ResetDrawState();
}

}  // namespace

void SelectFont(int family, int size) {
  if (family < 1 || family > 3) family = 1;
  if (size < 0 || size > 8) size = 0;
  plat::SetImageFont(Core.SizedFonts[(family - 1) * 10 + size]);
}

void BoardLimits(int w, int h, int& maxX, int& maxY) {
  maxX = w / kCellPixels - 1;
  maxY = h / kCellPixels - 2;
  if (maxX > kBoardCells - 1) maxX = kBoardCells - 1;
  if (maxY > kBoardCells - 2) maxY = kBoardCells - 2;
}

void SetupGame() {
  // Score, lists, grids and every per-game value start afresh.
  Game = GameBoard{};
  plat::SeedRnd(plat::LogicMillisecs());
  Game.TrainList.push_back(StartingTrain());
  LayStartingLoop();
  BoardLimits(Core.VirtualWidth, Core.VirtualHeight, Game.BoardMaxX, Game.BoardMaxY);
  PlaceStartingStation(20, 9, kCollectHouseAbove, kCollectTrackWE, 4, 2);
  PlaceStartingStation(20, 19, kDeliverHouseAbove, kDeliverTrackWE, -4, -2);
  switch (Core.Difficulty) {
    case 0: Game.Money = 4000, Game.SpawnOdds = 1100, Game.StationInterval = 2600; break;
    case 2: Game.Money = 1000, Game.SpawnOdds = 500, Game.StationInterval = 1800; break;
    default: Game.Money = 2000, Game.SpawnOdds = 750, Game.StationInterval = 2200; break;
  }
  Game.EngineChannel = plat::AllocChannel();
}

void DrawGameFrame() {
  BeginFrameDrawing(1);
  // Without a channel PlaySound would take a fresh one every frame.
  if (Game.EngineChannel) {
    // The running sound is as loud as any effect, and follows the settings panel
    // when its sliders move during the game.
    const bool start = !plat::ChannelPlaying(Game.EngineChannel);
    if (start) plat::CueSound(Audio.SoundEffects[kSfxEngine], Game.EngineChannel);
    plat::SetChannelVolume(Game.EngineChannel, EffectVolume());
    if (start) plat::SetChannelPaused(Game.EngineChannel, false);
  }
  DrawBackground();
  if (!plat::MouseDown(plat::kMouseLeft) && !plat::MouseDown(plat::kMouseRight)) Game.MouseLatch = false;
  BoardPass1();
  SelectFont(2, 3);
  BoardPass2();
  if (Game.SpawnOdds < 100) Game.SpawnOdds = 100;
  DrawToolbar();
  UpdateTrains();
  if (Game.CargoSoundCooldown > 0) Game.CargoSoundCooldown--;
  UpdateSmoke();
  RunMoney();
  SelectFont(2, 4);
  DrawMoney();
}

bool FinishGameFrame(int endFrameResult) {
  if (endFrameResult == kPauseQuit) Game.QuitFlag = kPauseQuit;
  if (Game.EndCounter > kEndAfter) Game.QuitFlag = 1;
  Game.GameScore = Game.Money;
  if (Game.EndCounter > 0) {
    Game.EndCounter++;
    PlaySfx(kSfxExplode, plat::Rnd(0.5, 1.5), 1, 0);
  }
  return Game.QuitFlag == 0;
}

bool GameFrame() {
  DrawGameFrame();
  // A frame that may be the last keeps its picture for "Game Over": the end
  // counter has run out, or Escape may open the pause menu, whose Quit ends the game.
  // Input can change between this look at Escape and EndFrame's: a pause that
  // opened without this frame's picture leaves its own.
  const bool ending = Game.EndCounter > kEndAfter;
  const bool kept = ending || plat::KeyDown(plat::kKeyEscape);
  if (kept) KeepLastPicture();
  const int paused = EndFrame(Core.ControlMode);
  const plat::Image quitPicture = Frame.QuitPicture;
  Frame.QuitPicture = 0;
  if (paused == kPauseQuit && !kept && quitPicture) {
    FreeLastPicture();
    Loopery.LastPicture = quitPicture;
    plat::SetImageHandle(Loopery.LastPicture, 0, 0);
  } else {
    plat::FreeImage(quitPicture);
  }
  // A picture is only held for a game that is ending.
  if (paused != kPauseQuit && !ending) FreeLastPicture();
  return FinishGameFrame(paused);
}

void GameOverSequence() {
  if (plat::ChannelPlaying(Game.EngineChannel)) plat::StopChannel(Game.EngineChannel);
  Scores record;
  record.Score = Game.GameScore;
  record.Badges = Game.BadgeBits;
  for (int i = 1; i <= 30; i++) record.Best[i] = Game.BestValues[i];
  record.Level = Game.LevelValue;
  record.GameFlags = Game.GameFlagsValue;
  record.Quit = Game.QuitFlag == kPauseQuit ? 1 : 0;
  // "Game Over" over the game's last frame.
  FinishGame(DrawLastPicture, record);
  FreeLastPicture();
}

void RunGame() {
  SetupGame();
  while (GameFrame()) {
  }
  GameOverSequence();
}
