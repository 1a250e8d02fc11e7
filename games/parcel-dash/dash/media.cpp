#include "dash/media.h"

#include "audio/music.h"
#include "audio/music_samples.h"
#include "config/sprite_budget.h"
#include "core/state.h"
#include "dash/state.h"

DashImages DashMedia;

namespace {

constexpr int kTitlePairLength = 230;  // ms for two steps of the title music
constexpr int kCargoCells = 4;
constexpr int kEngineTestTarget = 60;
constexpr int kEngineTestScale = 2;

// Every display setup loads afresh; the previous copies are released first.
void Replace(plat::Image& handle, plat::Image fresh) {
  plat::FreeImage(handle);
  handle = fresh;
  // Drawn by their top-left corner.
  if (handle) plat::SetImageHandle(handle, 0, 0);
}

}  // namespace

void StartTitleMusic() { StartSong("title", -1, kTitlePairLength); }

void LoadGameMedia() {
  EngineTest(kEngineTestTarget, kEngineTestScale);
  LoadMusicSamples();
  const int flags = plat::kImageMasked | plat::kImageFiltered;
  Replace(DashMedia.Backdrop, plat::LoadImage("backdrop.png", flags));
  Replace(DashMedia.Cart, plat::LoadImage("cart.png", flags));
  Replace(DashMedia.Cargo, plat::LoadAnimImage("cargo.png", kCargoSize, kCargoSize, 0, kCargoCells, flags));
  Replace(DashMedia.Life, plat::LoadImage("life.png", flags));
  // The music player draws on the shared random generator, which a game's replay
  // depends on: it plays on the title only.
  if (Core.GameState == kStateTitle) StartTitleMusic();
}
