// Image fonts: TrueType glyphs rendered with FreeType into one atlas per font, each
// glyph when a text first shows it, then drawn as textured quads like images.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>

#include "platform/render/gfx_internal.h"
#include "platform/platform_internal.h"

namespace plat {
namespace {

enum FontStyle { kStyleBold = 1, kStyleItalic = 2, kStyleSmooth = 4 };
constexpr int kMaxPixelSize = 1000;

std::vector<std::unique_ptr<gfx::FontData>>& Fonts() {
  static std::vector<std::unique_ptr<gfx::FontData>> fonts(1);  // handle 0 is the built-in font
  return fonts;
}

FT_Library Library() {
  // Kept for the whole run: fonts may be loaded again after any display change.
  static FT_Library library = nullptr;
  static bool tried = false;
  if (!tried) {
    tried = true;
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
  }
  return library;
}

// One open face per font file, shared by every size loaded from it: the game loads
// the same three files at a dozen sizes each.
struct FaceFile {
  FT_Face face = nullptr;
  ~FaceFile() {
    if (face) FT_Done_Face(face);
  }
};

std::shared_ptr<FaceFile> OpenFace(FT_Library lib, const std::string& logical) {
  const std::string path = detail::ReadPath(logical);
  // The same file (by full path, size and time) shares its face; a file replaced
  // on disk is opened afresh.
  std::error_code error;
  std::string key = std::filesystem::absolute(path, error).lexically_normal().string();
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  key += "|" + std::to_string(info.st_size) + "|" + std::to_string(info.st_mtim.tv_sec) + "." +
         std::to_string(info.st_mtim.tv_nsec);
  static std::map<std::string, std::weak_ptr<FaceFile>> open;
  if (auto it = open.find(key); it != open.end()) {
    if (auto face = it->second.lock()) return face;
  }
  auto file = std::make_shared<FaceFile>();
  if (FT_New_Face(lib, path.c_str(), 0, &file->face) != 0) {
    file->face = nullptr;
    return nullptr;
  }
  // Forget faces no font uses any more, so that the table stays small.
  for (auto it = open.begin(); it != open.end();) it = it->second.expired() ? open.erase(it) : std::next(it);
  open[key] = file;
  return file;
}

FT_Int32 LoadFlags(int style) {
  return FT_LOAD_NO_BITMAP | ((style & kStyleSmooth) ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO);
}

FT_Pos BoldExtra(FT_Face face, int style) {
  if (!(style & kStyleBold)) return 0;
  return std::max<FT_Pos>(32, FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 24);
}

// Renders the glyph of one Latin-1 code into `g` and its coverage; false if the face
// has no picture for it.
bool RenderGlyph(FT_Face face, int code, int style, int ascent, gfx::Glyph& g, std::vector<uint8_t>& cov) {
  FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
  if (index == 0) return false;
  const bool smooth = (style & kStyleSmooth) != 0;
  if (FT_Load_Glyph(face, index, LoadFlags(style)) != 0) return false;
  FT_GlyphSlot slot = face->glyph;
  FT_Pos extra = 0;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    extra = BoldExtra(face, style);
    if (extra) FT_Outline_Embolden(&slot->outline, extra);
    if (style & kStyleItalic) {
      FT_Matrix shear{0x10000, 0x3800, 0, 0x10000};  // about 12 degrees of slant
      FT_Outline_Transform(&slot->outline, &shear);
    }
  }
  if (FT_Render_Glyph(slot, smooth ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0) return false;
  const FT_Bitmap& bm = slot->bitmap;
  g.advance = static_cast<int>((slot->advance.x + extra + 32) >> 6);
  g.left = slot->bitmap_left;
  g.top = ascent - slot->bitmap_top;
  g.w = static_cast<int>(bm.width);
  g.h = static_cast<int>(bm.rows);
  cov.assign(static_cast<size_t>(g.w) * g.h, 0);
  for (int y = 0; y < g.h; ++y) {
    const uint8_t* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
    for (int x = 0; x < g.w; ++x) {
      uint8_t v = 0;
      if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
        v = bm.num_grays == 256 ? row[x] : static_cast<uint8_t>(row[x] * 255 / std::max(1, bm.num_grays - 1));
      } else if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
        v = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
      }
      cov[static_cast<size_t>(y) * g.w + x] = v;
    }
  }
  return true;
}

int NextPowerOfTwo(int n, int from) {
  int p = from;
  while (p < n) p *= 2;
  return p;
}

// Finds room for a glyph box of gw x gh texels: the first shelf tall enough with
// room left, else a new shelf (a line high, so that later glyphs fit in it),
// growing the atlas downwards (by exactly the shelf: every texel is held twice, here
// and in the renderer) or widening it as needed. Existing glyphs keep
// their places; a resized atlas is uploaded as a new texture.
void PlaceInAtlas(gfx::FontData& font, int gw, int gh, int& outX, int& outY) {
  gfx::TextureStore& atlas = font.atlas;
  bool resized = false;
  if (gw > atlas.w) {
    const int wider = NextPowerOfTwo(gw, std::max(atlas.w, 1));
    std::vector<uint8_t> pixels(static_cast<size_t>(wider) * atlas.h, 0);
    for (int y = 0; y < atlas.h; ++y) {
      std::copy_n(&atlas.rgba[static_cast<size_t>(y) * atlas.w], atlas.w, &pixels[static_cast<size_t>(y) * wider]);
    }
    atlas.rgba = std::move(pixels);
    atlas.w = wider;
    resized = true;
  }
  gfx::FontData::Shelf* best = nullptr;
  for (gfx::FontData::Shelf& shelf : font.shelves) {
    if (shelf.h >= gh && shelf.x + gw <= atlas.w && (!best || shelf.h < best->h)) best = &shelf;
  }
  if (!best) {
    const int h = std::max(gh, font.lineHeight + 2);
    if (font.used + h > atlas.h) {
      atlas.h = font.used + h;
      atlas.rgba.resize(static_cast<size_t>(atlas.w) * atlas.h, 0);
      resized = true;
    }
    font.shelves.push_back({font.used, h, 0});
    font.used += h;
    best = &font.shelves.back();
  }
  outX = best->x;
  outY = best->y;
  best->x += gw;
  if (resized) {
    atlas.rgba.shrink_to_fit();
    atlas.Release();  // the next upload makes a texture of the new size
  }
}

}  // namespace

// The outlines of a loaded font: its size object on the shared face, and what
// rendering needs to match the metrics taken at load.
struct gfx::FontSource {
  std::shared_ptr<FaceFile> file;
  FT_Size size = nullptr;  // made when glyphs are first rendered (it holds hinting state)
  int pixelSize = 0;
  int style = 0;
  int ascent = 0;
  ~FontSource() { DropSize(); }
  void DropSize() {
    if (size) FT_Done_Size(size);
    size = nullptr;
  }
  // Makes this font's size the face's active one; false if FreeType refuses.
  bool Activate() {
    if (size) return FT_Activate_Size(size) == 0;
    if (FT_New_Size(file->face, &size) != 0) {
      size = nullptr;
      return false;
    }
    // The pixel size is the height of a line, ascender plus descender (the cell
    // height), not the em: layouts put lines of a size-N font N pixels apart.
    FT_Size_RequestRec request{FT_SIZE_REQUEST_TYPE_CELL, 0, static_cast<FT_Long>(pixelSize) * 64, 0, 0};
    if (FT_Activate_Size(size) == 0 && FT_Request_Size(file->face, &request) == 0) return true;
    DropSize();
    return false;
  }
};

namespace gfx {

FontData& ResolveFont(int handle) {
  auto& table = Fonts();
  if (handle > 0 && handle < static_cast<int>(table.size()) && table[handle]) return *table[handle];
  return DefaultFont();
}

bool FontExists(int handle) {
  auto& table = Fonts();
  return handle > 0 && handle < static_cast<int>(table.size()) && table[handle] != nullptr;
}

// Shelf packing, tallest glyphs first so that each shelf wastes little height, and
// each glyph with a transparent pixel around it so that linear sampling of one
// glyph never picks up its neighbour.
void BuildAtlas(FontData& font, const std::vector<std::vector<uint8_t>>& coverage) {
  long long area = 0;
  int widest = 1;
  std::vector<int> order;
  for (int code = 0; code < static_cast<int>(font.glyphs.size()); ++code) {
    const Glyph& g = font.glyphs[code];
    if (g.w <= 0 || g.h <= 0) continue;
    area += static_cast<long long>(g.w + 2) * (g.h + 2);
    widest = std::max(widest, g.w + 2);
    order.push_back(code);
  }
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return font.glyphs[a].h > font.glyphs[b].h; });
  int width = 64;
  while (width < 4096 && static_cast<long long>(width) * width < area * 2) width *= 2;
  width = std::max(width, widest);
  int x = 0, y = 0, shelf = 0;
  for (int code : order) {
    Glyph& g = font.glyphs[code];
    if (x + g.w + 2 > width) {
      x = 0;
      y += shelf;
      shelf = 0;
    }
    g.ax = x + 1;
    g.ay = y + 1;
    x += g.w + 2;
    shelf = std::max(shelf, g.h + 2);
  }
  TextureStore& atlas = font.atlas;
  atlas.w = width;
  atlas.h = std::max(1, y + shelf);
  atlas.flags = (font.smooth ? kTextureFiltered : 0) | kTextureAlpha8;
  atlas.rgba.assign(static_cast<size_t>(atlas.w) * atlas.h, 0);
  atlas.rgba.shrink_to_fit();
  for (size_t code = 0; code < font.glyphs.size() && code < coverage.size(); ++code) {
    const Glyph& g = font.glyphs[code];
    const std::vector<uint8_t>& cov = coverage[code];
    if (g.w <= 0 || g.h <= 0 || cov.size() < static_cast<size_t>(g.w) * g.h) continue;
    for (int gy = 0; gy < g.h; ++gy) {
      std::copy_n(&cov[static_cast<size_t>(gy) * g.w], g.w,
                  &atlas.rgba[static_cast<size_t>(g.ay + gy) * atlas.w + g.ax]);
    }
  }
  atlas.dirty = true;
  font.inAtlas.set();
}

long long ReleaseIdleFontTextures(int sweeps) {
  long long bytes = 0;
  for (auto& font : Fonts()) {
    if (font) bytes += ReleaseIfIdle(font->atlas, sweeps);
  }
  return bytes;
}

// Renders every glyph the atlas holds again, in its place: the atlas keeps no
// pixels once uploaded, and needs them for the next upload.
bool RebuildAtlas(FontData& font) {
  FontSource& src = *font.source;
  TextureStore& atlas = font.atlas;
  atlas.rgba.assign(static_cast<size_t>(atlas.w) * atlas.h, 0);
  if (!src.Activate()) return false;
  std::vector<uint8_t> cov;
  for (int code = 0; code < 256; ++code) {
    const Glyph& g = font.glyphs[code];
    if (!font.inAtlas[code] || g.w <= 0 || g.h <= 0) continue;
    Glyph again = g;
    if (!RenderGlyph(src.file->face, code, src.style, src.ascent, again, cov) || again.w != g.w || again.h != g.h) {
      continue;
    }
    for (int gy = 0; gy < g.h; ++gy) {
      std::copy_n(&cov[static_cast<size_t>(gy) * g.w], g.w, &atlas.rgba[static_cast<size_t>(g.ay + gy) * atlas.w + g.ax]);
    }
  }
  return true;
}

void PrepareGlyphs(FontData& font, const std::string& text) {
  if (!font.source) return;
  FontSource& src = *font.source;
  bool activated = false;
  std::vector<uint8_t> cov;
  for (unsigned char c : text) {
    if (font.inAtlas[c]) continue;
    if (font.atlas.rgba.empty() && !RebuildAtlas(font)) return;
    font.inAtlas[c] = true;  // tried once: a glyph that fails stays blank
    Glyph& g = font.glyphs[c];
    if (!activated) {
      // The face is shared with other sizes: this font's size must be the active one.
      if (!src.Activate()) return;
      activated = true;
    }
    Glyph rendered = g;
    if (!RenderGlyph(src.file->face, c, src.style, src.ascent, rendered, cov)) continue;
    rendered.advance = g.advance;  // the measured advance stands (a lacking glyph takes a space's room)
    g = rendered;
    if (g.w <= 0 || g.h <= 0) continue;
    PlaceInAtlas(font, g.w + 2, g.h + 2, g.ax, g.ay);
    ++g.ax;
    ++g.ay;
    for (int gy = 0; gy < g.h; ++gy) {
      std::copy_n(&cov[static_cast<size_t>(gy) * g.w], g.w,
                  &font.atlas.rgba[static_cast<size_t>(g.ay + gy) * font.atlas.w + g.ax]);
    }
    font.atlas.dirty = true;
  }
}

}  // namespace gfx

Font LoadImageFont(const std::string& path, int pixelSize, int styleFlags) {
  detail::CheckTermination();  // loading can be long: a termination signal ends it
  if (pixelSize <= 0 || pixelSize > kMaxPixelSize || path.empty()) return 0;
  FT_Library lib = Library();
  if (!lib) return 0;
  auto src = std::make_shared<gfx::FontSource>();
  src->file = OpenFace(lib, path);
  if (!src->file) return 0;
  FT_Face face = src->file->face;
  src->pixelSize = pixelSize;
  if (!src->Activate()) return 0;
  const int style = styleFlags < 0 ? kStyleSmooth : styleFlags;
  src->style = style;
  auto font = std::make_unique<gfx::FontData>();
  font->smooth = (style & kStyleSmooth) != 0;
  // The baseline sits the scaled ascender below the line top; the scaled metrics
  // are rounded outwards, so they are taken from the face's own units.
  const FT_Pos ascender = FT_MulFix(face->ascender, face->size->metrics.y_scale);
  src->ascent = std::clamp(static_cast<int>((ascender + 32) >> 6), 0, pixelSize);
  font->lineHeight = pixelSize;

  // Advances only: measuring text needs no pictures. A character the face lacks
  // takes the room of a space rather than vanishing.
  const FT_Pos extra = BoldExtra(face, style);
  std::bitset<256> lacking;
  for (int code = 32; code < 256; ++code) {
    if (code >= 127 && code < 160) {
      lacking[code] = true;  // control codes in Latin-1
      continue;
    }
    FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
    if (index == 0 || FT_Load_Glyph(face, index, LoadFlags(style)) != 0) {
      lacking[code] = true;
      continue;
    }
    const FT_GlyphSlot slot = face->glyph;
    const bool blank = slot->format == FT_GLYPH_FORMAT_OUTLINE ? slot->outline.n_points == 0 : slot->bitmap.width == 0;
    const FT_Pos bold = slot->format == FT_GLYPH_FORMAT_OUTLINE ? extra : 0;
    font->glyphs[code].advance = static_cast<int>((slot->advance.x + bold + 32) >> 6);
    if (font->glyphs[code].advance == 0 && blank) lacking[code] = true;
    if (blank) font->inAtlas[code] = true;  // a space: nothing to render
  }
  const int spaceAdvance = font->glyphs[' '].advance > 0 ? font->glyphs[' '].advance : (pixelSize + 2) / 3;
  for (int code = 32; code < 256; ++code) {
    if (lacking[code]) font->glyphs[code] = gfx::Glyph{spaceAdvance};
  }
  font->inAtlas |= lacking;  // nothing to render for those
  src->DropSize();  // most fonts are only measured, if used at all
  for (int code = 0; code < 32; ++code) font->inAtlas[code] = true;

  // The atlas starts as one blank row as wide as a few lines of the largest glyphs
  // are likely to need; PrepareGlyphs fills and grows it.
  gfx::TextureStore& atlas = font->atlas;
  atlas.w = NextPowerOfTwo(std::min(4 * (font->lineHeight + 2), 4096), 64);
  atlas.h = 1;
  atlas.rgba.assign(static_cast<size_t>(atlas.w), 0);
  atlas.flags = (font->smooth ? kTextureFiltered : 0) | kTextureAlpha8;
  atlas.dirty = true;
  atlas.reload = [f = font.get()](gfx::TextureStore&) { return gfx::RebuildAtlas(*f); };
  font->source = std::move(src);
  Fonts().push_back(std::move(font));
  return static_cast<int>(Fonts().size()) - 1;
}

void FreeFont(Font font) {
  if (!gfx::FontExists(font)) return;
  Fonts()[font]->atlas.Release();
  Fonts()[font].reset();
}

}  // namespace plat
