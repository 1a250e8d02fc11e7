// The real backend and its three renderers, drawn into a window on a private X
// server and read back.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/render/gl/gl_renderer.h"
#include "testkit/xvfb.h"

namespace {

using plat::Quad;

Quad Rect(float x, float y, float w, float h, uint8_t r, uint8_t g, uint8_t b, float a = 1.0f,
          int blend = plat::kBlendSolid, int texture = 0, bool filtered = false) {
  Quad q{};
  q.v[0] = {x, y, 0, 0};
  q.v[1] = {x + w, y, 1, 0};
  q.v[2] = {x + w, y + h, 1, 1};
  q.v[3] = {x, y + h, 0, 1};
  q.r = r, q.g = g, q.b = b;
  q.a = a;
  q.blend = blend;
  q.texture = texture;
  q.filtered = filtered;
  return q;
}

using Rgba = std::array<int, 4>;

class RendererTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    std::string why;
    if (!realtest::EnsureXServer(&why)) GTEST_SKIP() << why;
    backend_ = plat::MakeSdlBackend();
    ASSERT_TRUE(backend_->Start());
    ASSERT_TRUE(backend_->Open(64, 48, 0, 60, 0, GetParam())) << "driver " << GetParam();
    r_ = backend_->renderer();
    ASSERT_NE(r_, nullptr);
    r_->Clear();
  }
  void TearDown() override {
    if (backend_) backend_->Shutdown();
  }

  Rgba At(int x, int y) {
    uint8_t p[4];
    r_->ReadPixels(x, y, 1, 1, p);
    return {p[0], p[1], p[2], p[3]};
  }
  void Draw(const Quad& q) { r_->DrawQuads(&q, 1); }

  std::unique_ptr<plat::Backend> backend_;
  plat::Renderer* r_ = nullptr;
};

// Opaque and within 3 levels of the wanted colour on each channel.
::testing::AssertionResult NearRgb(const Rgba& got, const Rgba& want) {
  bool ok = got[3] == 255;
  for (int i = 0; i < 3; ++i) ok = ok && std::abs(got[i] - want[i]) <= 3;
  if (ok) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got (" << got[0] << "," << got[1] << "," << got[2] << "," << got[3]
                                       << ") want (" << want[0] << "," << want[1] << "," << want[2] << ")";
}

TEST_P(RendererTest, BlendModesMixAsDocumented) {
  struct Case {
    const char* name;
    Rgba base;
    Rgba top;  // alpha as 0..100 percent
    int blend;
    Rgba want;
  };
  const Case cases[] = {
      {"solid ignores alpha", {255, 0, 0, 100}, {0, 255, 0, 50}, plat::kBlendSolid, {0, 255, 0, 255}},
      {"alpha mixes", {255, 0, 0, 100}, {0, 255, 0, 50}, plat::kBlendAlpha, {127, 128, 0, 255}},
      {"opaque alpha covers", {255, 0, 0, 100}, {0, 255, 0, 100}, plat::kBlendAlpha, {0, 255, 0, 255}},
      {"light adds", {100, 0, 0, 100}, {100, 50, 0, 50}, plat::kBlendLight, {150, 25, 0, 255}},
      {"light saturates", {200, 0, 0, 100}, {200, 0, 0, 100}, plat::kBlendLight, {255, 0, 0, 255}},
      {"shade multiplies", {200, 100, 50, 100}, {128, 255, 0, 100}, plat::kBlendShade, {100, 100, 0, 255}},
      {"mask draws opaque", {255, 0, 0, 100}, {0, 0, 255, 80}, plat::kBlendMask, {0, 0, 255, 255}},
      {"mask drops faint", {255, 0, 0, 100}, {0, 0, 255, 30}, plat::kBlendMask, {255, 0, 0, 255}},
  };
  r_->SetVirtualSize(128, 96);  // every case also goes through the scaling
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    r_->Clear();
    Draw(Rect(0, 0, 128, 96, c.base[0], c.base[1], c.base[2], c.base[3] / 100.0f));
    Draw(Rect(0, 0, 128, 96, c.top[0], c.top[1], c.top[2], c.top[3] / 100.0f, c.blend));
    EXPECT_TRUE(NearRgb(At(32, 24), c.want));
  }
}

TEST_P(RendererTest, TexturesSampleTopRowFirstAndMaskTransparentTexels) {
  // 2x2: red green / blue transparent.
  const uint8_t pixels[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 9, 9, 9, 0};
  int tex = r_->CreateTexture(2, 2, pixels, 0);
  ASSERT_GT(tex, 0);
  r_->SetVirtualSize(128, 96);
  Draw(Rect(0, 0, 128, 96, 255, 255, 0));  // yellow ground
  Draw(Rect(0, 0, 64, 48, 255, 255, 255, 1.0f, plat::kBlendMask, tex));  // 32x24 real pixels
  std::vector<uint8_t> shot(64 * 48 * 4);
  r_->ReadPixels(0, 0, 64, 48, shot.data());
  auto px = [&](int x, int y) {
    const uint8_t* p = &shot[(y * 64 + x) * 4];
    return Rgba{p[0], p[1], p[2], p[3]};
  };
  EXPECT_TRUE(NearRgb(px(4, 4), Rgba{255, 0, 0, 255}));
  EXPECT_TRUE(NearRgb(px(27, 4), Rgba{0, 255, 0, 255}));
  EXPECT_TRUE(NearRgb(px(4, 19), Rgba{0, 0, 255, 255}));
  EXPECT_TRUE(NearRgb(px(27, 19), Rgba{255, 255, 0, 255}));  // transparent texel
  EXPECT_TRUE(NearRgb(px(40, 30), Rgba{255, 255, 0, 255}));  // outside the quad
}

// Glyph coverage is one byte per texel: white at that alpha, tinted by the quad,
// also after an update of part of it and after a texture of RGBA texels.
TEST_P(RendererTest, AlphaTexturesAreTintedCoverage) {
  const uint8_t coverage[] = {255, 0, 128, 255};  // 2x2
  int tex = r_->CreateTexture(2, 2, coverage, plat::kTextureAlpha8);
  ASSERT_GT(tex, 0);
  const uint8_t rgba[] = {0, 0, 255, 255};
  int plain = r_->CreateTexture(1, 1, rgba, 0);
  r_->SetVirtualSize(128, 96);
  Draw(Rect(0, 0, 128, 96, 0, 0, 0));
  Draw(Rect(64, 0, 64, 48, 255, 255, 255, 1.0f, plat::kBlendAlpha, plain));
  Draw(Rect(0, 0, 64, 48, 255, 128, 0, 1.0f, plat::kBlendAlpha, tex));
  EXPECT_TRUE(NearRgb(At(4, 4), Rgba{255, 128, 0, 255}));
  EXPECT_TRUE(NearRgb(At(27, 4), Rgba{0, 0, 0, 255}));
  EXPECT_TRUE(NearRgb(At(4, 19), Rgba{128, 64, 0, 255}));
  EXPECT_TRUE(NearRgb(At(40, 4), Rgba{0, 0, 255, 255})) << "an RGBA texture after an alpha one";
  // Masked: covered texels drawn, empty ones leave the ground (the SDL renderers
  // take masked texels as wholly empty or wholly covered, so nothing between).
  Draw(Rect(0, 0, 64, 48, 0, 0, 255));
  Draw(Rect(0, 0, 64, 48, 0, 255, 0, 1.0f, plat::kBlendMask, tex));
  EXPECT_TRUE(NearRgb(At(4, 4), Rgba{0, 255, 0, 255}));
  EXPECT_TRUE(NearRgb(At(27, 4), Rgba{0, 0, 255, 255}));
  const uint8_t clear = 0;
  r_->UpdateTexture(tex, 0, 0, 1, 1, &clear);
  r_->Clear();
  Draw(Rect(0, 0, 64, 48, 255, 255, 255, 1.0f, plat::kBlendAlpha, tex));
  EXPECT_TRUE(NearRgb(At(4, 4), Rgba{0, 0, 0, 255}));
  EXPECT_TRUE(NearRgb(At(27, 19), Rgba{255, 255, 255, 255}));
}

TEST_P(RendererTest, ReadPixelsOutsideTheScreenGivesOpaqueBlack) {
  Draw(Rect(0, 0, 64, 48, 255, 0, 0));
  uint8_t p[4 * 4 * 4];
  r_->ReadPixels(62, 46, 4, 4, p);
  EXPECT_TRUE(NearRgb((Rgba{p[0], p[1], p[2], p[3]}), Rgba{255, 0, 0, 255}));
  const uint8_t* outside = &p[(3 * 4 + 3) * 4];
  EXPECT_TRUE(NearRgb((Rgba{outside[0], outside[1], outside[2], outside[3]}), Rgba{0, 0, 0, 255}));
  r_->ReadPixels(-10, -10, 1, 1, p);
  EXPECT_TRUE(NearRgb((Rgba{p[0], p[1], p[2], p[3]}), Rgba{0, 0, 0, 255}));
}

TEST_P(RendererTest, UpdatedTexturesDrawNewPixelsAndDestroyedOnesNothing) {
  const uint8_t red[] = {255, 0, 0, 255, 255, 0, 0, 255};
  const uint8_t green[] = {0, 255, 0, 255};
  int tex = r_->CreateTexture(2, 1, red, plat::kTextureFiltered | plat::kTextureMipmapped);
  ASSERT_GT(tex, 0);
  Draw(Rect(0, 0, 32, 48, 255, 255, 255, 1, plat::kBlendSolid, tex));
  r_->UpdateTexture(tex, 1, 0, 1, 1, green);  // the quad above keeps the old pixels
  Draw(Rect(32, 0, 32, 48, 255, 255, 255, 1, plat::kBlendSolid, tex));
  EXPECT_TRUE(NearRgb(At(20, 10), Rgba{255, 0, 0, 255}));
  EXPECT_TRUE(NearRgb(At(60, 10), Rgba{0, 255, 0, 255}));
  r_->UpdateTexture(tex, 1, 0, 5, 5, nullptr);  // ignored
  r_->UpdateTexture(tex + 40, 0, 0, 1, 1, green);
  r_->DestroyTexture(tex);
  r_->DestroyTexture(tex);
  r_->Clear();
  Draw(Rect(0, 0, 64, 48, 255, 255, 255, 1, plat::kBlendSolid, tex));
  EXPECT_TRUE(NearRgb(At(20, 10), Rgba{0, 0, 0, 255}));
  EXPECT_EQ(r_->CreateTexture(0, 4, red, 0), 0);
  EXPECT_EQ(r_->CreateTexture(1 << 20, 1, nullptr, 0), 0);
}

TEST_P(RendererTest, LaterQuadsWinAndVirtualSizeAppliesToLaterQuadsOnly) {
  const uint8_t white[] = {255, 255, 255, 255};
  int tex = r_->CreateTexture(1, 1, white, 0);
  Draw(Rect(0, 0, 10, 10, 255, 0, 0, 1, plat::kBlendAlpha, tex));
  Draw(Rect(0, 0, 10, 10, 0, 255, 0, 1, plat::kBlendAlpha));  // other texture: a new batch
  r_->SetVirtualSize(32, 24);  // 2 real pixels per unit from here on
  Draw(Rect(16, 0, 8, 8, 0, 0, 255, 1, plat::kBlendAlpha, tex));
  EXPECT_TRUE(NearRgb(At(5, 5), Rgba{0, 255, 0, 255}));
  EXPECT_TRUE(NearRgb(At(12, 12), Rgba{0, 0, 0, 255}));
  EXPECT_TRUE(NearRgb(At(46, 14), Rgba{0, 0, 255, 255}));
  EXPECT_TRUE(NearRgb(At(50, 20), Rgba{0, 0, 0, 255}));
}

TEST_P(RendererTest, ClearDropsPendingQuadsAndFramesPresent) {
  EXPECT_EQ(r_->Width(), 64);
  EXPECT_EQ(r_->Height(), 48);
  for (int frame = 0; frame < 3; ++frame) {
    Draw(Rect(0, 0, 64, 48, 200, 200, 200));
    r_->Clear();
    EXPECT_TRUE(NearRgb(At(30, 30), Rgba{0, 0, 0, 255}));
    r_->Present(frame == 1);
  }
}

std::string DriverName(const ::testing::TestParamInfo<int>& info) {
  static const char* const kNames[] = {"OpenGL", "SdlAccelerated", "SdlSoftware"};
  return kNames[info.param];
}

INSTANTIATE_TEST_SUITE_P(Drivers, RendererTest, ::testing::Values(0, 1, 2), DriverName);

// Our renderer's batching: one draw per run of equal state.
TEST(GlRendererBatching, OneDrawPerRunOfEqualState) {
  std::string why;
  if (!realtest::EnsureXServer(&why)) GTEST_SKIP() << why;
  auto backend = plat::MakeSdlBackend();
  ASSERT_TRUE(backend->Start());
  ASSERT_TRUE(backend->Open(64, 48, 0, 60, 0, plat::kDriverOpenGL));
  auto* gl = dynamic_cast<plat::GlRenderer*>(backend->renderer());
  ASSERT_NE(gl, nullptr);
  const uint8_t white[] = {255, 255, 255, 255};
  int tex = gl->CreateTexture(1, 1, white, 0);
  std::vector<Quad> quads;
  for (int i = 0; i < 1000; ++i) {
    // Plain quads share a batch whatever their filtering.
    quads.push_back(Rect(i % 60, 0, 4, 4, 255, 0, 0, 0.5f, plat::kBlendAlpha, 0, i % 2 == 0));
  }
  for (int i = 0; i < 20000; ++i) {  // more than one batch can hold
    quads.push_back(Rect(i % 60, 10, 4, 4, 0, 255, 0, 1, plat::kBlendAlpha, tex, false));
  }
  quads.push_back(Rect(0, 20, 4, 4, 0, 255, 0, 1, plat::kBlendLight, tex, false));
  long long before = gl->DrawCallCount();
  gl->DrawQuads(quads.data(), static_cast<int>(quads.size()));
  // The plain quads, nine full batches of 2048 and the rest of the textured ones;
  // the light quad waits.
  EXPECT_EQ(gl->DrawCallCount(), before + 11);
  backend->renderer()->FlushDrawing();  // as the frame cycle does before it sleeps
  EXPECT_EQ(gl->DrawCallCount(), before + 12);
  gl->Flush();
  EXPECT_EQ(gl->DrawCallCount(), before + 12);
}

}  // namespace
