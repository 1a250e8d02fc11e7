// Images (frames of equal size with a handle point) and pixmaps, read and written as
// PNG through the media codec. Textures are made on first draw. An image read from a
// file keeps its file's bytes but no pixels while none are needed: they are decoded
// again for each upload (the first draw, a reopened display), so the picture lives
// only in the renderer. Pixels changed by the program (GrabImage) are kept.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/render/gfx_internal.h"
#include "platform/platform_internal.h"
#include "platform/os.h"
#include "media/png.h"

namespace plat {
namespace {

using media::kMaxPixels;
using media::kMaxSide;
constexpr int kMaxTextureRow = 4096;

// New images get their handle at their centre (AutoMidHandle).
bool autoMidHandle = false;

std::vector<std::unique_ptr<gfx::ImageData>>& Images() {
  static std::vector<std::unique_ptr<gfx::ImageData>> images(1);  // handle 0 is none
  return images;
}

struct PixmapData {
  int w = 0, h = 0;
  std::vector<uint8_t> rgba;
};

std::vector<std::unique_ptr<PixmapData>>& Pixmaps() {
  static std::vector<std::unique_ptr<PixmapData>> pixmaps(1);
  return pixmaps;
}

PixmapData* FindPixmap(Pixmap p) {
  auto& table = Pixmaps();
  return p > 0 && p < static_cast<int>(table.size()) ? table[p].get() : nullptr;
}

int NormalFlags(int flags) { return flags < 0 ? (kImageMasked | kImageFiltered) : flags; }

std::vector<uint8_t> ReadBytes(const std::string& path) {
  // No sane PNG is bigger than its largest picture's pixels.
  return gfx::ReadWholeFile(detail::ReadPath(path), static_cast<size_t>(kMaxPixels) * 4);
}

bool DecodePng(const std::vector<uint8_t>& bytes, int& w, int& h, std::vector<uint8_t>& rgba) {
  return media::DecodePng(bytes.data(), bytes.size(), w, h, rgba);
}

bool DecodePng(const std::string& path, int& w, int& h, std::vector<uint8_t>& rgba) {
  return DecodePng(ReadBytes(path), w, h, rgba);
}

// The mask colour is exactly black; masked pixels become fully transparent.
void ApplyMask(uint8_t* rgba, size_t pixels) {
  for (size_t i = 0; i < pixels; ++i, rgba += 4) {
    if (rgba[0] == 0 && rgba[1] == 0 && rgba[2] == 0) rgba[3] = 0;
  }
}

bool SizeOk(long long w, long long h, long long frames = 1) {
  return w > 0 && h > 0 && frames > 0 && w <= kMaxSide && h <= kMaxSide && w * h * frames <= kMaxPixels;
}

// Where an image's pixels come from: the file as read (compressed, a small fraction
// of the pixels), and its cells, or the whole picture when cellWidth is 0.
struct ImageFile {
  std::shared_ptr<const std::vector<uint8_t>> png;
  int cellWidth = 0, cellHeight = 0, firstCell = 0;
  int flags = 0;
};

// Decodes the file and copies its cells (or the whole picture) into the image's
// frames. False when it no longer matches the image (memory ran out).
bool FillFromFile(gfx::ImageData& img, const ImageFile& src) {
  int w = 0, h = 0;
  std::vector<uint8_t> rgba;
  if (!DecodePng(*src.png, w, h, rgba)) return false;
  if (src.flags & kImageMasked) ApplyMask(rgba.data(), static_cast<size_t>(w) * h);
  if (img.store.rgba.size() != static_cast<size_t>(img.store.w) * img.store.h * 4) {
    img.store.rgba.assign(static_cast<size_t>(img.store.w) * img.store.h * 4, 0);
  }
  if (src.cellWidth == 0) {
    if (w != img.w || h != img.h) return false;
    img.CopyFrame(0, rgba.data());
    return true;
  }
  const int across = w / src.cellWidth, down = h / src.cellHeight;
  if (static_cast<long long>(across) * down - src.firstCell < img.frames) return false;
  std::vector<uint8_t> cell(static_cast<size_t>(img.w) * img.h * 4);
  for (int f = 0; f < img.frames; ++f) {
    const int index = src.firstCell + f;
    const int sx = (index % across) * img.w, sy = (index / across) * img.h;
    for (int y = 0; y < img.h; ++y) {
      std::memcpy(&cell[static_cast<size_t>(y) * img.w * 4], &rgba[(static_cast<size_t>(sy + y) * w + sx) * 4],
                  static_cast<size_t>(img.w) * 4);
    }
    img.CopyFrame(f, cell.data());
  }
  return true;
}

// Makes a file-backed image of the given size; no pixels are kept until an upload.
Image NewFileImage(int w, int h, int frames, const ImageFile& src) {
  int handle = gfx::NewImage(w, h, frames, src.flags);
  gfx::ImageData* img = gfx::FindImage(handle);
  std::vector<uint8_t>().swap(img->store.rgba);
  img->store.reload = [img, src](gfx::TextureStore&) {
    if (FillFromFile(*img, src)) return true;
    std::vector<uint8_t>().swap(img->store.rgba);
    return false;
  };
  return handle;
}

}  // namespace

namespace gfx {

std::vector<uint8_t> ReadWholeFile(const std::string& path, size_t limit) {
  std::vector<uint8_t> bytes;
  if (FILE* f = sys::OpenForReading(path)) {
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
      bytes.insert(bytes.end(), chunk, chunk + n);
      if (bytes.size() > limit) break;
    }
    std::fclose(f);
  }
  return bytes;
}

int NewImage(int w, int h, int frames, int flags) {
  auto img = std::make_unique<ImageData>();
  img->w = w;
  img->h = h;
  img->frames = frames;
  img->flags = flags;
  img->cols = std::clamp(kMaxTextureRow / (w + 2), 1, frames);
  int rows = (frames + img->cols - 1) / img->cols;
  img->store.w = img->cols * (w + 2);
  img->store.h = rows * (h + 2);
  img->store.rgba.assign(static_cast<size_t>(img->store.w) * img->store.h * 4, 0);
  img->store.flags = ((flags & kImageFiltered) ? kTextureFiltered : 0) |
                     ((flags & kImageMipmapped) ? kTextureMipmapped : 0);
  if (autoMidHandle) {
    img->hx = w / 2.0;
    img->hy = h / 2.0;
  }
  Images().push_back(std::move(img));
  return static_cast<int>(Images().size()) - 1;
}

ImageData* FindImage(int handle) {
  auto& table = Images();
  return handle > 0 && handle < static_cast<int>(table.size()) ? table[handle].get() : nullptr;
}

bool AutoMidHandleOn() { return autoMidHandle; }

long long ReleaseIdleImageTextures(int sweeps) {
  long long bytes = 0;
  for (auto& img : Images()) {
    if (img) bytes += ReleaseIfIdle(img->store, sweeps);
  }
  return bytes;
}

void ImageData::SetFrame(int frame, const uint8_t* src) {
  // From now on the pixels are the program's own: bring back the file's picture
  // for the other frames and keep it.
  if (store.rgba.empty() && !(store.reload && store.reload(store))) {
    store.rgba.assign(static_cast<size_t>(store.w) * store.h * 4, 0);
  }
  store.reload = nullptr;
  CopyFrame(frame, src);
}

void ImageData::CopyFrame(int frame, const uint8_t* src) {
  const int tw = store.w;
  const int x0 = CellX(frame), y0 = CellY(frame);
  uint8_t* base = store.rgba.data();
  auto at = [&](int x, int y) { return base + (static_cast<size_t>(y) * tw + x) * 4; };
  for (int y = 0; y < h; ++y) std::memcpy(at(x0, y0 + y), src + static_cast<size_t>(y) * w * 4, w * 4);
  // Extrude the edge pixels one step outwards, corners included.
  for (int y = 0; y < h; ++y) {
    std::memcpy(at(x0 - 1, y0 + y), at(x0, y0 + y), 4);
    std::memcpy(at(x0 + w, y0 + y), at(x0 + w - 1, y0 + y), 4);
  }
  std::memcpy(at(x0 - 1, y0 - 1), at(x0 - 1, y0), (w + 2) * 4);
  std::memcpy(at(x0 - 1, y0 + h), at(x0 - 1, y0 + h - 1), (w + 2) * 4);
  store.dirty = true;
}

}  // namespace gfx

Image LoadImage(const std::string& path, int flags) {
  detail::CheckTermination();  // loading can be long: a termination signal ends it
  auto png = std::make_shared<std::vector<uint8_t>>(ReadBytes(path));
  int w = 0, h = 0;
  std::vector<uint8_t> rgba;
  if (!DecodePng(*png, w, h, rgba)) return 0;
  png->shrink_to_fit();
  return NewFileImage(w, h, 1, ImageFile{std::move(png), 0, 0, 0, NormalFlags(flags)});
}

// Cells are cut left to right, top to bottom, from `firstCell` on. A sheet that holds
// fewer cells than asked gives the frames that fit; none if not even one does.
Image LoadAnimImage(const std::string& path, int cellWidth, int cellHeight, int firstCell, int cellCount,
                    int flags) {
  detail::CheckTermination();  // loading can be long: a termination signal ends it
  if (cellWidth <= 0 || cellHeight <= 0 || firstCell < 0 || cellCount <= 0) return 0;
  auto png = std::make_shared<std::vector<uint8_t>>(ReadBytes(path));
  int w = 0, h = 0;
  std::vector<uint8_t> rgba;
  if (!DecodePng(*png, w, h, rgba)) return 0;
  png->shrink_to_fit();
  const int across = w / cellWidth, down = h / cellHeight;
  const long long available = static_cast<long long>(across) * down - firstCell;
  const int frames = static_cast<int>(std::min<long long>(cellCount, available));
  if (frames <= 0 || !SizeOk(cellWidth, cellHeight, frames)) return 0;
  return NewFileImage(cellWidth, cellHeight, frames,
                      ImageFile{std::move(png), cellWidth, cellHeight, firstCell, NormalFlags(flags)});
}

int ImageWidth(Image image) {
  const gfx::ImageData* img = gfx::FindImage(image);
  return img ? img->w : 0;
}

int ImageHeight(Image image) {
  const gfx::ImageData* img = gfx::FindImage(image);
  return img ? img->h : 0;
}

int ImageFrames(Image image) {
  const gfx::ImageData* img = gfx::FindImage(image);
  return img ? img->frames : 0;
}

void SetImageHandle(Image image, double x, double y) {
  if (gfx::ImageData* img = gfx::FindImage(image)) {
    img->hx = x;
    img->hy = y;
  }
}

double ImageHandleX(Image image) {
  const gfx::ImageData* img = gfx::FindImage(image);
  return img ? img->hx : 0;
}

double ImageHandleY(Image image) {
  const gfx::ImageData* img = gfx::FindImage(image);
  return img ? img->hy : 0;
}

void MidHandle(Image image) {
  if (gfx::ImageData* img = gfx::FindImage(image)) {
    img->hx = img->w / 2.0;
    img->hy = img->h / 2.0;
  }
}

void AutoMidHandle(bool on) { autoMidHandle = on; }

Image CreateImage(int width, int height, int frames, int flags) {
  if (!SizeOk(width, height, frames)) return 0;
  return gfx::NewImage(width, height, frames, NormalFlags(flags));
}

void GrabImage(Image image, int x, int y, int frame) {
  gfx::ImageData* img = gfx::FindImage(image);
  if (!img || frame < 0 || frame >= img->frames) return;
  gfx::Target t = gfx::CurrentTarget();
  if (!t.renderer) return;
  std::vector<uint8_t> rgba(static_cast<size_t>(img->w) * img->h * 4);
  t.renderer->ReadPixels(x, y, img->w, img->h, rgba.data());
  if (img->flags & kImageMasked) ApplyMask(rgba.data(), static_cast<size_t>(img->w) * img->h);
  img->SetFrame(frame, rgba.data());
}

void FreeImage(Image image) {
  gfx::ImageData* img = gfx::FindImage(image);
  if (!img) return;
  img->store.Release();
  Images()[image].reset();
}

Pixmap GrabPixmap(int x, int y, int width, int height) {
  if (!SizeOk(width, height)) return 0;
  gfx::Target t = gfx::CurrentTarget();
  if (!t.renderer) return 0;
  auto p = std::make_unique<PixmapData>();
  p->w = width;
  p->h = height;
  p->rgba.resize(static_cast<size_t>(width) * height * 4);
  t.renderer->ReadPixels(x, y, width, height, p->rgba.data());
  Pixmaps().push_back(std::move(p));
  return static_cast<int>(Pixmaps().size()) - 1;
}

Pixmap LoadPixmap(const std::string& path) {
  auto p = std::make_unique<PixmapData>();
  if (!DecodePng(path, p->w, p->h, p->rgba)) return 0;
  Pixmaps().push_back(std::move(p));
  return static_cast<int>(Pixmaps().size()) - 1;
}

int PixmapWidth(Pixmap pixmap) {
  const PixmapData* p = FindPixmap(pixmap);
  return p ? p->w : 0;
}

int PixmapHeight(Pixmap pixmap) {
  const PixmapData* p = FindPixmap(pixmap);
  return p ? p->h : 0;
}

uint32_t PixmapPixel(Pixmap pixmap, int x, int y) {
  const PixmapData* p = FindPixmap(pixmap);
  if (!p || x < 0 || y < 0 || x >= p->w || y >= p->h) return 0;
  const uint8_t* c = &p->rgba[(static_cast<size_t>(y) * p->w + x) * 4];
  return (uint32_t{c[0]} << 24) | (uint32_t{c[1]} << 16) | (uint32_t{c[2]} << 8) | c[3];
}

bool SavePixmapPNG(Pixmap pixmap, const std::string& logical, int compressionLevel, std::string* why) {
  auto refuse = [why](const std::string& reason) {
    if (why) *why = reason;
    return false;
  };
  const PixmapData* p = FindPixmap(pixmap);
  if (!p) return refuse("no picture to save");
  if (FileWritesBlocked()) return refuse("files are not written while a replay plays");
  if (detail::WritePath(logical).empty()) return refuse("saving is off");
  std::string bytes;
  if (!media::EncodePng(p->rgba.data(), p->w, p->h, std::clamp(compressionLevel, 0, 9), bytes)) return refuse("the picture could not be encoded");
  // Saved as every other file is: whole or not at all, and never through a link
  // that stands at the name.
  errno = 0;
  if (!ReplaceFileContents(logical, bytes)) {
    return refuse(errno != 0 ? std::strerror(errno) : "the picture could not be written");
  }
  return true;
}

void FreePixmap(Pixmap pixmap) {
  if (FindPixmap(pixmap)) Pixmaps()[pixmap].reset();
}

}  // namespace plat
