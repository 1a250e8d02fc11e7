// Private to the 2D layer (draw.cpp, image.cpp, font.cpp): the records behind image
// and font handles, and their lazily created renderer textures.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"

namespace plat::gfx {

// The whole file at `path` (already resolved), stopping once past `limit` bytes;
// empty if it cannot be read. C stdio: a folder or an unreadable file fails quietly
// instead of throwing.
std::vector<uint8_t> ReadWholeFile(const std::string& path, size_t limit);

// Pixels kept in memory, uploaded to the current renderer on first use and again
// whenever the display has been reopened, so handles survive display changes.
struct TextureStore {
  int w = 0, h = 0;
  std::vector<uint8_t> rgba;  // w*h*4, top row first (w*h with kTextureAlpha8)
  int flags = 0;              // TextureFlags
  int texture = 0;            // id in `owner`, valid while `serial` is current
  uint64_t serial = 0;
  bool dirty = false;  // pixels changed since the upload
  // Set when the pixels can be made again (an image read from a file): they are
  // then kept only while no upload holds them, and remade before the next upload.
  // Returns false when they cannot be made (the file has gone).
  std::function<bool(TextureStore&)> reload;
  int idleSweeps = 0;  // clean-up steps since the last draw (ReleaseIdleTextures)

  // Called by Ensure after each upload: pixels that can be made again are let go.
  void AfterUpload() {
    if (reload) std::vector<uint8_t>().swap(rgba);
  }

  // The texture id in the target's renderer, uploading first if needed (0 on failure).
  int Ensure(Renderer* r, uint64_t serial);
  // Destroys the uploaded texture if it still lives in the current renderer.
  void Release();
};

// Where drawing goes now. `serial` names the renderer instance: it changes whenever
// the backend, its renderer or the display generation changes, which tells a
// TextureStore that its upload is gone.
struct Target {
  Backend* backend = nullptr;
  Renderer* renderer = nullptr;  // null without a display
  uint64_t serial = 0;
};
Target CurrentTarget();

struct ImageData {
  int w = 0, h = 0;  // one frame
  int frames = 0;
  int flags = 0;
  double hx = 0, hy = 0;
  int cols = 1;  // frame cells per texture row
  // Frames laid out in cells of (w+2)x(h+2) with a 1-pixel extruded border, so that
  // linear sampling never reads a neighbouring frame.
  TextureStore store;

  int CellX(int frame) const { return (frame % cols) * (w + 2) + 1; }
  int CellY(int frame) const { return (frame / cols) * (h + 2) + 1; }
  // Copies one frame in (rgba of w*h*4) and refreshes its border; the image then
  // keeps its pixels (they no longer match its file).
  void SetFrame(int frame, const uint8_t* rgba);
  // The copy alone, into pixels that are present.
  void CopyFrame(int frame, const uint8_t* rgba);
};

// Creates an image record (pixels transparent black) and returns its handle.
int NewImage(int w, int h, int frames, int flags);
ImageData* FindImage(int handle);
bool AutoMidHandleOn();

struct Glyph {
  int advance = 0;
  int left = 0, top = 0;  // bitmap offset from the pen: x right, y down from the line top
  int w = 0, h = 0;
  int ax = 0, ay = 0;  // position in the atlas
};

struct FontSource;  // font.cpp: the outlines a font renders its glyphs from

// Glyph metrics are known from the start (for measuring text); glyph pictures are
// rendered into the atlas when a text first needs them, so fonts that are never
// drawn cost no atlas and drawn ones hold only the characters they have shown.
struct FontData {
  std::array<Glyph, 256> glyphs{};
  int lineHeight = 0;
  bool smooth = true;
  TextureStore atlas;
  std::bitset<256> inAtlas;              // glyphs with their picture in the atlas
  std::shared_ptr<FontSource> source;    // null for a font built whole (the built-in one)
  struct Shelf {
    int y, h, x;
  };
  std::vector<Shelf> shelves;  // rows of the atlas filled so far, left to right
  int used = 0;                // atlas rows taken by shelves
};

// Gives back the uploaded textures of images (and fonts) that have not been drawn
// for `sweeps` calls and can be made again; returns the bytes of texture freed.
long long ReleaseIdleImageTextures(int sweeps);
long long ReleaseIdleFontTextures(int sweeps);

// One clean-up step for one store (see above).
inline long long ReleaseIfIdle(TextureStore& store, int sweeps) {
  if (!store.reload || store.texture == 0 || ++store.idleSweeps < sweeps) return 0;
  const long long bytes = static_cast<long long>(store.w) * store.h * ((store.flags & kTextureAlpha8) ? 1 : 4);
  store.Release();
  store.idleSweeps = 0;
  return bytes;
}

// The font of a handle, or the built-in font for 0 or a handle that names nothing.
FontData& ResolveFont(int handle);
bool FontExists(int handle);
FontData& DefaultFont();  // font.cpp, from the built-in glyphs

// Packs glyph bitmaps (coverage 0..255, w*h each) into `font.atlas`, one byte of
// coverage per texel (kTextureAlpha8): a quarter of the memory of white RGBA texels.
void BuildAtlas(FontData& font, const std::vector<std::vector<uint8_t>>& coverage);
// Puts the pictures of the characters of `text` into the font's atlas (before the
// atlas is uploaded for drawing it).
void PrepareGlyphs(FontData& font, const std::string& text);

}  // namespace plat::gfx
