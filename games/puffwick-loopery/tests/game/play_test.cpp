// One whole game on real frames with a scripted player: a new station appears,
// the player rebuilds the loop through it, the train serves it, an abandoned
// station fills up and explodes, the player names the record, and it lands in
// HighScores.ScoreList and in scores.dat.
#include "game_fixture.h"

namespace {

class PlayTest : public GameTest {};

struct Station {
  int x = 0, y = 0;  // its track cell
};

// The new collect station NewStation places after SetupGame with this seed,
// when it lies above the starting loop's top side with its track running west:
// the player can then move the loop's top side up onto it.
bool ReachableStation(Station& out) {
  for (int x = 16; x <= 24; x++) {
    for (int y = 2; y <= 8; y++) {
      if (Game.TrackGrid[CellIndex(x, y)] == kCollectTrackWE) {
        out = {x, y};
        return true;
      }
    }
  }
  return false;
}

TEST_F(PlayTest, LayTrackToANewStationEarnThereThenLoseToAnExplosion) {
  Core.Difficulty = 0;
  int seed = 0;
  Station station;
  for (int s = 1; s < 5000 && seed == 0; s++) {
    StartGame(s);
    NewStation();
    if (ReachableStation(station)) seed = s;
  }
  ASSERT_NE(seed, 0);

  StartGame(seed);
  NewStation();  // as the countdown would, at a known moment
  ASSERT_TRUE(ReachableStation(station));
  const int top = station.y;

  // First the new cells, which the train cannot reach yet.
  std::vector<std::tuple<int, int, int>> pieces;  // x, y, code
  pieces.emplace_back(25, top, kCurveSW);
  pieces.emplace_back(15, top, kCurveSE);
  for (int y = top + 1; y < 10; y++) pieces.emplace_back(25, y, kStraightNS), pieces.emplace_back(15, y, kStraightNS);
  for (int x = 16; x < 25; x++) {
    if (x != station.x) pieces.emplace_back(x, top, kStraightWE);
  }
  for (auto [x, y, code] : pieces) {
    if (Game.Tool != code) PickTool(code);
    ClickCell(x, y);
    ASSERT_EQ(Cell(Game.TrackGrid, x, y), code) << x << "," << y;
  }

  // Then, with the whole train on the bottom side, the two old corners become
  // straights and the loop runs through the new station.
  auto onBottomSide = [] {
    const ain& t = Game.TrainList.front();
    for (int i = 1; i <= 4; i++) {
      if (t.cy[i] != 640 || t.ca[i] != 90) return false;
    }
    return t.cx[1] <= 736;
  };
  for (int f = 0; f < 3000 && !onBottomSide(); f++) ASSERT_TRUE(Frames(1));
  ASSERT_TRUE(onBottomSide());
  PickTool(kStraightNS);
  ClickCell(25, 10);
  ClickCell(15, 10);
  ASSERT_EQ(Cell(Game.TrackGrid, 25, 10), kStraightNS);
  ASSERT_EQ(Cell(Game.TrackGrid, 15, 10), kStraightNS);
  PointAt(1200, 20);  // out of the way

  // The train serves the new station: its cargo goes aboard and is paid for.
  const int sc = CellIndex(station.x, station.y);
  bool earned = false;
  for (int f = 0; f < 8000 && !earned; f++) {
    const int waiting = Game.PeopleGrid[sc] + Game.ParcelGrid[sc];
    const int money = Game.Money;
    ASSERT_TRUE(Frames(1)) << "frame " << f;
    ASSERT_EQ(Train().dead, 0);
    earned = Game.PeopleGrid[sc] + Game.ParcelGrid[sc] < waiting && Game.Money > money;
  }
  ASSERT_TRUE(earned);

  // The old collect station is off the loop now; its cargo piles up until it explodes.
  machine_->SetFrameCap(machine_->FramesPresented() + 1000);  // fails rather than hangs
  Cell(Game.PeopleGrid, 20, 10) = 16;
  int frames = 0;
  while (Frames(1) && frames < 400) frames++;
  EXPECT_EQ(frames, 300);  // full for 241 frames, then the end counter's second
  EXPECT_EQ(Train().dead, 0);
  EXPECT_EQ(Cell(Game.PeopleGrid, 20, 10), 16);
  EXPECT_GT(Cell(Game.OverfullGrid, 20, 10), 240);
  EXPECT_EQ(Game.QuitFlag, 1);

  // Name entry: two Backspaces take "er" off "Player", then "ful" and Enter.
  AnswerNameEntry("\b\bful");
  GameOverSequence();
  ASSERT_EQ(HighScores.ScoreList.size(), 1u);
  const Scores& record = HighScores.ScoreList.back();
  EXPECT_EQ(record.Score, Game.Money);
  EXPECT_EQ(record.Quit, 0);
  EXPECT_EQ(record.GameMode, 0);
  EXPECT_EQ(record.Badges, 0);
  EXPECT_EQ(record.Name, "Playful");
  EXPECT_EQ(HighScores.PlayerName, "Playful");

  // And the record is in the score file at once, not only when shutdown writes it.
  std::vector<std::string> lines = ReadLines("scores.dat");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind(std::to_string(record.Score) + "|Playful|0|", 0), 0u) << lines[0];
}

}  // namespace
