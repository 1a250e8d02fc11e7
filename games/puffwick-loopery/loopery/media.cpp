#include "loopery/media.h"

#include "audio/music_samples.h"
#include "config/sprite_budget.h"

plat::Image TrackImage = 0;
plat::Image FlashImage = 0;
plat::Image TrainImage = 0;
plat::Image BubbleImage = 0;

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
  Replace(TrackImage, plat::LoadAnimImage("track.png", 32, 32, 0, 240, plat::kImageMasked | plat::kImageFiltered));
  // Loaded like the others but never drawn, so its handle is not kept.
  plat::FreeImage(plat::LoadImage("blob.png", plat::kImageMasked | plat::kImageFiltered));
  Replace(FlashImage, plat::LoadImage("flash.png", plat::kImageMasked | plat::kImageFiltered));
  Replace(TrainImage, plat::LoadAnimImage("train.png", 64, 64, 0, 8, plat::kImageMasked | plat::kImageFiltered));
  Replace(BubbleImage, plat::LoadAnimImage("bubbles.png", 32, 24, 0, 4, plat::kImageMasked | plat::kImageFiltered));
}
