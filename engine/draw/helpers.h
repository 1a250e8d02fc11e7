// Drawing helpers every screen uses: aligned text, clamped colours, named blend
// kinds, a drawing-state reset, and sprite calls that respect a per-frame budget.
#pragma once

#include <functional>
#include <string>

#include "platform/platform.h"

struct DrawState {
  // Per-frame sprite counts and their budgets, indexed by the counters below.
  // BeginFrameDrawing zeroes counts 1..10; the engine test sets limits.
  int DrawCount[20] = {};
  int DrawLimit[20] = {};
};
extern DrawState Draw;

// No sprite counted and no budget.
void ResetDraw();

// Sprite budget counters.
constexpr int kBudgetMain = 1;
constexpr int kBudgetGlow = 2;  // the additive copies of DrawGlowImage
constexpr int kBudgetParticles = 3;

// Values that stand for "argument left out"; callers may also pass them explicitly.
constexpr double kScaleYOmitted = -37171648.0;
constexpr double kAlphaOmitted = 37171648.0;

// Blend kinds as the screens name them.
enum BlendKind { kBlendKindSolid = 0, kBlendKindAlpha = 1, kBlendKindShade = 2, kBlendKindLight = 3 };

// Where (x, y) sits on the text: hAlign one of left, centre, right; vAlign one of
// top, middle, bottom.
constexpr int kAlignLeft = 0;
constexpr int kAlignCenter = 1;
constexpr int kAlignRight = 2;
constexpr int kAlignTop = 0;
constexpr int kAlignMiddle = 1;
constexpr int kAlignBottom = 2;

void DrawTextAligned(int x, int y, const std::string& text, int hAlign = kAlignLeft, int vAlign = kAlignTop);
void SetScaleXY(double x, double y = kScaleYOmitted);
void SetRotationDeg(double angle);
// Rotation 0, scale 1, white, alpha 1, alpha blending.
void ResetDrawState();
void SetBlendKind(int kind);
void SetColorAlpha(double r, double g, double b, double alpha = kAlphaOmitted);
// Draws a frame with the scaled image's top-left corner at (x, y), within the
// budget of `counter`.
void DrawImageCounted(plat::Image image, int x, int y, int frame, int counter);
// The image as a main sprite plus an additive glow copy (glowImage, or the image
// itself when none) scaled by glowScale at glowAlpha; the drawing state is kept.
void DrawGlowImage(plat::Image image, int x, int y, int frame, plat::Image glowImage, double glowScale,
                   double glowAlpha);
void BeginFrameDrawing(int clear);
// Counted calls draw nothing on frames that slow-system mode does not show.
bool FrameDrawable();

int ClampInt(int v, int lo, int hi);
double ClampReal(double v, double lo, double hi);
// Strictly inside: the border itself is outside.
bool MouseInRect(int x, int y, int w, int h);
// 1 if bit n - 1 of value is set.
int TestBit(int value, int n);

// Diagonal bands over the whole surface at -45 degrees: for i = 0, 10, ... up to
// Core.VirtualHeight a level rises by `step` from `start`, and `colour` sets each band's
// colour from it (alpha is left alone). The screens' backdrops.
void DrawDiagonalBands(double start, double step, const std::function<void(double level)>& colour);
// The backdrop of diagonal blue stripes that brighten downwards (splash, engine
// test, title screen).
void DrawStripes();
