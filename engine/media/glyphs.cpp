// TrueType glyphs through FreeType: faces from bytes, sizes on them, and each
// Latin-1 character measured or rendered to a coverage bitmap.
#include "media/glyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H

#include <algorithm>

namespace plat::media {
namespace {

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

FT_Int32 LoadFlags(int style) {
  return FT_LOAD_NO_BITMAP | ((style & kStyleSmooth) ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO);
}

FT_Pos BoldExtra(FT_Face face, int style) {
  if (!(style & kStyleBold)) return 0;
  return std::max<FT_Pos>(32, FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 24);
}

}  // namespace

std::shared_ptr<FontFace> FontFace::Open(std::vector<uint8_t> bytes) {
  FT_Library lib = Library();
  if (!lib || bytes.empty()) return nullptr;
  std::shared_ptr<FontFace> file(new FontFace);
  file->bytes_ = std::move(bytes);
  FT_Face face = nullptr;
  if (FT_New_Memory_Face(lib, file->bytes_.data(), static_cast<FT_Long>(file->bytes_.size()), 0, &face) != 0) {
    return nullptr;
  }
  file->face_ = face;
  return file;
}

FontFace::~FontFace() {
  if (face_) FT_Done_Face(face_);
}

std::unique_ptr<FontSize> FontSize::Make(std::shared_ptr<FontFace> face, int pixelSize, int style) {
  if (!face || pixelSize <= 0) return nullptr;
  std::unique_ptr<FontSize> size(new FontSize);
  size->face_ = std::move(face);
  size->pixelSize_ = pixelSize;
  size->style_ = style;
  if (!size->Activate()) return nullptr;
  // The baseline sits the scaled ascender below the line top; the scaled metrics
  // are rounded outwards, so they are taken from the face's own units.
  FT_Face f = size->face_->face_;
  const FT_Pos ascender = FT_MulFix(f->ascender, f->size->metrics.y_scale);
  size->ascent_ = std::clamp(static_cast<int>((ascender + 32) >> 6), 0, pixelSize);
  return size;
}

FontSize::~FontSize() { DropSize(); }

void FontSize::DropSize() {
  if (size_) FT_Done_Size(size_);
  size_ = nullptr;
}

bool FontSize::Activate() {
  if (size_) return FT_Activate_Size(size_) == 0;
  if (FT_New_Size(face_->face_, &size_) != 0) {
    size_ = nullptr;
    return false;
  }
  // The pixel size is the height of a line, ascender plus descender (the cell
  // height), not the em: layouts put lines of a size-N font N pixels apart.
  FT_Size_RequestRec request{FT_SIZE_REQUEST_TYPE_CELL, 0, static_cast<FT_Long>(pixelSize_) * 64, 0, 0};
  if (FT_Activate_Size(size_) == 0 && FT_Request_Size(face_->face_, &request) == 0) return true;
  DropSize();
  return false;
}

bool FontSize::Measure(int code, int& advance, bool& blank) {
  FT_Face face = face_->face_;
  FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
  if (index == 0 || FT_Load_Glyph(face, index, LoadFlags(style_)) != 0) return false;
  const FT_GlyphSlot slot = face->glyph;
  blank = slot->format == FT_GLYPH_FORMAT_OUTLINE ? slot->outline.n_points == 0 : slot->bitmap.width == 0;
  const FT_Pos bold = slot->format == FT_GLYPH_FORMAT_OUTLINE ? BoldExtra(face, style_) : 0;
  advance = static_cast<int>((slot->advance.x + bold + 32) >> 6);
  return true;
}

bool FontSize::Render(int code, GlyphBitmap& g) {
  FT_Face face = face_->face_;
  const int style = style_;
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
  g.top = ascent_ - slot->bitmap_top;
  g.w = static_cast<int>(bm.width);
  g.h = static_cast<int>(bm.rows);
  std::vector<uint8_t>& cov = g.coverage;
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

}  // namespace plat::media
