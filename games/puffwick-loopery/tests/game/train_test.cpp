// The train on real frames: the starting loop, speed, turning, passing rules,
// crashes, leaving the board and the protection of station track.
#include "game_fixture.h"

namespace {

class TrainTest : public GameTest {};

// Distance along the starting loop, anticlockwise from its bottom-right corner.
double LoopPosition(double x, double y) {
  if (x == 800) return 640 - y;
  if (y == 320) return 320 + (800 - x);
  if (x == 480) return 640 + (y - 320);
  if (y == 640) return 960 + (x - 480);
  return -1;
}

TEST_F(TrainTest, StartingTrainCirclesAnticlockwiseThroughBothStations) {
  StartGame();
  Game.StationCountdown = 1 << 30;  // only the two starting stations
  std::vector<int> turns;
  int collectPasses = 0, deliverPasses = 0;
  const int laps = 3, frames = laps * 1280;
  for (int f = 0; f < frames; f++) {
    const double before = Train().ca2[1];
    ASSERT_TRUE(Frames(1)) << "frame " << f;
    ain& t = Train();
    ASSERT_EQ(t.dead, 0) << "frame " << f;
    if (t.ca2[1] != before) turns.push_back(static_cast<int>(t.ca2[1]) % 360);
    std::vector<int> sounds = TakeSounds();
    if (Count(sounds, kSfxCollect)) {
      collectPasses++;
      EXPECT_EQ(t.ca2[1], 270);  // westward through the collect station
      EXPECT_EQ(t.cy[1], 320);
    }
    if (Count(sounds, kSfxDeliver)) {
      deliverPasses++;
      EXPECT_EQ(t.ca2[1], 90);  // eastward through the delivery station
      EXPECT_EQ(t.cy[1], 640);
    }
  }
  EXPECT_EQ(Game.EndCounter, 0);
  ASSERT_EQ(turns.size(), 4u * laps);
  for (size_t i = 0; i < turns.size(); i++) EXPECT_EQ(turns[i], (270 - 90 * static_cast<int>(i % 4) + 360) % 360);
  // The engine plays its station sound on every frame it is on the station cell.
  EXPECT_EQ(collectPasses, 3 * laps);
  EXPECT_EQ(deliverPasses, 3 * laps);
  EXPECT_GT(Game.Money, 2000 - frames / 90 * 5);  // the stations paid
}

TEST_F(TrainTest, SpaceMovesEveryCarFasterAndTheCarsKeepTheirSpacing) {
  StartGame();
  Input().PressKey(plat::kKeySpace);
  for (int f = 0; f < 1500; f++) {
    ain before = Train();
    Frames(1);
    ain& t = Train();
    for (int i = 1; i <= 4; i++) {
      const double moved = std::hypot(t.cx[i] - before.cx[i], t.cy[i] - before.cy[i]);
      // A car that turned was put back on the grid point of its cell.
      if (t.ca2[i] == before.ca2[i]) {
        ASSERT_NEAR(moved, 2.4, 1e-9) << "car " << i << " frame " << f;
      }
      if (i > 1) {
        double gap = LoopPosition(t.cx[i - 1], t.cy[i - 1]) - LoopPosition(t.cx[i], t.cy[i]);
        if (gap < 0) gap += 1280;
        // Snapping onto the grid point at a turn rounds the gap to whole frames
        // of 2.4 pixels, and a car that has just snapped is ahead by up to one step
        // until the one behind snaps on the same cell; nothing accumulates.
        ASSERT_NEAR(gap, 64, 4.8) << "cars " << i - 1 << "," << i << " frame " << f;
      }
    }
  }
  Input().ReleaseKey(plat::kKeySpace);
  ain before = Train();
  Frames(1);
  EXPECT_NEAR(std::hypot(Train().cx[4] - before.cx[4], Train().cy[4] - before.cy[4]), 1.0, 1e-9);
  EXPECT_EQ(Train().dead, 0);
}

// Frames from the turn on a curve until the drawn heading has settled.
TEST_F(TrainTest, TurnsTakeTwelveFramesToTheLeftAndTwentyThreeToTheRight) {
  struct Case {
    int heading, curve, frames;
  } cases[] = {{90, kCurveWN, 12}, {270, kCurveNE, 23}};
  for (const Case& c : cases) {
    StartGame();
    ClearBoard();
    for (int x = 0; x <= Game.BoardMaxX; x++) {
      for (int y = 0; y <= Game.BoardMaxY; y++) Cell(Game.TrackGrid, x, y) = kCrossing;
    }
    Cell(Game.TrackGrid, 20, 14) = c.curve;
    PlaceTrain(c.heading == 90 ? 17 : 23, 14, c.heading);
    int turnedAt = -1, settledAt = -1;
    for (int f = 0; f < 200 && settledAt < 0; f++) {
      Frames(1);
      ain& t = Train();
      if (turnedAt < 0 && std::fmod(t.ca2[1], 360) == 0) turnedAt = f;
      if (turnedAt >= 0 && t.ca[1] == t.ca2[1]) settledAt = f;
    }
    EXPECT_EQ(settledAt - turnedAt, c.frames) << "heading " << c.heading;
    EXPECT_EQ(Train().dead, 0);
  }
}

// A train heading `heading` onto the piece at (20, 14), with crossings all around.
struct PassCase {
  const char* what;
  int piece, heading;
  bool crashes;
};

TEST_F(TrainTest, PiecesThatCannotBePassedCrashTheTrainOnTheirCell) {
  const PassCase cases[] = {
      {"empty ground", kEmpty, 90, true},
      {"collect station heading east", kCollectTrackWE, 90, true},
      {"collect station heading west", kCollectTrackWE, 270, false},
      {"delivery station heading west", kDeliverTrackWE, 270, true},
      {"delivery station heading east", kDeliverTrackWE, 90, false},
      {"north-south collect heading north", kCollectTrackNS, 0, true},
      {"north-south delivery heading south", kDeliverTrackNS, 180, true},
      {"west-north curve heading north", kCurveWN, 0, true},
      {"west-north curve heading east", kCurveWN, 90, false},
      {"south-west curve heading south", kCurveSW, 180, true},
      {"straight west-east heading north", kStraightWE, 0, true},
      {"station building", kCollectHouseAbove, 90, true},
      {"crossing heading south", kCrossing, 180, false},
      {"north-south straight heading north as 360", kStraightNS, 360, false},
      {"north-south straight heading north as 0", kStraightNS, 0, false},
      {"north-south straight heading south", kStraightNS, 180, false},
      {"north-south straight heading east", kStraightNS, 90, true},
      {"west-east straight heading west", kStraightWE, 270, false},
      {"north-south delivery heading north as 0", kDeliverTrackNS, 0, false},
      {"north-south delivery heading north as 360", kDeliverTrackNS, 360, false},
      {"north-south collect heading south", kCollectTrackNS, 180, false},
  };
  for (const PassCase& c : cases) {
    StartGame();
    ClearBoard();
    for (int x = 0; x <= Game.BoardMaxX; x++) {
      for (int y = 0; y <= Game.BoardMaxY; y++) Cell(Game.TrackGrid, x, y) = kCrossing;
    }
    Cell(Game.TrackGrid, 20, 14) = c.piece;
    const double dx = plat::Sin(c.heading), dy = -plat::Cos(c.heading);
    PlaceTrain(20 - static_cast<int>(dx) * 3, 14 - static_cast<int>(dy) * 3, c.heading);
    int crashFrame = -1;
    for (int f = 0; f < 130 && crashFrame < 0; f++) {
      Frames(1);
      if (Train().dead) crashFrame = f;
    }
    if (c.crashes) {
      ASSERT_GE(crashFrame, 0) << c.what;
      EXPECT_EQ(std::floor(Train().cx[1] / 32), 20) << c.what;
      EXPECT_EQ(std::floor(Train().cy[1] / 32), 14) << c.what;
      // Three cells on; heading west or north a car reaches a cell 2 pixels early.
      EXPECT_EQ(crashFrame, c.heading == 90 || c.heading == 180 ? 95 : 93) << c.what;
    } else {
      EXPECT_LT(crashFrame, 0) << c.what;
    }
  }
}

TEST_F(TrainTest, ACarStillTurningOnABlockingCellIsNotCrashed) {
  StartGame();
  ClearBoard();
  for (int y = 0; y <= Game.BoardMaxY; y++) Cell(Game.TrackGrid, 20, y) = kStraightNS;
  for (int x = 21; x <= Game.BoardMaxX; x++) Cell(Game.TrackGrid, x, 14) = kStraightWE;
  Cell(Game.TrackGrid, 20, 14) = kCurveNE;  // south becomes east
  PlaceTrain(20, 11, 180);
  int onCurveWhileTurning = 0;
  for (int f = 0; f < 150; f++) {
    Frames(1);
    ain& t = Train();
    ASSERT_EQ(t.dead, 0) << "frame " << f;
    // Past the turn but still within the curve's cell, heading east: the curve
    // blocks east, yet the heading is still swinging round.
    if (t.ca2[1] == 90 && t.cx[1] > 640 && t.cx[1] - 640 < 2.5 && t.cy[1] == 448) {
      onCurveWhileTurning++;
      EXPECT_NE(t.ca[1], t.ca2[1]);
    }
  }
  EXPECT_EQ(onCurveWhileTurning, 2);

  // The same position with the heading settled is a crash.
  StartGame();
  ClearBoard();
  Cell(Game.TrackGrid, 20, 14) = kCurveNE;
  PlaceTrain(20, 14, 90);
  Train().cx[1] = 640.5;
  for (int i = 2; i <= 4; i++) Train().cx[i] = 640.5 - 64 * (i - 1), Train().cy[i] = 448;
  for (int x = 0; x < 20; x++) Cell(Game.TrackGrid, x, 14) = kStraightWE;
  Frames(1);
  EXPECT_EQ(Train().dead, 1);
}

// At Space speed the next cell after a right turn comes while the heading is still
// swinging round, and the car is on it for one frame only: a cell it cannot pass
// must still stop it there, and a station building stays unbuildable afterwards.
TEST_F(TrainTest, AfterARightTurnAtSpeedABlockingCellStillCrashesTheTrain) {
  const struct {
    const char* what;
    int piece;
    bool crashes;
  } cases[] = {
      {"grass", kEmpty, true},
      {"collect building", kCollectHouseAbove, true},
      {"collect building left of its track", kCollectHouseLeft, true},
      {"delivery building", kDeliverHouseAbove, true},
      {"delivery building left of its track", kDeliverHouseLeft, true},
      {"crossing", kCrossing, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    StartGame();
    ClearBoard();
    for (int x = 0; x <= Game.BoardMaxX; x++) {
      for (int y = 0; y <= Game.BoardMaxY; y++) Cell(Game.TrackGrid, x, y) = kCrossing;
    }
    Cell(Game.TrackGrid, 20, 14) = kCurveSE;  // north becomes east
    Cell(Game.TrackGrid, 21, 14) = c.piece;
    const bool building = c.piece != kEmpty && c.piece != kCrossing;
    if (building) Cell(Game.BusyGrid, 21, 14) = kStationMarker;
    PlaceTrain(20, 17, 0);
    Input().PressKey(plat::kKeySpace);
    int frames = 0;
    while (Train().dead == 0 && frames < 200) Frames(1), frames++;
    Input().ReleaseKey(plat::kKeySpace);
    if (!c.crashes) {
      EXPECT_EQ(Train().dead, 0);
      EXPECT_GT(Train().cx[1], 22 * 32) << "ran on east";
      continue;
    }
    ASSERT_EQ(Train().dead, 1);
    EXPECT_EQ(std::floor(Train().cx[1] / 32), 21);
    EXPECT_EQ(std::floor(Train().cy[1] / 32), 14);
    EXPECT_NE(Train().ca[1], Train().ca2[1]) << "crashed while still turning";
    // The game runs out; the car's timer on the cell runs out well before.
    for (int f = 0; f < 200 && Frames(1); f++) {
    }
    EXPECT_EQ(Game.QuitFlag, 1);
    EXPECT_EQ(Cell(Game.BusyGrid, 21, 14), building ? kStationMarker : 0);
  }
}

TEST_F(TrainTest, ACarLeavingTheBoardCrashesOnEveryEdgeOfAWideSurface) {
  struct Case {
    int w, h, heading;
  } cases[] = {{1600, 900, 90}, {1440, 900, 90}, {1600, 900, 270}, {1600, 900, 0}, {1280, 960, 180}};
  for (const Case& c : cases) {
    UseSurface(c.w, c.h);
    StartGame();
    ClearBoard();
    for (int x = 0; x <= Game.BoardMaxX; x++) {
      for (int y = 0; y <= Game.BoardMaxY; y++) Cell(Game.TrackGrid, x, y) = kCrossing;
    }
    const int startX = c.heading == 90 ? Game.BoardMaxX - 2 : c.heading == 270 ? 2 : 10;
    const int startY = c.heading == 0 ? 2 : c.heading == 180 ? Game.BoardMaxY - 2 : 12;
    PlaceTrain(startX, startY, c.heading);
    int frames = 0;
    while (Train().dead == 0 && frames < 300) Frames(1), frames++;
    ASSERT_EQ(Train().dead, 1) << c.w << "x" << c.h << " heading " << c.heading;
    // Three cells to the edge; heading west or north a car reaches a cell 2 pixels early.
    EXPECT_EQ(frames, c.heading == 90 || c.heading == 180 ? 96 : 94) << c.w << "x" << c.h << " heading " << c.heading;
    const double x = Train().cx[1], y = Train().cy[1];
    const bool outside = x < 0 || y < 0 || x >= (Game.BoardMaxX + 1) * 32 || y >= (Game.BoardMaxY + 1) * 32;
    EXPECT_TRUE(outside) << x << "," << y;
  }
}

TEST_F(TrainTest, StationTrackReturnsToItsMarkerAfterTheTrainAndCannotBeBuiltOn) {
  StartGame();
  // The engine reaches the collect station's track (20, 10) after 256 frames.
  int busySeen = 0;
  for (int f = 0; f < 700; f++) {
    Frames(1);
    busySeen = std::max(busySeen, Cell(Game.BusyGrid, 20, 10));
  }
  EXPECT_EQ(busySeen, 64);
  EXPECT_EQ(Cell(Game.BusyGrid, 20, 10), kStationMarker);
  EXPECT_EQ(Cell(Game.BusyGrid, 20, 9), kStationMarker);
  EXPECT_EQ(Cell(Game.BusyGrid, 19, 10), 0);  // ordinary track is free again

  PickTool(kCrossing);
  ClickCell(20, 10);
  EXPECT_EQ(Cell(Game.TrackGrid, 20, 10), kCollectTrackWE);
  EXPECT_EQ(Cell(Game.UnderGrid, 20, 10), 0);
  ClickCell(19, 10);
  EXPECT_EQ(Cell(Game.TrackGrid, 19, 10), kCrossing);
}

}  // namespace
