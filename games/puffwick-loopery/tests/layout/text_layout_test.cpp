// Texts as a player sees them: on every screen, at every display size, no two texts
// cover the same pixels and none runs off the drawing area. Each screen is run with
// the real media and fonts until it has settled, and its texts' ink boxes (the
// pixels their glyphs cover, not their line boxes) are compared.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <sstream>

#include "core/assets.h"
#include "loopery/effects.h"
#include "loopery/board.h"
#include "loopery/game.h"
#include "platform/keycodes.h"
#include "scores/name_entry.h"
#include "scores/score_panel.h"
#include "testkit/scratch.h"
#include "shell/shutdown.h"
#include "shell/title.h"

namespace {

using plat::DrawCall;

struct Ink {
  std::string text;
  double x, y;  // where it was drawn
  double x0, y0, x1, y1;
};

// The ink box of a text call in the coordinates of the drawing area, scaled and
// rotated as it was drawn.
bool InkOf(const DrawCall& call, Ink& ink) {
  const plat::Font was = plat::GetImageFont();
  plat::SetImageFont(call.image);
  int l = 0, t = 0, r = 0, b = 0;
  const bool any = plat::TextInkBox(call.text, l, t, r, b);
  plat::SetImageFont(was);
  if (!any) return false;
  const double rad = call.rotation * std::numbers::pi / 180, c = std::cos(rad), s = std::sin(rad);
  ink = {call.text, call.x, call.y, 1e9, 1e9, -1e9, -1e9};
  for (auto [lx, ly] : {std::pair{l, t}, {r, t}, {r, b}, {l, b}}) {
    const double X = lx * call.scaleX, Y = ly * call.scaleY;
    const double px = call.x + X * c - Y * s, py = call.y + X * s + Y * c;
    ink.x0 = std::min(ink.x0, px);
    ink.y0 = std::min(ink.y0, py);
    ink.x1 = std::max(ink.x1, px);
    ink.y1 = std::max(ink.y1, py);
  }
  return true;
}

std::string Describe(const Ink& ink) {
  std::ostringstream out;
  out << '"' << ink.text << "\" at " << ink.x << "," << ink.y << " inks " << ink.x0 << "," << ink.y0 << " to "
      << ink.x1 << "," << ink.y1;
  return out.str();
}

// A text drawn again beside itself is its own shadow.
bool Shadow(const Ink& a, const Ink& b) {
  return a.text == b.text && std::abs(a.x - b.x) <= 3 && std::abs(a.y - b.y) <= 3;
}

// Every collision and every text outside 0,0 to width,height, one line each.
std::vector<std::string> Problems(const std::vector<DrawCall>& calls, double width, double height) {
  std::vector<Ink> inks;
  for (const DrawCall& c : calls) {
    Ink ink;
    // Turned texts are decoration that moves (the pause menu's scatter).
    if (c.kind == DrawCall::kText && c.alpha > 0 && c.rotation == 0 && InkOf(c, ink)) inks.push_back(ink);
  }
  std::vector<std::string> problems;
  for (size_t i = 0; i < inks.size(); ++i) {
    const Ink& a = inks[i];
    if (a.x0 < 0 || a.y0 < 0 || a.x1 > width || a.y1 > height) problems.push_back("off the screen: " + Describe(a));
    for (size_t j = i + 1; j < inks.size(); ++j) {
      const Ink& b = inks[j];
      if (Shadow(a, b)) continue;
      if (a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1) {
        problems.push_back(Describe(a) + " overlaps " + Describe(b));
      }
    }
  }
  return problems;
}

struct Size {
  int width, height;
};

class TextLayoutTest : public ScratchTest {
 public:
  plat::HeadlessOptions Options() override {
    plat::HeadlessOptions o;
    o.modes = {{800, 600, 32, 60}, {1024, 768, 32, 60}, {1280, 960, 32, 60}, {1440, 900, 32, 60},
               {1600, 900, 32, 60}, {640, 480, 32, 60}};
    return o;
  }

  // The program started at this size with the real media, as far as the title.
  void StartAt(Size size) {
    namespace fs = std::filesystem;
    const fs::path files = fs::path(PUFFWICK_SOURCE_DIR) / "Files";
    ASSERT_TRUE(plat::ChangeDir(root_));
    fs::remove_all(At("Files"));
    MakeDir("Files");
    const auto recursive = fs::copy_options::recursive;
    fs::copy(files / "Common", At("Files/Common"), recursive);
    fs::copy(files / "257", At("Files/257"), recursive);
    WriteBytes("Files/Setup.ini",
               "Width=" + std::to_string(size.width) + "\r\nHeight=" + std::to_string(size.height) + "\r\n");
    machine_ = &plat::UseHeadless(Options());
    ResetProgramState();
    // A slow machine, so that the engine test is over in a few frames.
    machine_->OnFrame([this](int) { machine_->AdvanceTime(5); });
    StartUp();
    machine_->OnFrame(nullptr);
    ASSERT_EQ(plat::GraphicsWidth(), size.width);
    Core.Settings[slot::slowSystem] = 0;
    Draw.DrawLimit[kBudgetMain] = Draw.DrawLimit[kBudgetGlow] = Draw.DrawLimit[kBudgetParticles] = 50000;
    Frame.OverlayOn = 0;
    Frame.LastFrameTime = plat::Millisecs();
    machine_->SetRecording(true);
  }

  // Runs `screen` and returns the draw calls of its frame `at` (counted from 1), or
  // of the first frame shown in a window `onlyWidth` wide; ends the screen there.
  std::vector<DrawCall> FrameOf(const std::function<void()>& screen, int at, int onlyWidth = 0) {
    std::vector<DrawCall> calls;
    int seen = 0;
    machine_->OnFrame([&](int) {
      if (onlyWidth && plat::GraphicsWidth() != onlyWidth) return;
      if (++seen == at) {
        calls = machine_->CurrentFrameCalls();
        plat::FreePixmap(picture_);
        picture_ = plat::GrabPixmap(0, 0, plat::GraphicsWidth(), plat::GraphicsHeight());
        width_ = plat::VirtualResolutionWidth();
        height_ = plat::VirtualResolutionHeight();
        plat::EndProcess(0);
      }
    });
    machine_->SetFrameCap(machine_->FramesPresented() + at + 400);  // a screen that never shows fails
    try {
      screen();
    } catch (const plat::ProcessEnded&) {
    }
    machine_->OnFrame(nullptr);
    machine_->SetFrameCap(0);
    return calls;
  }

  plat::HeadlessBackend& Machine() { return *machine_; }

  // What the frame cycle draws by itself, over an empty screen.
  std::vector<DrawCall> OverBlank(int at, const std::function<void()>& prepare) {
    prepare();
    return FrameOf(
        [] {
          while (true) {
            BeginFrameDrawing(1);
            EndFrame(0);
          }
        },
        at);
  }

  double width_ = 0, height_ = 0;
  plat::Pixmap picture_ = 0;  // the frame FrameOf stopped at, as it was shown
};

// Sixteen listed records with names of the 24 characters the table shows and
// 12-digit scores.
void FillScoreTable() {
  HighScores.ScoreList.clear();
  for (int n = 0; n < 16; ++n) {
    Scores s;
    s.Score = 999999999999LL - n;
    s.Timestamp = ((2026LL * 12 + 11) * 31 + 20) * 86400 + n;
    s.Name = n % 2 ? "Alexandra Montgomery-Ray" : "Maximilian Worthington 3";
    s.GameMode = 1;
    AddScore(s);
  }
}

TEST_F(TextLayoutTest, NoTextCoversAnotherOrLeavesTheScreen) {
  const Size sizes[] = {{800, 600}, {1024, 768}, {1280, 960}, {1440, 900}, {1600, 900}};
  struct Screen {
    const char* name;
    std::function<std::vector<DrawCall>(TextLayoutTest&)> frame;
  };
  const Screen screens[] = {
      {"title with a full score table and the detail box",
       [](TextLayoutTest& t) {
         FillScoreTable();
         HighScores.LockedSelection = 1001;
         return t.FrameOf(RunTitleScreen, 60);
       }},
      {"settings panel", [](TextLayoutTest& t) { return t.OverBlank(90, [] { Frame.SettingsOpen = 1; }); }},
      {"F12 overlay", [](TextLayoutTest& t) { return t.OverBlank(20, [] { Frame.OverlayOn = 1; }); }},
      {"game with money, bubbles, popups, the toolbar hint and a stack of messages",
       [](TextLayoutTest& t) {
         Core.Difficulty = 1;
         return t.FrameOf(
             [] {
               SetupGame();
               Game.Money = Game.ShownMoney = 99999999;
               AddPopup(250, 300, 200, 255, 0, 0);
               AddPopup(100, 600, 500, 180, 255, 180);
               for (int n = 1; n <= 6; ++n) AddMessage("Message number " + std::to_string(n) + " of a stack", 0);
               while (GameFrame()) {
               }
             },
             20);
       }},
      {"pause menu",
       [](TextLayoutTest& t) {
         Core.GameState = kStatePlaying;
         return t.FrameOf(
             [&t] {
               SetupGame();
               GameFrame();
               t.Machine().ScriptInput().PressKey(plat::kKeyEscape);
               t.Machine().At(t.Machine().Now() + 30,
                              [](plat::InputState& in) { in.ReleaseKey(plat::kKeyEscape); });
               while (GameFrame()) {
               }
             },
             60);
       }},
      {"name entry with a 24-character name",
       [](TextLayoutTest& t) {
         HighScores.PlayerName = "Alexandra Montgomery-Ray";
         return t.FrameOf(EnterName, 30);
       }},
      {"farewell", [](TextLayoutTest& t) { return t.FrameOf(Shutdown, 1, 640); }},
  };
  for (const Size& size : sizes) {
    for (const Screen& screen : screens) {
      StartAt(size);
      const std::vector<DrawCall> calls = screen.frame(*this);
      SCOPED_TRACE(std::string(screen.name) + " at " + std::to_string(size.width) + "x" +
                   std::to_string(size.height));
      EXPECT_TRUE(std::any_of(calls.begin(), calls.end(), [](const DrawCall& c) { return c.kind == DrawCall::kText; }))
          << "the screen showed no text";
      for (const std::string& problem : Problems(calls, width_, height_)) ADD_FAILURE() << problem;
    }
  }
}

// Every letter of the credits leaves ink at 1024 wide, where the drawing area is
// shrunk to 0.8 of its size and a hinted one-pixel stem (the 'l' of "Corvell")
// becomes narrower than a screen pixel.
TEST_F(TextLayoutTest, EveryLetterOfTheCreditsLeavesInkOnASmallerScreen) {
  StartAt({1024, 768});
  const std::vector<DrawCall> calls = FrameOf(RunTitleScreen, 60);
  ASSERT_NE(picture_, 0);
  const double toReal = plat::GraphicsWidth() / width_;
  int letters = 0;
  for (const DrawCall& c : calls) {
    if (c.kind != DrawCall::kText || c.image != Core.UiFonts[font::kText] || c.rotation != 0) continue;
    plat::SetImageFont(c.image);
    for (size_t i = 0; i < c.text.size(); ++i) {
      int l = 0, t = 0, r = 0, b = 0;
      if (!plat::TextInkBox(c.text.substr(i, 1), l, t, r, b)) continue;
      const double pen = c.x + plat::TextWidth(c.text.substr(0, i)) * c.scaleX;
      const int x0 = static_cast<int>(std::floor((pen + l * c.scaleX) * toReal));
      const int x1 = static_cast<int>(std::ceil((pen + r * c.scaleX) * toReal));
      const int y0 = static_cast<int>(std::floor((c.y + t * c.scaleY) * toReal));
      const int y1 = static_cast<int>(std::ceil((c.y + b * c.scaleY) * toReal));
      int brightest = 0;
      for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) brightest = std::max<int>(brightest, plat::PixmapPixel(picture_, x, y) >> 24);
      }
      ++letters;
      // White on the dark panel: the red channel is the ink. A stem that falls
      // between two pixels lights each to about 0.4.
      EXPECT_GT(brightest, 64) << "'" << c.text[i] << "' of \"" << c.text << "\" left no ink";
    }
  }
  EXPECT_GT(letters, 300) << "the credits were drawn";
  plat::FreePixmap(picture_);
  picture_ = 0;
}

}  // namespace
