#include <cmath>
#include <limits>

#include "testkit/scratch.h"

namespace {

class DrawTest : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    ASSERT_TRUE(plat::OpenDisplay(800, 600, 0, 60, 0));
    plat::SetVirtualResolution(1280, 960);
    machine_->SetRecording(true);
    ResetDrawState();
    image_ = plat::CreateImage(40, 20, 4);
    glow_ = plat::CreateImage(80, 80, 4);
    ASSERT_NE(image_, 0);
    Draw.DrawLimit[kBudgetMain] = Draw.DrawLimit[kBudgetGlow] = Draw.DrawLimit[kBudgetParticles] = 1000;
  }

  std::vector<plat::DrawCall> Images() const {
    std::vector<plat::DrawCall> out;
    for (const plat::DrawCall& c : machine_->CurrentFrameCalls()) {
      if (c.kind == plat::DrawCall::kImage) out.push_back(c);
    }
    return out;
  }

  // Counts and recorded calls start afresh.
  void NextFrame() {
    BeginFrameDrawing(1);
    machine_->SetRecording(false);
    machine_->SetRecording(true);
  }

  plat::Image image_ = 0, glow_ = 0;
};

TEST_F(DrawTest, CountedDrawsStopAtTheBudgetUntilTheNextFrame) {
  Draw.DrawLimit[kBudgetMain] = 2;
  for (int i = 0; i < 3; i++) DrawImageCounted(image_, 10, 10, 0, kBudgetMain);
  EXPECT_EQ(Images().size(), 2u);
  EXPECT_EQ(Draw.DrawCount[kBudgetMain], 2);
  NextFrame();
  EXPECT_EQ(Draw.DrawCount[kBudgetMain], 0);
  for (int i = 0; i < 3; i++) DrawImageCounted(image_, 10, 10, 0, kBudgetMain);
  EXPECT_EQ(Images().size(), 2u);  // cleared with the screen, then two again
  Draw.DrawLimit[5] = 0;
  DrawImageCounted(image_, 10, 10, 0, 5);
  DrawImageCounted(image_, 10, 10, 0, 20);
  DrawImageCounted(image_, 10, 10, 0, -1);
  EXPECT_EQ(Images().size(), 2u);
}

TEST_F(DrawTest, CountedDrawPutsTheScaledTopLeftCornerAtThePoint) {
  SetScaleXY(2, 3);
  DrawImageCounted(image_, 100, 50, 2, kBudgetMain);
  ASSERT_EQ(Images().size(), 1u);
  plat::DrawCall c = Images()[0];
  EXPECT_DOUBLE_EQ(c.x, 100 + 40 * 2 / 2.0);
  EXPECT_DOUBLE_EQ(c.y, 50 + 20 * 3 / 2.0);
  EXPECT_EQ(c.frame, 2);
}

TEST_F(DrawTest, SlowSystemDrawsOnlyOnShownFrames) {
  struct Case {
    int slow, parity;
    size_t drawn;
  } cases[] = {{0, 0, 3}, {0, 1, 3}, {1, 0, 3}, {1, 1, 0}, {2, 0, 0}};
  for (const Case& c : cases) {
    NextFrame();
    Core.Settings[slot::slowSystem] = c.slow;
    Core.FrameParity = c.parity;
    DrawImageCounted(image_, 0, 0, 0, kBudgetMain);
    DrawGlowImage(image_, 0, 0, 0, 0, 1.1, 0.8);
    EXPECT_EQ(Images().size(), c.drawn) << "slow " << c.slow << " parity " << c.parity;
  }
}

TEST_F(DrawTest, GlowDrawsAnAdditiveCopyAndRestoresTheState) {
  SetScaleXY(2);
  plat::SetAlpha(0.5);
  SetBlendKind(kBlendKindShade);
  DrawGlowImage(image_, 100, 100, 1, glow_, 1.5, 0.4);
  std::vector<plat::DrawCall> calls = Images();
  ASSERT_EQ(calls.size(), 2u);
  const plat::DrawCall& main = calls[0];
  const plat::DrawCall& glow = calls[1];
  EXPECT_EQ(main.image, image_);
  EXPECT_DOUBLE_EQ(main.x, 140);
  EXPECT_DOUBLE_EQ(main.y, 120);
  EXPECT_EQ(main.blend, plat::kBlendShade);
  EXPECT_EQ(glow.image, glow_);
  EXPECT_EQ(glow.frame, 1);
  EXPECT_DOUBLE_EQ(glow.x, 140);  // centred on the main sprite despite its own size
  EXPECT_DOUBLE_EQ(glow.y, 120);
  EXPECT_DOUBLE_EQ(glow.scaleX, 3);
  EXPECT_DOUBLE_EQ(glow.scaleY, 3);
  EXPECT_DOUBLE_EQ(glow.alpha, 0.2);
  EXPECT_EQ(glow.blend, plat::kBlendLight);
  double sx, sy;
  plat::GetScale(sx, sy);
  EXPECT_DOUBLE_EQ(sx, 2);
  EXPECT_DOUBLE_EQ(sy, 2);
  EXPECT_DOUBLE_EQ(plat::GetAlpha(), 0.5);
  EXPECT_EQ(plat::GetBlend(), plat::kBlendShade);
}

TEST_F(DrawTest, GlowBudgetsAreSeparate) {
  Draw.DrawLimit[kBudgetMain] = 0;
  DrawGlowImage(image_, 0, 0, 0, 0, 1.1, 0.8);
  ASSERT_EQ(Images().size(), 1u);
  EXPECT_EQ(Images()[0].image, image_);  // the glow copy of the image itself
  EXPECT_EQ(Images()[0].blend, plat::kBlendLight);
  EXPECT_DOUBLE_EQ(Images()[0].x, 20);
  EXPECT_EQ(Draw.DrawCount[kBudgetGlow], 1);
  Draw.DrawLimit[kBudgetMain] = 10;
  Draw.DrawLimit[kBudgetGlow] = 1;
  DrawGlowImage(image_, 0, 0, 0, 0, 1.1, 0.8);
  EXPECT_EQ(Images().size(), 2u);
  EXPECT_EQ(Images()[1].blend, plat::kBlendAlpha);
}

TEST_F(DrawTest, StateSetters) {
  SetScaleXY(2);
  double sx, sy;
  plat::GetScale(sx, sy);
  EXPECT_EQ(std::make_pair(sx, sy), std::make_pair(2.0, 2.0));
  SetScaleXY(2, 3);
  plat::GetScale(sx, sy);
  EXPECT_EQ(std::make_pair(sx, sy), std::make_pair(2.0, 3.0));

  plat::SetAlpha(0.3);
  SetColorAlpha(300, -5, 128.9);
  int r, g, b;
  plat::GetColor(r, g, b);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 0);
  EXPECT_EQ(b, 128);
  EXPECT_DOUBLE_EQ(plat::GetAlpha(), 0.3);
  SetColorAlpha(1, 2, 3, kAlphaOmitted);
  EXPECT_DOUBLE_EQ(plat::GetAlpha(), 0.3);
  SetColorAlpha(1, 2, 3, 4);
  EXPECT_DOUBLE_EQ(plat::GetAlpha(), 1);
  SetColorAlpha(std::nan(""), 2, 3, -1);
  plat::GetColor(r, g, b);
  EXPECT_EQ(r, 255);
  EXPECT_DOUBLE_EQ(plat::GetAlpha(), 0);

  const std::pair<int, int> blends[] = {{0, plat::kBlendSolid},
                                        {1, plat::kBlendAlpha},
                                        {2, plat::kBlendShade},
                                        {3, plat::kBlendLight},
                                        {4, plat::kBlendLight},
                                        {-1, plat::kBlendLight}};
  for (auto [kind, mode] : blends) {
    SetBlendKind(kind);
    EXPECT_EQ(plat::GetBlend(), mode) << "kind " << kind;
  }

  SetRotationDeg(33);
  ResetDrawState();
  EXPECT_DOUBLE_EQ(plat::GetRotation(), 0);
  plat::GetScale(sx, sy);
  EXPECT_EQ(std::make_pair(sx, sy), std::make_pair(1.0, 1.0));
  plat::GetColor(r, g, b);
  EXPECT_EQ(r + g + b, 3 * 255);
  EXPECT_DOUBLE_EQ(plat::GetAlpha(), 1);
  EXPECT_EQ(plat::GetBlend(), plat::kBlendAlpha);
}

TEST_F(DrawTest, AlignedTextMovesByWholeOrHalfItsSize) {
  const std::string text = "Click Here to Start";
  int w = plat::TextWidth(text), h = plat::TextHeight();
  ASSERT_GT(w, 0);
  struct Case {
    int h, v, x, y;
  } cases[] = {
      {kAlignLeft, kAlignTop, 400, 300},
      {kAlignCenter, kAlignMiddle, 400 - w / 2, 300 - h / 2},
      {kAlignRight, kAlignBottom, 400 - w, 300 - h},
      {kAlignCenter, kAlignBottom, 400 - w / 2, 300 - h},  // each axis by its own argument
      {7, -1, 400, 300},  // unknown alignments leave the point where it is
  };
  for (const Case& c : cases) {
    NextFrame();
    DrawTextAligned(400, 300, text, c.h, c.v);
    ASSERT_EQ(machine_->CurrentFrameCalls().size(), 1u);
    EXPECT_DOUBLE_EQ(machine_->CurrentFrameCalls()[0].x, c.x);
    EXPECT_DOUBLE_EQ(machine_->CurrentFrameCalls()[0].y, c.y);
  }
}

TEST(Clamps, BoundsAndOrder) {
  EXPECT_EQ(ClampInt(5, 10, 0), 10);  // lower bound wins when the bounds cross
  EXPECT_EQ(ClampInt(-3, 0, 9), 0);
  EXPECT_EQ(ClampInt(12, 0, 9), 9);
  EXPECT_EQ(ClampInt(4, 0, 9), 4);
  EXPECT_DOUBLE_EQ(ClampReal(1.5, 0, 1), 1);
  EXPECT_DOUBLE_EQ(ClampReal(-0.5, 0, 1), 0);
  EXPECT_DOUBLE_EQ(ClampReal(0.25, 0, 1), 0.25);
  EXPECT_DOUBLE_EQ(ClampReal(std::nan(""), 0, 1), 1);
  EXPECT_DOUBLE_EQ(ClampReal(5, 10, 0), 10);
}

TEST(MouseInRect, BorderIsOutside) {
  Core.MouseState.x = 10;
  Core.MouseState.y = 20;
  EXPECT_TRUE(MouseInRect(9, 19, 2, 2));
  EXPECT_FALSE(MouseInRect(10, 19, 5, 5));  // on the left edge
  EXPECT_FALSE(MouseInRect(9, 20, 5, 5));   // on the top edge
  EXPECT_FALSE(MouseInRect(5, 15, 5, 10));  // on the right edge
  EXPECT_FALSE(MouseInRect(5, 15, 10, 5));  // on the bottom edge
  EXPECT_TRUE(MouseInRect(0, 0, std::numeric_limits<int>::max(), std::numeric_limits<int>::max()));
  Core.MouseState = MouseInfo{};
}

TEST(TestBit, OneBasedBits) {
  EXPECT_EQ(TestBit(5, 1), 1);
  EXPECT_EQ(TestBit(5, 2), 0);
  EXPECT_EQ(TestBit(5, 3), 1);
  EXPECT_EQ(TestBit(-1, 32), 1);
  EXPECT_EQ(TestBit(-1, 0), 0);
  EXPECT_EQ(TestBit(-1, 33), 0);
}

}  // namespace
