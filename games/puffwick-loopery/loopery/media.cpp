#include "loopery/media.h"

#include "audio/music_samples.h"
#include "config/sprite_budget.h"

namespace {

// Every display setup loads afresh; the previous copies are released first.
void Replace(plat::Image& handle, plat::Image fresh) {
  plat::FreeImage(handle);
  handle = fresh;
}

}  // namespace

void LoadGameMedia() {
  EngineTest(60, 2);
  LoadMusicSamples();
  Replace(Loopery.TrackImage, plat::LoadAnimImage("track.png", 32, 32, 0, 240, plat::kImageMasked | plat::kImageFiltered));
  // Loaded like the others but never drawn, so its handle is not kept.
  plat::FreeImage(plat::LoadImage("blob.png", plat::kImageMasked | plat::kImageFiltered));
  Replace(Loopery.FlashImage, plat::LoadImage("flash.png", plat::kImageMasked | plat::kImageFiltered));
  Replace(Loopery.TrainImage, plat::LoadAnimImage("train.png", 64, 64, 0, 8, plat::kImageMasked | plat::kImageFiltered));
  Replace(Loopery.BubbleImage, plat::LoadAnimImage("bubbles.png", 32, 24, 0, 4, plat::kImageMasked | plat::kImageFiltered));
}
