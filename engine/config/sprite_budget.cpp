#include "config/sprite_budget.h"

#include <string>

#include "config/display.h"
#include "config/settings.h"
#include "draw/helpers.h"
#include "platform/platform.h"
#include "frame/frame.h"
#include "core/log.h"

namespace {

void DrawTestFrame(int sprites, int scale) {
  BeginFrameDrawing(1);
  ResetDrawState();
  DrawStripes();
  ResetDrawState();
  SetScaleXY(1.5);
  plat::DrawImage(Core.LogoImage, 0.3 * Core.VirtualWidth, 0.3 * Core.VirtualHeight);
  plat::DrawImage(Core.CommunityLogoImage, 0.7 * Core.VirtualWidth, 0.7 * Core.VirtualHeight);
  SetScaleXY(1);
  // Invisible but fully drawn: the renderer does all the work of a real sprite.
  plat::SetColor(0, 0, 0);
  plat::SetAlpha(0);
  plat::SetScale(scale, scale);
  for (int i = 0; i <= sprites; ++i) {
    plat::SetRotation(plat::Rand(1, 360));
    const int x = plat::Rand(1, Core.VirtualWidth);
    const int y = plat::Rand(1, Core.VirtualHeight);
    plat::DrawImage(Core.IconsCrisp, x, y, 0);
  }
  EndFrame(0);
}

}  // namespace

void EngineTest(int target, int scale) {
  Frame.OverlayOn = 0;
  if (Core.Settings[slot::slowSystem] == 1) target = 30;
  Config.TargetFps = target;
  Draw.DrawLimit[kBudgetMain] = 500;
  Draw.DrawLimit[kBudgetGlow] = 500;
  Draw.DrawLimit[kBudgetParticles] = 250;
  int best = 0;
  LogLine("Starting Engine Test");
  LogLine("Aiming for " + std::to_string(target) + "," + std::to_string(scale));

  const int threshold = target - 2;
  // A close request or Escape during these frames must not open the pause menu
  // inside display setup.
  const int wasSuspended = Frame.PauseSuspended;
  Frame.PauseSuspended = 1;
  for (int n = kEngineTestFirstStep; n <= kEngineTestLastStep; n += kEngineTestFirstStep) {
    for (int frame = 0; frame < kEngineTestFramesPerStep; ++frame) DrawTestFrame(n, scale);
    // The first step only warms up the frame-rate average.
    if (n == kEngineTestFirstStep) continue;
    if (Frame.FpsAverage >= threshold) best = n;
    if (Frame.FpsAverage <= threshold) break;
  }
  Frame.PauseSuspended = wasSuspended;

  LogLine("Test Complete");
  Draw.DrawLimit[kBudgetMain] = static_cast<int>(best * 0.4);
  Draw.DrawLimit[kBudgetGlow] = static_cast<int>(best * 0.4);
  Draw.DrawLimit[kBudgetParticles] = static_cast<int>(best * 0.2);
  LogLine("");
  LogLine("Engine Test Results");
  LogLine("");
  LogLine("\tMaximum Sprites Allowed for " + std::to_string(target) + " Frames Per Second");
  LogLine("\tMain sprites : " + std::to_string(Draw.DrawLimit[kBudgetMain]));
  LogLine("\tGlowy Sprites : " + std::to_string(Draw.DrawLimit[kBudgetGlow]));
  LogLine("\tParticles : " + std::to_string(Draw.DrawLimit[kBudgetParticles]));
  LogLine("");

  if (Draw.DrawLimit[kBudgetMain] < 1000) {
    Draw.DrawLimit[kBudgetMain] = 1000;
    Config.TargetFps = 30;
    Core.Settings[slot::slowSystem] = 1;
  }
  if (Draw.DrawLimit[kBudgetGlow] < 500) Draw.DrawLimit[kBudgetGlow] = 500;
  if (Draw.DrawLimit[kBudgetParticles] < 250) Draw.DrawLimit[kBudgetParticles] = 250;
  if (Config.TargetFps == 30) LogLine("Settings Overwritten, Set to Default Lower Limits at 30fps.");
  LogLine("");
  Frame.OverlayOn = 0;
}
