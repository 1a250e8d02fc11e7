#include "base/paths.h"

#include <algorithm>

namespace plat {

std::filesystem::path PathFromUtf8(const std::string& utf8) {
  try {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
  } catch (const std::exception&) {  // a conversion to the system's wide names failed
    return {};
  }
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  try {
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
  } catch (const std::exception&) {
    return {};
  }
}

std::string NormalPath(const std::filesystem::path& path) {
  const std::filesystem::path normal = path.lexically_normal();
  std::string text = Utf8FromPath(normal);
  const size_t root = Utf8FromPath(normal.root_path()).size();
  while (text.size() > std::max<size_t>(root, 1) && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace plat
