#include "draw/helpers.h"

#include "core/settings_table.h"
#include "core/assets.h"
#include "core/state.h"

DrawState Draw;

void ResetDraw() { Draw = DrawState{}; }

void DrawTextAligned(int x, int y, const std::string& text, int hAlign, int vAlign) {
  if (hAlign == kAlignCenter) x -= plat::TextWidth(text) / 2;
  if (hAlign == kAlignRight) x -= plat::TextWidth(text);
  if (vAlign == kAlignMiddle) y -= plat::TextHeight() / 2;
  if (vAlign == kAlignBottom) y -= plat::TextHeight();
  plat::DrawText(text, x, y);
}

void SetScaleXY(double x, double y) {
  if (y == kScaleYOmitted) y = x;
  plat::SetScale(x, y);
}

void SetRotationDeg(double angle) { plat::SetRotation(angle); }

void ResetDrawState() {
  plat::SetRotation(0);
  plat::SetScale(1, 1);
  plat::SetColor(255, 255, 255);
  plat::SetAlpha(1.0);
  SetBlendKind(kBlendKindAlpha);
}

void SetBlendKind(int kind) {
  switch (kind) {
    case kBlendKindSolid: plat::SetBlend(plat::kBlendSolid); break;
    case kBlendKindAlpha: plat::SetBlend(plat::kBlendAlpha); break;
    case kBlendKindShade: plat::SetBlend(plat::kBlendShade); break;
    case kBlendKindLight: plat::SetBlend(plat::kBlendLight); break;
    default: break;
  }
}

void SetColorAlpha(double r, double g, double b, double alpha) {
  plat::SetColor(static_cast<int>(ClampReal(r, 0, 255)), static_cast<int>(ClampReal(g, 0, 255)),
                 static_cast<int>(ClampReal(b, 0, 255)));
  if (alpha != kAlphaOmitted) plat::SetAlpha(ClampReal(alpha, 0, 1));
}

bool FrameDrawable() {
  int slow = Core.Settings[slot::slowSystem];
  return slow == 0 || (slow == 1 && Core.FrameParity == 0);
}

// Spends one unit of a counter's budget; false when it is used up.
static bool TakeBudget(int counter) {
  if (counter < 0 || counter >= 20 || Draw.DrawCount[counter] >= Draw.DrawLimit[counter]) return false;
  Draw.DrawCount[counter]++;
  return true;
}

void DrawImageCounted(plat::Image image, int x, int y, int frame, int counter) {
  if (!FrameDrawable()) return;
  double sx, sy;
  plat::GetScale(sx, sy);
  if (!TakeBudget(counter)) return;
  plat::DrawImage(image, x + plat::ImageWidth(image) * sx / 2, y + plat::ImageHeight(image) * sy / 2, frame);
}

void DrawGlowImage(plat::Image image, int x, int y, int frame, plat::Image glowImage, double glowScale,
                   double glowAlpha) {
  if (!FrameDrawable()) return;
  double sx, sy;
  plat::GetScale(sx, sy);
  double a0 = plat::GetAlpha();
  int blend = plat::GetBlend();
  // The glow is centred on the main sprite even when the glow image has another size.
  double px = x + plat::ImageWidth(image) * sx / 2;
  double py = y + plat::ImageHeight(image) * sy / 2;
  if (TakeBudget(kBudgetMain)) plat::DrawImage(image, px, py, frame);
  plat::SetScale(sx * glowScale, sy * glowScale);
  plat::SetAlpha(a0 * glowAlpha);
  SetBlendKind(kBlendKindLight);
  if (TakeBudget(kBudgetGlow)) plat::DrawImage(glowImage != 0 ? glowImage : image, px, py, frame);
  plat::SetScale(sx, sy);
  plat::SetAlpha(a0);
  plat::SetBlend(blend);
}

void BeginFrameDrawing(int clear) {
  if (clear == 1) plat::Cls();
  for (int i = 1; i <= 10; i++) Draw.DrawCount[i] = 0;
}

int ClampInt(int v, int lo, int hi) {
  if (v > hi) v = hi;
  if (v < lo) v = lo;
  return v;
}

double ClampReal(double v, double lo, double hi) {
  double c = v <= hi ? v : hi;  // a NaN fails the test and gives hi
  return c >= lo ? c : lo;
}

bool MouseInRect(int x, int y, int w, int h) {
  // Wide arithmetic so that rectangles near the integer limits cannot overflow.
  long long mx = Core.MouseState.x, my = Core.MouseState.y;
  return mx > x && my > y && mx < static_cast<long long>(x) + w && my < static_cast<long long>(y) + h;
}

int TestBit(int value, int n) {
  if (n < 1 || n > 32) return 0;
  return (static_cast<unsigned>(value) >> (n - 1)) & 1u;
}

void DrawDiagonalBands(double start, double step, const std::function<void(double level)>& colour) {
  SetRotationDeg(-45);
  double level = start;
  for (int i = 0; i <= Core.VirtualHeight; i += 10) {
    level += step;
    colour(level);
    plat::DrawRect(-100, 3 * i, Core.VirtualWidth + 1800, 30);
  }
}

void DrawStripes() {
  DrawDiagonalBands(50, 0.5, [](double blue) { SetColorAlpha(0, 0, blue); });
}
