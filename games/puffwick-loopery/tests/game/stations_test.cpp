// Stations and cargo on real frames: the exchange, the full timer, growth odds
// and new stations.
#include "game_fixture.h"

namespace {

class StationsTest : public GameTest {
 protected:
  // Runs frames until car `car` has changed its load; returns the popups raised
  // and the effects played on that frame.
  std::vector<ore> UntilLoadChanges(int car, int limit, bool& changed, std::vector<int>& sounds) {
    changed = false;
    for (int f = 0; f < limit; f++) {
      const int before = Train().Full[car];
      const size_t popups = Loopery.PopupList.size();
      TakeSounds();
      Frames(1);
      sounds = TakeSounds();
      if (Train().Full[car] != before) {
        changed = true;
        return std::vector<ore>(std::next(Loopery.PopupList.begin(), static_cast<long>(popups)), Loopery.PopupList.end());
      }
    }
    return {};
  }
};
TEST_F(StationsTest, CarriagesCollectAndDeliverWhatFitsAndEarnForEachUnit) {
  struct Case {
    const char* what;
    int car;
    int stationY;  // 10 collect, 20 deliver
    int count, full;
    int countAfter, fullAfter, earned;
  } cases[] = {
      {"people collected with room for 3", 3, 10, 5, 13, 2, 16, 300},
      {"parcels collected with room for 3", 4, 10, 5, 13, 2, 16, 75},
      {"4 people delivered from 10", 3, 20, -4, 10, 0, 6, 400},
      {"4 parcels delivered from 10", 4, 20, -4, 10, 0, 6, 100},
  };
  for (const Case& c : cases) {
    StartGame();
    Game.SpawnOdds = 1 << 30;  // no growth on the way
    Game.StationCountdown = 1 << 30;
    Game.PeopleGrid.fill(0);
    Game.ParcelGrid.fill(0);
    // Only the station under test takes part: the other becomes plain track.
    Cell(Game.TrackGrid, 20, c.stationY == 10 ? 20 : 10) = kStraightWE;
    Grid& grid = c.car == 3 ? Game.PeopleGrid : Game.ParcelGrid;
    Cell(grid, 20, c.stationY) = c.count;
    Train().Full[c.car] = c.full;
    bool changed = false;
    std::vector<int> sounds;
    std::vector<ore> popups = UntilLoadChanges(c.car, 2000, changed, sounds);
    ASSERT_TRUE(changed) << c.what;
    EXPECT_EQ(Cell(grid, 20, c.stationY), c.countAfter) << c.what;
    EXPECT_EQ(Train().Full[c.car], c.fullAfter) << c.what;
    ASSERT_EQ(popups.size(), 1u) << c.what;
    EXPECT_EQ(popups[0].n, c.earned) << c.what;
    EXPECT_EQ(popups[0].g, 255) << c.what;  // the green money popup
    EXPECT_EQ(Count(sounds, kSfxCargoDing), 1) << c.what;
    EXPECT_EQ(Count(sounds, kSfxCargoDingHigh), 1) << c.what;
  }
}

// Full is 16 waiting or 16 wanted, of either kind, at every kind of station.
TEST_F(StationsTest, AStationFullFor241FramesExplodesAndOneEmptiedAfter240DoesNot) {
  const struct {
    const char* what;
    int track;
    bool people;  // else parcels
    int full;
  } stations[] = {
      {"collect people", kCollectTrackWE, true, 16},
      {"collect parcels, north-south", kCollectTrackNS, false, 16},
      {"delivery people", kDeliverTrackWE, true, -16},
      {"delivery parcels", kDeliverTrackWE, false, -16},
      {"delivery people, north-south", kDeliverTrackNS, true, -16},
      {"delivery parcels, north-south", kDeliverTrackNS, false, -16},
  };
  for (const auto& c : stations) {
    for (bool emptied : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (emptied ? ", emptied" : ""));
      StartGame();
      ClearBoard();
      Game.TrainList.clear();  // nobody comes to collect
      Game.SpawnOdds = 1 << 30;
      Game.StationCountdown = 1 << 30;
      const bool beside = c.track == kCollectTrackNS || c.track == kDeliverTrackNS;
      Cell(Game.TrackGrid, beside ? 9 : 10, beside ? 5 : 4) = c.track - 1;
      Cell(Game.TrackGrid, 10, 5) = c.track;
      Grid& full = c.people ? Game.PeopleGrid : Game.ParcelGrid;
      Grid& other = c.people ? Game.ParcelGrid : Game.PeopleGrid;
      Cell(full, 10, 5) = c.full;
      Cell(other, 10, 5) = c.full > 0 ? 3 : -3;
      int explodedAt = -1;
      for (int f = 1; f <= 241 && explodedAt < 0; f++) {
        Frames(1);
        if (Game.EndCounter > 0) explodedAt = f;
        if (emptied && f == 240) Cell(full, 10, 5) = c.full > 0 ? 15 : -15;  // as a carriage taking one
      }
      if (emptied) {
        EXPECT_EQ(explodedAt, -1);
        EXPECT_EQ(Cell(Game.OverfullGrid, 10, 5), 0);  // the timer restarted
      } else {
        EXPECT_EQ(explodedAt, 241);
        // And the explosion ends the game about a second later.
        int more = 0;
        while (Frames(1) && more < 200) more++;
        EXPECT_EQ(Game.QuitFlag, 1);
        EXPECT_LT(more, 70);
      }
    }
  }
}

// New cargo is waiting (+1) at collect stations and wanted (-1) at delivery ones.
TEST_F(StationsTest, NewCargoIsWaitingAtCollectStationsAndWantedAtDeliveryStations) {
  StartGame();
  ClearBoard();
  Game.TrainList.clear();
  Game.SpawnOdds = 1 << 30;  // counts stay where they arrive
  Game.StationCountdown = 1 << 30;
  const struct {
    int track, x, sign;
  } stations[] = {{kCollectTrackWE, 5, 1}, {kCollectTrackNS, 10, 1}, {kDeliverTrackWE, 15, -1}, {kDeliverTrackNS, 20, -1}};
  for (const auto& st : stations) Cell(Game.TrackGrid, st.x, 8) = st.track;
  auto allArrived = [&] {
    for (const auto& st : stations) {
      if (Cell(Game.PeopleGrid, st.x, 8) == 0 || Cell(Game.ParcelGrid, st.x, 8) == 0) return false;
    }
    return true;
  };
  for (int f = 0; f < 20000 && !allArrived(); f++) Frames(1);
  ASSERT_TRUE(allArrived());
  for (const auto& st : stations) {
    EXPECT_EQ(Cell(Game.PeopleGrid, st.x, 8), st.sign) << "track " << st.track;
    EXPECT_EQ(Cell(Game.ParcelGrid, st.x, 8), st.sign) << "track " << st.track;
  }
}

// Every unit of growth takes exactly one off SpawnOdds; new cargo (0 to 1) takes none.
TEST_F(StationsTest, EachGrowthLowersSpawnOddsByOne) {
  StartGame();
  ClearBoard();
  Game.TrainList.clear();
  Game.StationCountdown = 1 << 30;
  const int start = 3000;
  Game.SpawnOdds = start;
  const int tracks[] = {kCollectTrackWE, kCollectTrackNS, kDeliverTrackWE, kDeliverTrackNS};
  int n = 0;
  for (int x = 4; x <= 36; x += 4) {
    for (int y = 4; y <= 24; y += 4) {
      const int track = tracks[n++ % 4];
      const int sign = track == kCollectTrackWE || track == kCollectTrackNS ? 1 : -1;
      Cell(Game.TrackGrid, x, y) = track;
      Cell(Game.PeopleGrid, x, y) = sign;
      Cell(Game.ParcelGrid, x, y) = sign;
    }
  }
  auto units = [] {
    int total = 0;
    for (int v : Game.PeopleGrid) total += std::abs(v);
    for (int v : Game.ParcelGrid) total += std::abs(v);
    return total;
  };
  const int before = units();
  Frames(3000);
  const int grown = units() - before;
  EXPECT_GT(grown, 20);
  EXPECT_EQ(Game.SpawnOdds, start - grown);
}

TEST_F(StationsTest, SpawnOddsNeverEndAFrameBelowOneHundred) {
  StartGame();
  Game.StationCountdown = 1 << 30;
  Game.SpawnOdds = 50;
  Frames(1);
  EXPECT_EQ(Game.SpawnOdds, 100);
  int grew = 0;
  for (int f = 0; f < 3000; f++) {
    const int before = Game.SpawnOdds;
    Frames(1);
    ASSERT_GE(Game.SpawnOdds, 100);
    grew += Game.SpawnOdds < before || before == 100;
  }
  EXPECT_GT(grew, 0);
}

TEST_F(StationsTest, NewStationsAlternateAndStayTwoCellsInside) {
  StartGame();
  ClearBoard();
  for (int n = 0; n < 12; n++) NewStation();
  int collect = 0, deliver = 0;
  for (int x = 0; x <= Game.BoardMaxX; x++) {
    for (int y = 0; y <= Game.BoardMaxY; y++) {
      const int code = Cell(Game.TrackGrid, x, y);
      if (code == 0) continue;
      EXPECT_GE(x, 2);
      EXPECT_GE(y, 2);
      EXPECT_LE(x, Game.BoardMaxX - 3);
      EXPECT_LE(y, Game.BoardMaxY - 3);
      EXPECT_EQ(Cell(Game.BusyGrid, x, y), kStationMarker);
      if (code == kCollectTrackWE || code == kCollectTrackNS) {
        collect++;
        // The building is above or to the left of its track.
        EXPECT_EQ(code == kCollectTrackWE ? Cell(Game.TrackGrid, x, y - 1) : Cell(Game.TrackGrid, x - 1, y),
                  code - 1);
      }
      if (code == kDeliverTrackWE || code == kDeliverTrackNS) deliver++;
    }
  }
  EXPECT_EQ(collect, 6);
  EXPECT_EQ(deliver, 6);
}

TEST_F(StationsTest, TheCountdownPlacesTheFirstNewStationAfterItsWait) {
  StartGame();
  int placedAt = -1;
  for (int f = 1; f <= 3000 && placedAt < 0; f++) {
    Frames(1);
    int stations = 0;
    for (int code : Game.TrackGrid) stations += code == kCollectTrackWE || code == kCollectTrackNS;
    if (stations > 1) placedAt = f;
  }
  EXPECT_GT(placedAt, 1200);
  EXPECT_EQ(Game.StationCountdown, 2200);  // Medium's interval
}

}  // namespace
