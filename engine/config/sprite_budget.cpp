#include "config/sprite_budget.h"

#include <string>

#include "config/display.h"
#include "config/settings.h"
#include "draw/helpers.h"
#include "platform/platform.h"
#include "frame/frame.h"
#include "core/log.h"

int TargetFps = 60;

namespace {

void DrawTestFrame(int sprites, int scale) {
  BeginFrameDrawing(1);
  ResetDrawState();
  DrawStripes();
  ResetDrawState();
  SetScaleXY(1.5);
  plat::DrawImage(LogoImage, 0.3 * VirtualWidth, 0.3 * VirtualHeight);
  plat::DrawImage(CommunityLogoImage, 0.7 * VirtualWidth, 0.7 * VirtualHeight);
  SetScaleXY(1);
  // Invisible but fully drawn: the renderer does all the work of a real sprite.
  plat::SetColor(0, 0, 0);
  plat::SetAlpha(0);
  plat::SetScale(scale, scale);
  for (int i = 0; i <= sprites; ++i) {
    plat::SetRotation(plat::Rand(1, 360));
    const int x = plat::Rand(1, VirtualWidth);
    const int y = plat::Rand(1, VirtualHeight);
    plat::DrawImage(IconsCrisp, x, y, 0);
  }
  EndFrame(0);
}

}  // namespace

void EngineTest(int target, int scale) {
  OverlayOn = 0;
  if (Settings[slot::slowSystem] == 1) target = 30;
  TargetFps = target;
  DrawLimit[kBudgetMain] = 500;
  DrawLimit[kBudgetGlow] = 500;
  DrawLimit[kBudgetParticles] = 250;
  int best = 0;
  LogLine("Starting Engine Test");
  LogLine("Aiming for " + std::to_string(target) + "," + std::to_string(scale));

  const int threshold = target - 2;
  // A close request or Escape during these frames must not open the pause menu
  // inside display setup.
  const int wasSuspended = PauseSuspended;
  PauseSuspended = 1;
  for (int n = kEngineTestFirstStep; n <= kEngineTestLastStep; n += kEngineTestFirstStep) {
    for (int frame = 0; frame < kEngineTestFramesPerStep; ++frame) DrawTestFrame(n, scale);
    // The first step only warms up the frame-rate average.
    if (n == kEngineTestFirstStep) continue;
    if (FpsAverage >= threshold) best = n;
    if (FpsAverage <= threshold) break;
  }
  PauseSuspended = wasSuspended;

  LogLine("Test Complete");
  DrawLimit[kBudgetMain] = static_cast<int>(best * 0.4);
  DrawLimit[kBudgetGlow] = static_cast<int>(best * 0.4);
  DrawLimit[kBudgetParticles] = static_cast<int>(best * 0.2);
  LogLine("");
  LogLine("Engine Test Results");
  LogLine("");
  LogLine("\tMaximum Sprites Allowed for " + std::to_string(target) + " Frames Per Second");
  LogLine("\tMain sprites : " + std::to_string(DrawLimit[kBudgetMain]));
  LogLine("\tGlowy Sprites : " + std::to_string(DrawLimit[kBudgetGlow]));
  LogLine("\tParticles : " + std::to_string(DrawLimit[kBudgetParticles]));
  LogLine("");

  if (DrawLimit[kBudgetMain] < 1000) {
    DrawLimit[kBudgetMain] = 1000;
    TargetFps = 30;
    Settings[slot::slowSystem] = 1;
  }
  if (DrawLimit[kBudgetGlow] < 500) DrawLimit[kBudgetGlow] = 500;
  if (DrawLimit[kBudgetParticles] < 250) DrawLimit[kBudgetParticles] = 250;
  if (TargetFps == 30) LogLine("Settings Overwritten, Set to Default Lower Limits at 30fps.");
  LogLine("");
  OverlayOn = 0;
}
