// Paths between the program's UTF-8 text and std::filesystem, which reads a
// narrow string in the system's code page on some targets.
#pragma once

#include <filesystem>
#include <string>

namespace plat {

// An empty path when `utf8` is not valid UTF-8 where the system needs it to be.
std::filesystem::path PathFromUtf8(const std::string& utf8);
// UTF-8 with '/' between the names.
std::string Utf8FromPath(const std::filesystem::path& path);
// Lexically normal, as UTF-8 with '/', without a trailing '/' except at a root
// ("/", or "C:/" where drives exist).
std::string NormalPath(const std::filesystem::path& path);

}  // namespace plat
