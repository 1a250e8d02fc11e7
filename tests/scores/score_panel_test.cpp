// The high-score panel, drawn on the headless machine with its draw calls recorded.
#include <algorithm>
#include <climits>
#include <vector>

#include "core/assets.h"
#include "platform/keycodes.h"
#include "scores/timestamp.h"
#include "scores_fixture.h"

namespace {

using Calls = std::vector<plat::DrawCall>;

// Panel fully slid in on the 1280 x 960 surface: baseline B 950, text edges L 954
// and R 1274, the newest bar at x 1266.
constexpr int kSlide = 320, kB = 950, kL = 954, kR = 1274;

class ScorePanelTest : public ScoresTest {
 protected:
  void SetUp() override {
    ScoresTest::SetUp();
    ASSERT_TRUE(plat::OpenDisplay(800, 600, 0, 60, 0));
    plat::SetVirtualResolution(1280, 960);
    Core.IconsFiltered = plat::CreateImage(16, 16, 64);
    Core.BadgesImage = plat::CreateImage(64, 64, 16);
    ::Draw.DrawLimit[kBudgetMain] = 50000;
    Core.MouseState.x = Core.MouseState.y = -1000;
    machine_->SetRecording(true);
  }
  void TearDown() override {
    Core.BadgesImage = 0;
    ScoresTest::TearDown();
  }

  // One frame of the panel for game mode 0; returns its draw calls.
  Calls Draw(int* result = nullptr) {
    plat::Cls();
    BeginFrameDrawing(0);
    int r = DrawScorePanel(kSlide, 0, 0, 0);
    if (result) *result = r;
    plat::Flip(0);
    return machine_->LastFrameCalls();
  }
  Calls Bars(const Calls& calls) const {
    Calls out;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(out), [](const plat::DrawCall& c) {
      return c.kind == plat::DrawCall::kImage && c.image == Core.IconsFiltered && c.frame == 7;
    });
    return out;
  }
  std::vector<std::string> Texts(const Calls& calls) const {
    std::vector<std::string> out;
    for (const plat::DrawCall& c : calls) {
      if (c.kind == plat::DrawCall::kText) out.push_back(c.text);
    }
    return out;
  }
  const plat::DrawCall* Text(const Calls& calls, const std::string& text) const {
    for (const plat::DrawCall& c : calls) {
      if (c.kind == plat::DrawCall::kText && c.text == text) return &c;
    }
    return nullptr;
  }
  // The listed rows' texts: names at the left edge, scores at the right.
  std::vector<std::string> Column(const Calls& calls, bool names) const {
    std::vector<std::string> out;
    for (const plat::DrawCall& c : calls) {
      if (c.kind != plat::DrawCall::kText || c.y < kB - 426 || c.y > kB - 170) continue;
      if ((c.x == kL) == names) out.push_back(c.text);
    }
    return out;
  }
};

TEST_F(ScorePanelTest, NoMatchingRecordDrawsOnlyTheFrame) {
  AddScore(Record(500, 10, "Other", 1));  // another variant
  int result = -1;
  Calls calls = Draw(&result);
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(Bars(calls).empty());
  EXPECT_TRUE(Texts(calls).empty());
  ASSERT_EQ(calls.size(), 2u);  // the backdrop and the graph's top line
  EXPECT_EQ(calls[0].x, 1280 - kSlide - 8);
  EXPECT_EQ(calls[0].alpha, 0.6);
  EXPECT_EQ(calls[1].y, kB - 150);
  EXPECT_EQ(calls[1].width, kSlide + 1);
  EXPECT_EQ(HighScores.ScoreList.size(), 1u);
}

TEST_F(ScorePanelTest, AllZeroScoresDrawFlatBars) {
  for (int i = 1; i <= 3; i++) AddScore(Record(0, i));
  Calls bars = Bars(Draw());
  EXPECT_EQ(HighScores.BestScore, 1);
  ASSERT_EQ(bars.size(), 3u);
  for (size_t i = 0; i < bars.size(); i++) {
    EXPECT_EQ(bars[i].x, 1266 - 18 * static_cast<int>(i));
    EXPECT_EQ(bars[i].y, kB);  // height 0: the icon's centre sits on the baseline
    EXPECT_EQ(std::tie(bars[i].r, bars[i].g, bars[i].b), std::make_tuple(255, 255, 80));
  }
}

TEST_F(ScorePanelTest, ThirtyRecordsRankTwentyFiveListSixteenAndSayThanks) {
  for (int i = 1; i <= 30; i++) AddScore(Record(i * 10, i, "P" + std::to_string(i)));
  int result = -1;
  Calls calls = Draw(&result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(HighScores.BestScore, 300);
  for (int k = 1; k <= 25; k++) {
    ASSERT_NE(HighScores.TopTable[k], nullptr);
    EXPECT_EQ(HighScores.TopTable[k]->Score, 310 - 10 * k);
  }
  std::vector<std::string> scores = Column(calls, false);
  ASSERT_EQ(scores.size(), 16u);
  EXPECT_EQ(scores.front(), "000000000300");
  EXPECT_EQ(scores.back(), "000000000150");
  // The newest record (the best) has a full-height bar; 18 bars fit the graph.
  std::vector<plat::DrawCall> bars = Bars(calls);
  EXPECT_EQ(bars.size(), 18u);
  EXPECT_EQ(bars.front().y, kB - 150);
  for (const char* line : {"You've been enjoying", "Puffwick", "Loopery", "Why not thank Corvell",
                           "for making yet another", "free downloadable game!", "brindlewood community pages"}) {
    EXPECT_NE(Text(calls, line), nullptr) << line;
  }
  EXPECT_EQ(HighScores.ScoreList.size(), 30u);
}

// The thank-you lines sit at their standard places with the standard 24-pixel
// font; with the larger fonts of small screens (x1.2 under 900 pixels wide, x1.5
// under 600) no line's ink touches the next one's and all stay inside the box
// (a line too wide for it is narrowed).
TEST_F(ScorePanelTest, ThanksStayApartAndInsideTheirBox) {
  for (int i = 1; i <= 30; i++) AddScore(Record(i * 10, i, "P" + std::to_string(i)));
  const std::string face = std::string(PUFFWICK_SOURCE_DIR) + "/Files/Common/SVBasicManual.ttf";
  const char* const lines[] = {"You've been enjoying",    "Puffwick",
                               "Loopery",                 "Why not thank Corvell",
                               "for making yet another",  "free downloadable game!",
                               "brindlewood community pages"};
  const int standard[] = {20, 38, 56, 90, 108, 126, 165};
  for (int size : {24, 28, 36}) {
    SCOPED_TRACE(size);
    Core.UiFonts[font::kLabel] = plat::LoadImageFont(face, size, 4);
    ASSERT_NE(Core.UiFonts[font::kLabel], 0);
    const Calls calls = Draw();
    plat::SetImageFont(Core.UiFonts[font::kLabel]);
    int previousBottom = INT_MIN;
    for (int i = 0; i < 7; i++) {
      const plat::DrawCall* c = Text(calls, lines[i]);
      ASSERT_NE(c, nullptr) << lines[i];
      const int centre = static_cast<int>(c->y) + size / 2;
      if (size == 24) {
        EXPECT_EQ(centre, standard[i]) << lines[i];
      }
      int l = 0, t = 0, r = 0, b = 0;
      ASSERT_TRUE(plat::TextInkBox(lines[i], l, t, r, b));
      const int top = static_cast<int>(c->y) + t, bottom = static_cast<int>(c->y) + b;
      EXPECT_GE(top, 0) << lines[i];
      EXPECT_LE(bottom, 200) << lines[i];
      EXPECT_GE(c->x + l * c->scaleX, 1280 - kSlide - 12) << lines[i];
      EXPECT_LE(c->x + r * c->scaleX, 1280 - kSlide - 12 + 330) << lines[i];
      EXPECT_EQ(c->scaleY, 1) << lines[i];
      EXPECT_GE(top, previousBottom) << lines[i] << " touches the line above";
      previousBottom = bottom;
    }
    plat::FreeFont(Core.UiFonts[font::kLabel]);
    Core.UiFonts[font::kLabel] = 0;
  }
}

// The graph's faint grid lines must not fade the table, nor the screen drawn after
// the panel (the title's start prompt).
TEST_F(ScorePanelTest, TextAndWhatFollowsStayOpaque) {
  for (int i = 1; i <= 3; i++) AddScore(Record(i * 100, i, "Ann"));
  Calls calls = Draw();
  for (const plat::DrawCall& c : calls) {
    if (c.kind == plat::DrawCall::kText) {
      EXPECT_DOUBLE_EQ(c.alpha, 1) << c.text;
    }
  }
  EXPECT_DOUBLE_EQ(plat::GetAlpha(), 1);
}

TEST_F(ScorePanelTest, TenRowsOrFewerGetNoThanks) {
  for (int i = 1; i <= 10; i++) AddScore(Record(i, i));
  EXPECT_EQ(Text(Draw(), "Puffwick"), nullptr);
}

TEST_F(ScorePanelTest, EqualScoresListTheNewerFirst) {
  AddScore(Record(70, 1, "Older"));
  AddScore(Record(70, 2, "Newer"));
  AddScore(Record(90, 0, "Best"));
  EXPECT_EQ(Column(Draw(), true), (std::vector<std::string>{"Best", "Newer", "Older"}));
}

TEST_F(ScorePanelTest, SixtyRecordsKeepTheFiftyNewestAndTheOlderBest) {
  // Timestamps 1..60; the ten oldest are records 51..60 of the variant. Five of them
  // rank in the top 25, five do not.
  for (int t = 1; t <= 60; t++) AddScore(Record(t <= 5 ? 1000 + t : (t <= 10 ? 0 : t), t));
  AddScore(Record(1, -5, "Other mode", 1));
  Draw();
  std::vector<int64_t> kept;
  for (const Scores& s : HighScores.ScoreList) {
    if (s.GameMode == 0) kept.push_back(s.Timestamp);
  }
  std::vector<int64_t> expected;
  for (int t = 60; t >= 11; t--) expected.push_back(t);
  for (int t = 5; t >= 1; t--) expected.push_back(t);
  EXPECT_EQ(kept, expected);
  EXPECT_EQ(HighScores.ScoreList.size(), 56u);  // the other variant is untouched

  Draw();  // nothing more goes
  EXPECT_EQ(HighScores.ScoreList.size(), 56u);
}

TEST_F(ScorePanelTest, RowsShowTwentyFourCharactersAndTwelveDigits) {
  const std::string twenty = "abcdefghijklmnopqrst", thirty = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234";
  AddScore(Record(1234, 3, twenty));
  AddScore(Record(999, 2, thirty));
  Calls calls = Draw();
  EXPECT_EQ(Column(calls, true), (std::vector<std::string>{twenty, thirty.substr(0, 24)}));
  const plat::DrawCall* score = Text(calls, "000000001234");
  ASSERT_NE(score, nullptr);
  EXPECT_EQ(score->x, kR - score->width);
  EXPECT_EQ(score->y, kB + 17 - 443);
}

TEST_F(ScorePanelTest, HoldingTheButtonOnARowLocksTheDetailBox) {
  // The table cuts a name to 24 characters; the detail box shows it whole.
  const std::string dana = "Dana of the Thirty Letters";
  Scores done = Record(4321, ((2026LL * 12 + 12) * 31 + 15) * 86400 + 12 * 3600 + 34 * 60 + 56, dana);
  done.Best[30] = 1;
  done.Badges = 0b101;  // badges 1 and 3
  AddScore(done);
  AddScore(Record(5, 1, "Eli"));

  Core.MouseState.x = 1000;
  Core.MouseState.y = kB + 17 - 443 + 5;  // over row 1
  machine_->ScriptInput().PressMouse(plat::kMouseLeft);
  int result = 0;
  Draw(&result);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(HighScores.LockedSelection, 1001);

  machine_->ScriptInput().ReleaseMouse(plat::kMouseLeft);
  Core.MouseState.x = Core.MouseState.y = -1000;
  Calls calls = Draw();  // the lock keeps the box up with the mouse away
  const plat::DrawCall* name = nullptr;
  for (const plat::DrawCall& c : calls) {
    if (c.kind == plat::DrawCall::kText && c.text == dana && c.y == kB - 562) name = &c;
  }
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(std::tie(name->r, name->g, name->b), std::make_tuple(80, 80, 0));
  EXPECT_NE(Text(calls, "4321"), nullptr);
  EXPECT_NE(Text(calls, "Complete!"), nullptr);
  EXPECT_NE(Text(calls, "15-12-2026, 12:34:56"), nullptr);
  std::vector<int> badgeFrames;
  for (const plat::DrawCall& c : calls) {
    if (c.kind == plat::DrawCall::kImage && c.image == Core.BadgesImage) {
      badgeFrames.push_back(c.frame);
      EXPECT_EQ(c.scaleX, 0.28);
      EXPECT_EQ(c.alpha, 1);
    }
  }
  EXPECT_EQ(badgeFrames, (std::vector<int>{0, 2}));
}

TEST_F(ScorePanelTest, HoveringABarSelectsItAndTheEdgesScroll) {
  AddScore(Record(50, 1, "Old"));
  AddScore(Record(80, 2, "New"));
  // The second bar (the older record) spans x 1239..1257.
  Core.MouseState.x = 1245;
  Core.MouseState.y = kB - 50;
  machine_->ScriptInput().PressMouse(plat::kMouseLeft);
  Calls calls = Draw();
  EXPECT_EQ(HighScores.LockedSelection, 2);
  EXPECT_NE(Text(calls, "50"), nullptr);  // the detail box's score

  machine_->ScriptInput().ReleaseMouse(plat::kMouseLeft);
  Core.MouseState.x = 1280 - kSlide;  // the left scroll zone
  for (int i = 0; i < 130; i++) Draw();
  EXPECT_EQ(HighScores.GraphScroll, 1000);
  Core.MouseState.x = 1280 - kSlide + 300;  // the right one
  Draw();
  EXPECT_EQ(HighScores.GraphScroll, 992);
}

}  // namespace
