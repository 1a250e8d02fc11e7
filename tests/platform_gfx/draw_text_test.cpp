// Draw state, rectangles, text and fonts through plat::, plus what survives a
// display being closed and opened again.
#include <cmath>
#include <fstream>

#include "gfx_fixture.h"

namespace {

using gfxtest::GfxTest;
using gfxtest::Near;
using gfxtest::Rgb;

std::string TrueTypePath() {
  for (const char* p : {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"}) {
    if (std::filesystem::exists(p)) return p;
  }
  return "";
}

using DrawTest = GfxTest;

TEST_F(DrawTest, StateIsKeptAndBadValuesIgnored) {
  plat::SetColor(300, -5, 128);
  int r, g, b;
  plat::GetColor(r, g, b);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 0);
  EXPECT_EQ(b, 128);
  plat::SetAlpha(0.25);
  plat::SetAlpha(2);
  EXPECT_DOUBLE_EQ(plat::GetAlpha(), 1);
  plat::SetBlend(plat::kBlendShade);
  plat::SetBlend(9);
  EXPECT_EQ(plat::GetBlend(), plat::kBlendShade);
  plat::SetRotation(-45);
  EXPECT_DOUBLE_EQ(plat::GetRotation(), -45);
  plat::SetScale(2, 3);
  double sx, sy;
  plat::GetScale(sx, sy);
  EXPECT_DOUBLE_EQ(sx, 2);
  EXPECT_DOUBLE_EQ(sy, 3);
}

TEST_F(DrawTest, RectIsScaledAndRotatedAboutItsTopLeft) {
  plat::SetColor(0, 0, 255);
  plat::SetScale(2, 1);
  plat::SetRotation(90);
  plat::DrawRect(20, 10, 3, 4);  // 6 wide, 4 high, turned clockwise: hangs left and down
  int inside = 0;
  EXPECT_FALSE(LitOutside(16, 10, 20, 16, &inside));
  EXPECT_EQ(inside, 4 * 6);
  EXPECT_TRUE(Near(Px(16, 10), {0, 0, 255}));
}

// Absurd scales neither crash nor smear: a rectangle scaled by 1e30 (either sign)
// fills exactly the quarter-plane it grows into from its corner, and one shrunk to
// nothing, or an image and a text placed far off, leave the screen black.
TEST_F(DrawTest, ExtremeTransformsDrawWithoutHarm) {
  ASSERT_TRUE(gfxtest::WriteRgbaPng(Path("white.png"), 4, 4, std::vector<uint32_t>(16, 0xFFFFFFFFu)));
  const plat::Image img = plat::LoadImage(Path("white.png"), plat::kImagePlain);
  ASSERT_NE(img, 0);
  const struct {
    double scale;
    int grows;  // +1: into +x,+y of the turned rectangle; -1: the opposite quarter; 0: nothing
  } cases[] = {{1e30, 1}, {-1e30, -1}, {1e-30, 0}, {0.0, 0}};
  constexpr double kTurn = 33, kX = 10, kY = 10;
  const double c = std::cos(kTurn * std::acos(-1.0) / 180), s = std::sin(kTurn * std::acos(-1.0) / 180);
  for (const auto& t : cases) {
    SCOPED_TRACE(t.scale);
    plat::Cls();
    plat::SetScale(t.scale, t.scale);
    plat::SetRotation(kTurn);
    plat::DrawRect(kX, kY, 5, 5);
    plat::DrawImage(img, -1e9, 1e9);
    plat::DrawText("far", 1e12, -1e12);
    int lit = 0, wrong = 0;
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        // The pixel centre in the rectangle's own (turned) axes.
        const double dx = x + 0.5 - kX, dy = y + 0.5 - kY;
        const double along = dx * c + dy * s, across = -dx * s + dy * c;
        if (std::abs(along) < 1 || std::abs(across) < 1) continue;  // on an edge: either way
        const bool inside = (t.grows > 0 && along > 0 && across > 0) || (t.grows < 0 && along < 0 && across < 0);
        const bool shown = !Near(Px(x, y), {0, 0, 0}, 0);
        lit += shown;
        if (shown != inside) ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0);
    if (t.grows != 0) {
      EXPECT_GT(lit, 50);
    }
  }
  plat::SetScale(std::nan(""), 1);  // ignored
  double sx, sy;
  plat::GetScale(sx, sy);
  EXPECT_DOUBLE_EQ(sx, 0);
}

TEST_F(DrawTest, VirtualResolutionMapsOntoRealPixels) {
  plat::SetVirtualResolution(kW * 2, kH * 2);
  plat::DrawRect(10, 10, 4, 4);
  int inside = 0;
  EXPECT_FALSE(LitOutside(5, 5, 7, 7, &inside));
  EXPECT_EQ(inside, 4);
}

TEST_F(DrawTest, DrawCallsAreRecordedWithTheirState) {
  backend_->SetRecording(true);
  plat::Image img = plat::CreateImage(5, 3, 2, 0);
  plat::SetColor(10, 20, 30);
  plat::SetAlpha(0.5);
  plat::SetBlend(plat::kBlendLight);
  plat::SetRotation(30);
  plat::SetScale(2, 0.5);
  plat::DrawRect(1, 2, 3, 4);
  plat::DrawImage(img, 7, 8, 1);
  plat::DrawImage(img, 7, 8, 2);  // bad frame: no call
  plat::DrawText("Hi", 9, 10);
  const auto& calls = backend_->CurrentFrameCalls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].kind, plat::DrawCall::kRect);
  EXPECT_DOUBLE_EQ(calls[0].width, 3);
  EXPECT_DOUBLE_EQ(calls[0].height, 4);
  EXPECT_EQ(calls[1].kind, plat::DrawCall::kImage);
  EXPECT_EQ(calls[1].image, img);
  EXPECT_EQ(calls[1].frame, 1);
  EXPECT_DOUBLE_EQ(calls[1].width, 5);
  EXPECT_DOUBLE_EQ(calls[1].x, 7);
  EXPECT_EQ(calls[2].kind, plat::DrawCall::kText);
  EXPECT_EQ(calls[2].text, "Hi");
  EXPECT_EQ(calls[2].image, 0);
  EXPECT_DOUBLE_EQ(calls[2].width, plat::TextWidth("Hi"));
  EXPECT_DOUBLE_EQ(calls[2].height, plat::TextHeight());
  for (const plat::DrawCall& c : calls) {
    EXPECT_EQ(c.r, 10);
    EXPECT_EQ(c.g, 20);
    EXPECT_EQ(c.b, 30);
    EXPECT_DOUBLE_EQ(c.alpha, 0.5);
    EXPECT_EQ(c.blend, plat::kBlendLight);
    EXPECT_DOUBLE_EQ(c.rotation, 30);
    EXPECT_DOUBLE_EQ(c.scaleX, 2);
    EXPECT_DOUBLE_EQ(c.scaleY, 0.5);
  }
}

// Text lights pixels only inside its TextWidth x TextHeight box at x,y.
void ExpectTextInBox(const std::string& text, int x, int y) {
  plat::Cls();
  plat::SetColor(255, 200, 0);
  plat::DrawText(text, x, y);
  int inside = 0;
  EXPECT_FALSE(GfxTest::LitOutside(x, y, x + plat::TextWidth(text), y + plat::TextHeight(), &inside))
      << text;
  EXPECT_GT(inside, 10) << text;
}

using TextTest = GfxTest;

TEST_F(TextTest, DefaultFontDrawsReadableGlyphsInsideItsBox) {
  plat::SetImageFont(0);
  EXPECT_EQ(plat::GetImageFont(), 0);
  EXPECT_GE(plat::TextHeight(), 12);
  EXPECT_EQ(plat::TextWidth(""), 0);
  EXPECT_EQ(plat::TextWidth("AB"), 2 * plat::TextWidth("A"));
  ExpectTextInBox("Hg|", 3, 4);
  // Coloured by the draw colour, and every printable character has a picture.
  EXPECT_TRUE(Near(Px(3 + 1 + 1, 4 + 2 + 1), {255, 200, 0})) << "top-left stroke of H";
  for (int c = 33; c < 127; ++c) {
    plat::Cls();
    plat::DrawText(std::string(1, static_cast<char>(c)), 0, 0);
    int inside = 0;
    EXPECT_TRUE(LitOutside(0, 0, 0, 0, &inside)) << "no picture for " << static_cast<char>(c);
  }
}

TEST_F(TextTest, TrueTypeGlyphsFitTheirBoxAndHaveWidths) {
  std::string path = TrueTypePath();
  if (path.empty()) GTEST_SKIP() << "no TrueType font on this machine";
  plat::Font font = plat::LoadImageFont(path, 14, 4);
  ASSERT_NE(font, 0);
  plat::SetImageFont(font);
  EXPECT_EQ(plat::GetImageFont(), font);
  EXPECT_EQ(plat::TextHeight(), 14) << "the pixel size is the line height, not the em";
  EXPECT_GT(plat::TextWidth("WWW"), plat::TextWidth("iii"));
  EXPECT_GT(plat::TextWidth("\xE9"), 0) << "Latin-1 e acute";
  ExpectTextInBox("Wag(j)", 2, 3);
  ExpectTextInBox("Score: 125", 5, 20);

  // The ink box holds every lit pixel, and is tighter than the line box.
  int l = 0, t = 0, r = 0, b = 0;
  ASSERT_TRUE(plat::TextInkBox("Wag(j)", l, t, r, b));
  plat::Cls();
  plat::DrawText("Wag(j)", 2, 3);
  int inside = 0;
  EXPECT_FALSE(LitOutside(2 + l, 3 + t, 2 + r, 3 + b, &inside));
  EXPECT_GT(t, 0);
  EXPECT_LT(r - l, plat::TextWidth("Wag(j)"));
  ASSERT_TRUE(plat::TextInkBox("-", l, t, r, b));
  EXPECT_GT(t, plat::TextHeight() / 4) << "a dash is inked in the middle of its line";
  EXPECT_LT(b, plat::TextHeight() * 3 / 4);
  EXPECT_FALSE(plat::TextInkBox("  ", l, t, r, b));

  // Anti-aliased: some edge pixels are neither off nor fully lit.
  plat::Cls();
  plat::SetColor(255, 255, 255);
  plat::DrawText("O", 10, 10);
  std::vector<uint8_t> buf(kW * kH * 4);
  plat::CurrentBackend().renderer()->ReadPixels(0, 0, kW, kH, buf.data());
  int partial = 0;
  for (size_t i = 0; i < buf.size(); i += 4) partial += buf[i] > 20 && buf[i] < 235;
  EXPECT_GT(partial, 3);

  // Scale applies to text: twice as tall lights pixels over twice the height.
  plat::Cls();
  plat::SetScale(2, 2);
  plat::DrawText("I", 0, 0);
  plat::SetScale(1, 1);
  EXPECT_TRUE(LitOutside(0, 0, kW, plat::TextHeight(), &inside));

  plat::FreeFont(font);
  EXPECT_EQ(plat::GetImageFont(), 0) << "a freed font falls back to the default";
  ExpectTextInBox("ok", 1, 1);
}

TEST_F(TextTest, UnreadableFontFilesGiveNoneAndTheDefaultFontDraws) {
  EXPECT_EQ(plat::LoadImageFont(Path("missing.ttf"), 16), 0);
  std::ofstream(Path("junk.ttf")) << "not a font";
  EXPECT_EQ(plat::LoadImageFont(Path("junk.ttf"), 16), 0);
  std::string path = TrueTypePath();
  if (!path.empty()) {
    EXPECT_EQ(plat::LoadImageFont(path, 0), 0);
    EXPECT_EQ(plat::LoadImageFont(path, -3), 0);
  }
  plat::SetImageFont(12345);
  EXPECT_EQ(plat::GetImageFont(), 0);
  ExpectTextInBox("Still here", 0, 0);
}

TEST_F(TextTest, ImagesAndFontsSurviveReopeningTheDisplay) {
  plat::Image img = plat::CreateImage(2, 2, 1, 0);
  plat::SetColor(0, 255, 0);
  plat::DrawRect(0, 0, 2, 2);
  plat::GrabImage(img, 0, 0);
  std::string path = TrueTypePath();
  plat::Font font = path.empty() ? 0 : plat::LoadImageFont(path, 12, 4);
  plat::SetImageFont(font);
  plat::DrawText("x", 20, 20);  // uploads the atlas to the first display
  plat::CloseDisplay();
  ASSERT_TRUE(plat::OpenDisplay(kW, kH, 0, 60, 0));
  plat::SetColor(255, 255, 255);
  plat::DrawImage(img, 10, 10);
  EXPECT_TRUE(Near(Px(10, 10), {0, 255, 0})) << Px(10, 10);
  EXPECT_TRUE(Near(Px(11, 11), {0, 255, 0}));
  ExpectTextInBox("Again", 4, 4);
  // And on a fresh backend too.
  backend_ = &plat::UseHeadless();
  ASSERT_TRUE(plat::OpenDisplay(kW, kH, 0, 60, 0));
  plat::SetColor(255, 255, 255);
  plat::DrawImage(img, 10, 10);
  EXPECT_TRUE(Near(Px(10, 10), {0, 255, 0})) << Px(10, 10);
  ExpectTextInBox("Again", 4, 4);
}

TEST_F(TextTest, PresentedTextReachesTheFrontBuffer) {
  plat::DrawText("Flip", 0, 0);
  plat::Flip(0);
  plat::Cls();
  std::vector<uint8_t> front = backend_->FrontBufferPixels();
  ASSERT_EQ(front.size(), static_cast<size_t>(kW * kH * 4));
  int lit = 0;
  for (size_t i = 0; i < front.size(); i += 4) lit += front[i] > 0;
  EXPECT_GT(lit, 10);
}

}  // namespace
