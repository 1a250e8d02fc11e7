#include "dash/media.h"

#include "audio/music.h"
#include "audio/music_samples.h"
#include "config/sprite_budget.h"
#include "core/state.h"
#include "dash/state.h"

plat::Image BackdropImage = 0;
plat::Image CartImage = 0;
plat::Image CargoImage = 0;
plat::Image LifeImage = 0;

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
  Replace(BackdropImage, plat::LoadImage("backdrop.png", flags));
  Replace(CartImage, plat::LoadImage("cart.png", flags));
  Replace(CargoImage, plat::LoadAnimImage("cargo.png", kCargoSize, kCargoSize, 0, kCargoCells, flags));
  Replace(LifeImage, plat::LoadImage("life.png", flags));
  // The music player draws on the shared random generator, which a game's replay
  // depends on: it plays on the title only.
  if (GameState == kStateTitle) StartTitleMusic();
}
