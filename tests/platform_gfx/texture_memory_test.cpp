// What fonts and images hold in memory: glyph pictures only once drawn, no pixels
// of a file's image once uploaded, and textures given back when idle. Each is
// checked against the picture it must still give: the same pixels after a display
// reopen and after an idle texture is made again.
#include "gfx_fixture.h"
#include "platform/render/gfx_internal.h"

namespace {

using gfxtest::GfxTest;
using gfxtest::Near;

std::string GameFont() { return std::string(PUFFWICK_SOURCE_DIR) + "/Files/Common/Blue Highway.ttf"; }

std::vector<uint8_t> Screen() {
  std::vector<uint8_t> buf(GfxTest::kW * GfxTest::kH * 4);
  plat::CurrentBackend().renderer()->ReadPixels(0, 0, GfxTest::kW, GfxTest::kH, buf.data());
  return buf;
}

// Draws `text` in `font` and an image's two frames on a cleared screen; returns the pixels.
std::vector<uint8_t> DrawScene(plat::Font font, plat::Image image) {
  plat::Cls();
  plat::SetColor(255, 220, 90);
  plat::SetImageFont(font);
  plat::DrawText("Puffwick 0123", 3.5, 2.25);
  plat::SetColor(255, 255, 255);
  if (image) {
    plat::DrawImage(image, 4, 38, 0);
    plat::DrawImage(image, 20, 38, 1);
  }
  return Screen();
}

// A 2-frame sheet of 8x8 cells: frame 0 red, frame 1 blue, with a green dot.
std::string WriteSheet(const GfxTest& t) {
  std::vector<uint32_t> px(16 * 8);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) px[y * 16 + x] = x < 8 ? 0xFF0000FFu : 0x0000FFFFu;
  }
  px[3 * 16 + 11] = 0x00FF00FFu;
  const std::string path = t.Path("sheet.png");
  EXPECT_TRUE(gfxtest::WriteRgbaPng(path, 16, 8, px));
  return path;
}

using TextureMemoryTest = GfxTest;

TEST_F(TextureMemoryTest, AFontHoldsGlyphPicturesOnlyOnceDrawn) {
  plat::Font font = plat::LoadImageFont(GameFont(), 48, 4);
  ASSERT_NE(font, 0);
  const plat::gfx::FontData& data = plat::gfx::ResolveFont(font);
  plat::SetImageFont(font);
  // Measuring needs no pictures.
  EXPECT_GT(plat::TextWidth("Loopery"), plat::TextWidth("Loop"));
  EXPECT_GE(plat::TextHeight(), 48);
  EXPECT_LE(data.atlas.h, 1) << "a measured font renders nothing";
  EXPECT_EQ(data.atlas.texture, 0);

  plat::DrawText("Loop", 0, 0);
  const int rows = data.atlas.h;
  EXPECT_GT(rows, 40) << "the drawn glyphs have their shelf";
  EXPECT_NE(data.atlas.texture, 0);
  EXPECT_TRUE(data.atlas.rgba.empty()) << "once uploaded, the atlas keeps no pixels of its own";
  plat::DrawText("pooL", 0, 0);
  EXPECT_EQ(data.atlas.h, rows) << "the same letters again take no room";
  EXPECT_FALSE(data.inAtlas['Z']);
  plat::DrawText("ABCDEFGHIJKLMNOPQRSTUVWXYZ", 0, 0);
  EXPECT_TRUE(data.inAtlas['Z']);
  EXPECT_GT(data.atlas.h, rows) << "new letters do";
  plat::FreeFont(font);
}

TEST_F(TextureMemoryTest, AnImageFromAFileKeepsNoPixelsOnceUploaded) {
  plat::Image image = plat::LoadAnimImage(WriteSheet(*this), 8, 8, 0, 2, plat::kImagePlain);
  ASSERT_NE(image, 0);
  const plat::gfx::ImageData* data = plat::gfx::FindImage(image);
  EXPECT_TRUE(data->store.rgba.empty()) << "nothing decoded is kept before a draw";
  plat::DrawImage(image, 0, 0, 1);
  EXPECT_NE(data->store.texture, 0);
  EXPECT_TRUE(data->store.rgba.empty());
  EXPECT_TRUE(Near(Px(0, 0), {0, 0, 255}));
  EXPECT_TRUE(Near(Px(3, 3), {0, 255, 0}));
  // A made image keeps its pixels: there is no file to read them from.
  plat::Image made = plat::CreateImage(4, 4, 1, 0);
  plat::DrawImage(made, 0, 0);
  EXPECT_FALSE(plat::gfx::FindImage(made)->store.rgba.empty());
}

// The same pixels after the display is reopened and after the clean-up step has
// given back textures left undrawn (both make the textures again).
TEST_F(TextureMemoryTest, TextAndImagesDrawTheSamePixelsWhenMadeAgain) {
  plat::Font font = plat::LoadImageFont(GameFont(), 20, 4);
  ASSERT_NE(font, 0);
  plat::Image image = plat::LoadAnimImage(WriteSheet(*this), 8, 8, 0, 2, plat::kImageFiltered);
  ASSERT_NE(image, 0);
  const std::vector<uint8_t> first = DrawScene(font, image);

  plat::CloseDisplay();
  ASSERT_TRUE(plat::OpenDisplay(kW, kH, 0, 60, 0));
  plat::SetVirtualResolution(kW, kH);
  EXPECT_TRUE(DrawScene(font, image) == first) << "after a display reopen";

  const plat::gfx::FontData& data = plat::gfx::ResolveFont(font);
  const plat::gfx::ImageData* img = plat::gfx::FindImage(image);
  plat::Image kept = plat::CreateImage(4, 4, 1, 0);
  plat::DrawImage(kept, 0, 0);
  for (int step = 0; step < 10; ++step) plat::CollectMemory();
  EXPECT_NE(data.atlas.texture, 0) << "recently drawn textures stay";
  long long freed = 0;
  for (int step = 0; step < 200; ++step) freed += plat::CollectMemory();
  EXPECT_EQ(data.atlas.texture, 0) << "an idle font texture is given back";
  EXPECT_EQ(img->store.texture, 0) << "an idle image texture is given back";
  EXPECT_NE(plat::gfx::FindImage(kept)->store.texture, 0) << "one that cannot be made again stays";
  EXPECT_GE(freed, data.atlas.w * data.atlas.h + img->store.w * img->store.h * 4);
  EXPECT_TRUE(DrawScene(font, image) == first) << "after the idle textures were given back";
}

TEST_F(TextureMemoryTest, GrabbingIntoAFileImageKeepsItsOtherFrames) {
  plat::Image image = plat::LoadAnimImage(WriteSheet(*this), 8, 8, 0, 2, plat::kImagePlain);
  ASSERT_NE(image, 0);
  plat::DrawImage(image, 0, 0, 0);  // uploaded: the pixels are let go
  plat::Cls();
  plat::SetColor(255, 255, 0);
  plat::DrawRect(40, 30, 8, 8);
  plat::GrabImage(image, 40, 30, 0);
  plat::CloseDisplay();  // the grabbed picture must outlive its texture
  ASSERT_TRUE(plat::OpenDisplay(kW, kH, 0, 60, 0));
  plat::SetVirtualResolution(kW, kH);
  plat::SetColor(255, 255, 255);
  plat::DrawImage(image, 0, 0, 0);
  plat::DrawImage(image, 20, 0, 1);
  EXPECT_TRUE(Near(Px(2, 2), {255, 255, 0})) << Px(2, 2);
  EXPECT_TRUE(Near(Px(20, 0), {0, 0, 255})) << Px(20, 0);
  EXPECT_TRUE(Near(Px(23, 3), {0, 255, 0})) << Px(23, 3);
}

}  // namespace
