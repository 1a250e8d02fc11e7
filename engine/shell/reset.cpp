#include "shell/reset.h"

#include "audio/audio_state.h"
#include "config/config_state.h"
#include "core/state.h"
#include "draw/helpers.h"
#include "frame/frame.h"
#include "platform/platform.h"
#include "scores/scores.h"
#include "shell/shell_state.h"

void ResetEngineState() {
  if (Core.ThisGame.ResetState) Core.ThisGame.ResetState();
  ResetShell();
  ResetScores();
  ResetConfig();
  ResetAudio();
  ResetFrame();
  ResetDraw();
  ResetCore();
  plat::ResetProgramState();
}
