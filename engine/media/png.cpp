// The PNG codec: libpng's simplified reader for decoding, its full writer (for the
// compression level) for encoding.
#include "media/png.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace plat::media {
namespace {

// libpng reports errors by longjmp; only plain data lives across the setjmp.
void AppendPng(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::string*>(png_get_io_ptr(png));
  out->append(reinterpret_cast<const char*>(data), length);
}

void FlushNothing(png_structp) {}

}  // namespace

// libpng's simplified reader traps its own errors.
bool DecodePng(const uint8_t* bytes, size_t size, int& w, int& h, std::vector<uint8_t>& rgba) {
  if (size < 8 || png_sig_cmp(bytes, 0, 8) != 0) return false;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes, size)) return false;
  if (image.width == 0 || image.height == 0 || image.width > kMaxSide || image.height > kMaxSide ||
      static_cast<long long>(image.width) * image.height > kMaxPixels) {
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_RGBA;
  // 16-bit files are sRGB like 8-bit ones unless they say otherwise; without this
  // libpng would take them as linear and brighten them.
  image.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
  std::vector<uint8_t> out(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  w = static_cast<int>(image.width);
  h = static_cast<int>(image.height);
  rgba = std::move(out);
  return true;
}

bool EncodePng(const uint8_t* rgba, int w, int h, int level, std::string& out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  std::vector<png_bytep> rows(h);
  for (int y = 0; y < h; ++y) rows[y] = const_cast<png_bytep>(&rgba[static_cast<size_t>(y) * w * 4]);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &out, AppendPng, FlushNothing);
  png_set_compression_level(png, level);
  png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace plat::media
