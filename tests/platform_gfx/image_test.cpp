// Images and pixmaps through plat::, drawn by the headless backend.
#include <fstream>

#include "gfx_fixture.h"

namespace {

using gfxtest::GfxTest;
using gfxtest::Near;
using gfxtest::Rgb;
using gfxtest::WriteRawPng;
using gfxtest::WriteRgbaPng;

constexpr uint32_t kRed = 0xFF0000FF, kGreen = 0x00FF00FF, kBlue = 0x0000FFFF, kBlack = 0x000000FF;

using ImageTest = GfxTest;

TEST_F(ImageTest, HandlePointIsPlacedAndImageScaledAndRotatedAboutIt) {
  ASSERT_TRUE(WriteRgbaPng(Path("bar.png"), 4, 2, std::vector<uint32_t>(8, kRed)));
  plat::Image img = plat::LoadImage(Path("bar.png"), plat::kImagePlain);
  ASSERT_NE(img, 0);
  EXPECT_EQ(plat::ImageWidth(img), 4);
  EXPECT_EQ(plat::ImageHeight(img), 2);
  EXPECT_EQ(plat::ImageFrames(img), 1);

  // Default handle: top-left corner at x,y.
  plat::DrawImage(img, 5, 5);
  EXPECT_TRUE(Near(Px(5, 5), {255, 0, 0}));
  EXPECT_TRUE(Near(Px(8, 6), {255, 0, 0}));
  EXPECT_TRUE(Near(Px(9, 6), {0, 0, 0}));
  EXPECT_TRUE(Near(Px(5, 7), {0, 0, 0}));

  // Centre handle, scale 2, 90 degrees clockwise: 8x4 turned upright on (40,24).
  plat::Cls();
  plat::MidHandle(img);
  EXPECT_DOUBLE_EQ(plat::ImageHandleX(img), 2);
  EXPECT_DOUBLE_EQ(plat::ImageHandleY(img), 1);
  plat::SetScale(2, 2);
  plat::SetRotation(90);
  plat::DrawImage(img, 40, 24);
  int inside = 0;
  EXPECT_FALSE(LitOutside(38, 20, 42, 28, &inside));
  EXPECT_EQ(inside, 4 * 8);

  // A handle off the image: rotation turns the image about that point.
  plat::Cls();
  plat::SetImageHandle(img, 0, 2);  // bottom-left corner
  plat::SetScale(1, 1);
  plat::SetRotation(180);
  plat::DrawImage(img, 20, 20);  // now extends left of x=20 and below y=20
  EXPECT_FALSE(LitOutside(16, 20, 20, 22, &inside));
  EXPECT_EQ(inside, 8);
}

TEST_F(ImageTest, AutoMidHandleCentresNewImagesOnly) {
  plat::Image before = plat::CreateImage(6, 4);
  plat::AutoMidHandle(true);
  plat::Image after = plat::CreateImage(6, 4);
  EXPECT_DOUBLE_EQ(plat::ImageHandleX(before), 0);
  EXPECT_DOUBLE_EQ(plat::ImageHandleX(after), 3);
  EXPECT_DOUBLE_EQ(plat::ImageHandleY(after), 2);
}

TEST_F(ImageTest, MaskedFlagMakesExactBlackTransparent) {
  ASSERT_TRUE(WriteRgbaPng(Path("m.png"), 2, 1, {kBlack, 0x010000FF}));
  for (int flags : {int{plat::kImageMasked}, int{plat::kImagePlain}}) {
    plat::Cls();
    plat::SetColor(0, 0, 255);
    plat::DrawRect(0, 0, 10, 10);
    plat::SetColor(255, 255, 255);
    plat::Image img = plat::LoadImage(Path("m.png"), flags);
    ASSERT_NE(img, 0);
    plat::DrawImage(img, 2, 2);
    Rgb black = flags ? Rgb{0, 0, 255} : Rgb{0, 0, 0};
    EXPECT_TRUE(Near(Px(2, 2), black)) << "flags " << flags;
    EXPECT_TRUE(Near(Px(3, 2), {1, 0, 0})) << "a nearly black pixel stays";
  }
}

TEST_F(ImageTest, DecodesEveryColourTypeToRgba) {
  // 2x1 images: red-ish then half-transparent or dark, in several encodings.
  std::vector<png_color> palette = {{255, 0, 0}, {0, 0, 255}};
  struct Case {
    const char* name;
    int type, depth;
    std::vector<uint8_t> data;
    uint32_t p0, p1;
  } cases[] = {
      {"rgb8", PNG_COLOR_TYPE_RGB, 8, {255, 0, 0, 0, 0, 255}, kRed, kBlue},
      {"gray8", PNG_COLOR_TYPE_GRAY, 8, {200, 10}, 0xC8C8C8FF, 0x0A0A0AFF},
      {"grayalpha8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, {200, 255, 10, 0}, 0xC8C8C8FF, 0x0A0A0A00},
      {"gray1", PNG_COLOR_TYPE_GRAY, 1, {0x80}, 0xFFFFFFFF, 0x000000FF},
      {"rgb16", PNG_COLOR_TYPE_RGB, 16, {0x80, 0x80, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF}, 0x800000FF,
       0xFF00FFFF},
      {"palette", PNG_COLOR_TYPE_PALETTE, 8, {0, 1}, kRed, kBlue},
  };
  for (const Case& c : cases) {
    std::string path = Path(std::string(c.name) + ".png");
    ASSERT_TRUE(WriteRawPng(path, 2, 1, c.type, c.depth, c.data, c.type == PNG_COLOR_TYPE_PALETTE ? palette
                                                                                               : std::vector<png_color>{}));
    plat::Pixmap p = plat::LoadPixmap(path);
    ASSERT_NE(p, 0) << c.name;
    EXPECT_EQ(plat::PixmapPixel(p, 0, 0), c.p0) << c.name;
    EXPECT_EQ(plat::PixmapPixel(p, 1, 0), c.p1) << c.name;
    plat::FreePixmap(p);
  }
}

TEST_F(ImageTest, BadFilesGiveNone) {
  ASSERT_TRUE(WriteRgbaPng(Path("good.png"), 16, 16, std::vector<uint32_t>(256, kGreen)));
  std::ifstream in(Path("good.png"), std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::ofstream(Path("truncated.png"), std::ios::binary) << bytes.substr(0, bytes.size() / 2);
  std::ofstream(Path("header_only.png"), std::ios::binary) << bytes.substr(0, 8);
  std::ofstream(Path("text.png"), std::ios::binary) << "this is not a picture\n";
  std::ofstream(Path("empty.png"), std::ios::binary);
  for (const char* name : {"missing.png", "truncated.png", "header_only.png", "text.png", "empty.png", ""}) {
    std::string path = Path(name);  // "" names the folder itself
    EXPECT_EQ(plat::LoadImage(path), 0) << name;
    EXPECT_EQ(plat::LoadAnimImage(path, 4, 4, 0, 2), 0) << name;
    EXPECT_EQ(plat::LoadPixmap(path), 0) << name;
  }
  // None is harmless everywhere.
  plat::DrawImage(0, 1, 1);
  plat::FreeImage(0);
  EXPECT_EQ(plat::ImageWidth(0), 0);
  EXPECT_EQ(plat::PixmapPixel(0, 0, 0), 0u);
  EXPECT_FALSE(plat::SavePixmapPNG(0, Path("x.png"), 9));
}

TEST_F(ImageTest, AnimStripIsCutLeftToRightTopToBottom) {
  // A 3x2 grid of 2x2 cells, each one colour; cell k has red = 10 * (k + 1).
  std::vector<uint32_t> px(6 * 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) px[y * 6 + x] = (uint32_t(10 * ((y / 2) * 3 + x / 2 + 1)) << 24) | 0xFF;
  }
  ASSERT_TRUE(WriteRgbaPng(Path("sheet.png"), 6, 4, px));
  plat::Image img = plat::LoadAnimImage(Path("sheet.png"), 2, 2, 1, 4, plat::kImagePlain);
  ASSERT_NE(img, 0);
  EXPECT_EQ(plat::ImageFrames(img), 4);
  EXPECT_EQ(plat::ImageWidth(img), 2);
  for (int f = 0; f < 4; ++f) {
    plat::DrawImage(img, 10 * f, 0, f);
    EXPECT_TRUE(Near(Px(10 * f + 1, 1), {10 * (f + 2), 0, 0})) << "frame " << f;
  }
  // Bad frames draw nothing.
  plat::Cls();
  plat::DrawImage(img, 0, 0, 4);
  plat::DrawImage(img, 0, 0, -1);
  int inside = 0;
  EXPECT_FALSE(LitOutside(0, 0, 0, 0, &inside));

  // Fewer cells than asked: the ones that fit; none if not even one.
  EXPECT_EQ(plat::ImageFrames(plat::LoadAnimImage(Path("sheet.png"), 2, 2, 4, 10, plat::kImagePlain)), 2);
  EXPECT_EQ(plat::LoadAnimImage(Path("sheet.png"), 2, 2, 6, 1, plat::kImagePlain), 0);
  EXPECT_EQ(plat::LoadAnimImage(Path("sheet.png"), 8, 2, 0, 1, plat::kImagePlain), 0);
  EXPECT_EQ(plat::LoadAnimImage(Path("sheet.png"), 0, 2, 0, 1, plat::kImagePlain), 0);
}

TEST_F(ImageTest, FilteredFramesDoNotBleedIntoNeighbours) {
  // Two frames side by side in the sheet: red then green.
  std::vector<uint32_t> px = {kRed, kRed, kGreen, kGreen, kRed, kRed, kGreen, kGreen};
  ASSERT_TRUE(WriteRgbaPng(Path("two.png"), 4, 2, px));
  plat::Image img = plat::LoadAnimImage(Path("two.png"), 2, 2, 0, 2, plat::kImageFiltered);
  ASSERT_NE(img, 0);
  plat::SetScale(8, 8);
  plat::SetRotation(3);
  plat::DrawImage(img, 10, 10, 0);
  std::vector<uint8_t> buf(kW * kH * 4);
  plat::CurrentBackend().renderer()->ReadPixels(0, 0, kW, kH, buf.data());
  int red = 0;
  for (size_t i = 0; i < buf.size(); i += 4) {
    EXPECT_EQ(buf[i + 1], 0) << "green leaked at pixel " << i / 4;
    if (buf[i] > 200) ++red;
  }
  EXPECT_GT(red, 150);
}

TEST_F(ImageTest, GrabImageCopiesTheBackBuffer) {
  plat::SetColor(0, 255, 0);
  plat::DrawRect(10, 10, 3, 2);
  plat::Image img = plat::CreateImage(4, 4, 2, 0);
  ASSERT_NE(img, 0);
  plat::GrabImage(img, 9, 9, 1);
  plat::Cls();
  plat::SetColor(255, 255, 255);
  plat::DrawImage(img, 30, 30, 1);
  EXPECT_TRUE(Near(Px(30, 30), {0, 0, 0}));
  EXPECT_TRUE(Near(Px(31, 31), {0, 255, 0}));
  EXPECT_TRUE(Near(Px(33, 32), {0, 255, 0}));
  EXPECT_TRUE(Near(Px(31, 33), {0, 0, 0}));
  EXPECT_EQ(plat::CreateImage(0, 4), 0);
  EXPECT_EQ(plat::CreateImage(4, 4, 0), 0);
  EXPECT_EQ(plat::CreateImage(100000, 100000), 0);
}

TEST_F(ImageTest, FreedImageDrawsNothing) {
  plat::Image img = plat::CreateImage(4, 4, 1, 0);
  plat::FreeImage(img);
  plat::DrawImage(img, 0, 0);
  EXPECT_EQ(plat::ImageWidth(img), 0);
  plat::FreeImage(img);  // twice is harmless
}

TEST_F(ImageTest, PngRoundTripIsExactAndLevelNineIsSmaller) {
  // Stripes and a gradient: compressible, with every channel exercised.
  for (int i = 0; i < 16; ++i) {
    plat::SetColor(i * 16, 255 - i * 16, (i * 37) & 255);
    plat::SetAlpha(1);
    plat::DrawRect(i * 4, 0, 4, kH);
  }
  plat::Pixmap shot = plat::GrabPixmap(0, 0, kW, kH);
  ASSERT_NE(shot, 0);
  ASSERT_EQ(plat::PixmapWidth(shot), kW);
  ASSERT_TRUE(plat::SavePixmapPNG(shot, Path("l9.png"), 9));
  ASSERT_TRUE(plat::SavePixmapPNG(shot, Path("l0.png"), 0));
  EXPECT_LT(std::filesystem::file_size(Path("l9.png")), std::filesystem::file_size(Path("l0.png")));
  plat::Pixmap back = plat::LoadPixmap(Path("l9.png"));
  ASSERT_NE(back, 0);
  ASSERT_EQ(plat::PixmapWidth(back), kW);
  ASSERT_EQ(plat::PixmapHeight(back), kH);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) ASSERT_EQ(plat::PixmapPixel(back, x, y), plat::PixmapPixel(shot, x, y)) << x << "," << y;
  }
  EXPECT_EQ(plat::PixmapPixel(shot, 5, 0), 0x10EF25FFu);
  EXPECT_EQ(plat::PixmapPixel(shot, kW, 0), 0u) << "outside the pixmap";
  EXPECT_FALSE(plat::SavePixmapPNG(shot, Path("no/such/folder/x.png"), 9));
  EXPECT_FALSE(plat::SavePixmapPNG(shot, dir_.string(), 9)) << "a folder is not writable as a file";
}

TEST_F(ImageTest, NothingDrawsOrGrabsWithoutADisplay) {
  plat::Image img = plat::CreateImage(2, 2, 1, 0);
  plat::CloseDisplay();
  plat::DrawImage(img, 0, 0);
  plat::DrawRect(0, 0, 5, 5);
  plat::GrabImage(img, 0, 0);
  EXPECT_EQ(plat::GrabPixmap(0, 0, 4, 4), 0);
  EXPECT_EQ(plat::ImageWidth(img), 2);
}

}  // namespace
