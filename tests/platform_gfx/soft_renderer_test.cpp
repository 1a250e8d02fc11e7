// The software renderer on its own: blending, coverage, sampling, and the lazy
// back/front frame handling.
#include <gtest/gtest.h>

#include "gfx_fixture.h"
#include "platform/render/soft/soft_renderer.h"

namespace {

using gfxtest::Near;
using gfxtest::Rgb;
using plat::Quad;

Quad MakeQuad(float x0, float y0, float x1, float y1, Rgb c, float a, int blend, int texture = 0,
              bool filtered = false) {
  Quad q{};
  q.v[0] = {x0, y0, 0, 0};
  q.v[1] = {x1, y0, 1, 0};
  q.v[2] = {x1, y1, 1, 1};
  q.v[3] = {x0, y1, 0, 1};
  q.r = static_cast<uint8_t>(c.r);
  q.g = static_cast<uint8_t>(c.g);
  q.b = static_cast<uint8_t>(c.b);
  q.a = a;
  q.blend = blend;
  q.texture = texture;
  q.filtered = filtered;
  return q;
}

Rgb Read(plat::Renderer& r, int x, int y) {
  uint8_t p[4];
  r.ReadPixels(x, y, 1, 1, p);
  return {p[0], p[1], p[2]};
}

struct BlendCase {
  const char* name;
  Rgb dst;
  Rgb src;
  float alpha;
  int blend;
  Rgb expected;
};

class SoftBlend : public ::testing::TestWithParam<BlendCase> {};

TEST_P(SoftBlend, CombinesSourceAndDestination) {
  const BlendCase& c = GetParam();
  auto r = plat::MakeSoftRendererImpl(8, 8);
  Quad under = MakeQuad(0, 0, 8, 8, c.dst, 1, plat::kBlendSolid);
  Quad over = MakeQuad(2, 2, 6, 6, c.src, c.alpha, c.blend);
  r->DrawQuads(&under, 1);
  r->DrawQuads(&over, 1);
  EXPECT_TRUE(Near(Read(*r, 3, 3), c.expected)) << Read(*r, 3, 3);
  EXPECT_TRUE(Near(Read(*r, 0, 0), c.dst)) << "outside the quad";
}

INSTANTIATE_TEST_SUITE_P(
    Modes, SoftBlend,
    ::testing::Values(
        BlendCase{"MaskBelowHalfSkipped", {10, 20, 30}, {200, 100, 0}, 0.4f, plat::kBlendMask, {10, 20, 30}},
        BlendCase{"MaskAboveHalfCopies", {10, 20, 30}, {200, 100, 0}, 0.6f, plat::kBlendMask, {200, 100, 0}},
        BlendCase{"SolidIgnoresAlpha", {10, 20, 30}, {200, 100, 0}, 0.2f, plat::kBlendSolid, {200, 100, 0}},
        BlendCase{"AlphaMixes", {0, 100, 200}, {200, 100, 0}, 0.5f, plat::kBlendAlpha, {100, 100, 100}},
        BlendCase{"AlphaZeroKeeps", {0, 100, 200}, {200, 100, 0}, 0.0f, plat::kBlendAlpha, {0, 100, 200}},
        BlendCase{"LightAdds", {100, 100, 100}, {200, 200, 40}, 0.5f, plat::kBlendLight, {200, 200, 120}},
        BlendCase{"LightClamps", {200, 10, 0}, {200, 10, 0}, 1.0f, plat::kBlendLight, {255, 20, 0}},
        BlendCase{"ShadeMultiplies", {200, 100, 50}, {128, 255, 0}, 1.0f, plat::kBlendShade, {100, 100, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SoftRenderer, QuadCoversPixelCentresOnceAlongSharedEdges) {
  auto r = plat::MakeSoftRendererImpl(8, 8);
  // Two half-transparent quads sharing the edge x=4; each pixel must be blended once,
  // including along each quad's own diagonal.
  Quad left = MakeQuad(1, 1, 4, 5, {255, 255, 255}, 0.5f, plat::kBlendAlpha);
  Quad right = MakeQuad(4, 1, 7, 5, {255, 255, 255}, 0.5f, plat::kBlendAlpha);
  r->DrawQuads(&left, 1);
  r->DrawQuads(&right, 1);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      bool in = x >= 1 && x < 7 && y >= 1 && y < 5;
      Rgb want = in ? Rgb{128, 128, 128} : Rgb{0, 0, 0};
      EXPECT_TRUE(Near(Read(*r, x, y), want)) << x << "," << y << " " << Read(*r, x, y);
    }
  }
}

TEST(SoftRenderer, VirtualSizeScalesToRealPixelsAndClipsOffscreen) {
  auto r = plat::MakeSoftRendererImpl(8, 8);
  r->SetVirtualSize(4, 4);
  Quad q = MakeQuad(1, 1, 2, 2, {255, 0, 0}, 1, plat::kBlendSolid);
  Quad off = MakeQuad(-100, -100, 100, 3.5f, {0, 0, 255}, 1, plat::kBlendAlpha);  // mostly off screen
  r->DrawQuads(&q, 1);
  EXPECT_TRUE(Near(Read(*r, 2, 2), {255, 0, 0}));
  EXPECT_TRUE(Near(Read(*r, 3, 3), {255, 0, 0}));
  EXPECT_TRUE(Near(Read(*r, 4, 4), {0, 0, 0}));
  r->DrawQuads(&off, 1);
  EXPECT_TRUE(Near(Read(*r, 7, 6), {0, 0, 255}));
  EXPECT_TRUE(Near(Read(*r, 7, 7), {0, 0, 0}));
  // Outside the screen reads as opaque black.
  uint8_t p[4] = {1, 1, 1, 1};
  r->ReadPixels(-1, 100, 1, 1, p);
  EXPECT_EQ(p[0] + p[1] + p[2], 0);
  EXPECT_EQ(p[3], 255);
}

TEST(SoftRenderer, SamplesNearestOrBilinearAndModulatesColour) {
  auto r = plat::MakeSoftRendererImpl(8, 2);
  const uint8_t texels[] = {0, 0, 0, 255, 255, 255, 255, 255};  // black | white
  int tex = r->CreateTexture(2, 1, texels, 0);
  ASSERT_GT(tex, 0);
  Quad nearest = MakeQuad(0, 0, 8, 1, {255, 255, 255}, 1, plat::kBlendSolid, tex, false);
  Quad linear = MakeQuad(0, 1, 8, 2, {255, 128, 255}, 1, plat::kBlendSolid, tex, true);
  r->DrawQuads(&nearest, 1);
  r->DrawQuads(&linear, 1);
  EXPECT_TRUE(Near(Read(*r, 3, 0), {0, 0, 0}));
  EXPECT_TRUE(Near(Read(*r, 4, 0), {255, 255, 255}));
  // Bilinear: a ramp between the texel centres (x 2..6), clamped at the ends; the
  // green channel is halved by the quad colour.
  EXPECT_TRUE(Near(Read(*r, 0, 1), {0, 0, 0}));
  Rgb mid = Read(*r, 3, 1);
  EXPECT_GT(mid.r, 60);
  EXPECT_LT(mid.r, 130);
  EXPECT_TRUE(Near(Read(*r, 7, 1), {255, 128, 255}));
}

TEST(SoftRenderer, PresentedFrameKeepsItsPicture) {
  auto r = plat::MakeSoftRendererImpl(4, 4);
  const uint8_t red[] = {255, 0, 0, 255};
  const uint8_t green[] = {0, 255, 0, 255};
  int tex = r->CreateTexture(1, 1, red, 0);
  Quad q = MakeQuad(0, 0, 4, 4, {255, 255, 255}, 1, plat::kBlendSolid, tex);
  r->DrawQuads(&q, 1);
  r->Present(false);
  // Changing the texture, clearing and destroying must not alter the shown frame,
  // even though it has not been rasterised yet.
  r->UpdateTexture(tex, 0, 0, 1, 1, green);
  r->Clear();
  std::vector<uint8_t> front = r->FrontPixels();
  ASSERT_EQ(front.size(), 4u * 4 * 4);
  EXPECT_EQ(front[0], 255);
  EXPECT_EQ(front[1], 0);
  EXPECT_TRUE(Near(Read(*r, 1, 1), {0, 0, 0})) << "the back buffer was cleared";
  r->DrawQuads(&q, 1);
  r->DestroyTexture(tex);
  EXPECT_TRUE(Near(Read(*r, 1, 1), {0, 255, 0})) << "drawn with the updated texture";
  // The back buffer keeps its contents after a present.
  r->Present(false);
  EXPECT_TRUE(Near(Read(*r, 2, 2), {0, 255, 0}));
  EXPECT_EQ(r->FrontPixels()[1], 255);
}

}  // namespace
