// Placeholder bodies; replaced by the real implementation.
#include <cstdlib>

#include "platform/backend.h"

namespace plat {

Image LoadImage(const std::string& path, int flags) { return 0; }
Image LoadAnimImage(const std::string& path, int cellWidth, int cellHeight, int firstCell, int cellCount, int flags) { return 0; }
int ImageWidth(Image image) { return 0; }
int ImageHeight(Image image) { return 0; }
int ImageFrames(Image image) { return 0; }
void SetImageHandle(Image image, double x, double y) {  }
double ImageHandleX(Image image) { return 0; }
double ImageHandleY(Image image) { return 0; }
void MidHandle(Image image) {  }
void AutoMidHandle(bool on) {  }
Image CreateImage(int width, int height, int frames, int flags) { return 0; }
void GrabImage(Image image, int x, int y, int frame) {  }
void FreeImage(Image image) {  }
Pixmap GrabPixmap(int x, int y, int width, int height) { return 0; }
Pixmap LoadPixmap(const std::string& path) { return 0; }
int PixmapWidth(Pixmap pixmap) { return 0; }
int PixmapHeight(Pixmap pixmap) { return 0; }
uint32_t PixmapPixel(Pixmap pixmap, int x, int y) { return 0; }
bool SavePixmapPNG(Pixmap pixmap, const std::string& path, int compressionLevel) { return false; }
void FreePixmap(Pixmap pixmap) {  }

}  // namespace plat
