// Private to the Windows file set: the program's UTF-8 text to the system's
// UTF-16 and back. Paths go to the system as they are ('/' and '\' both
// separate names there) and come back with '/'.
#pragma once

#include <string>

namespace plat::sys {

// Empty when `utf8` is not valid UTF-8 (no file is named by a broken text).
std::wstring Wide(const std::string& utf8);
std::string Utf8(const wchar_t* text);
// Utf8 with every '\' turned into '/'.
std::string Utf8Path(const wchar_t* path);

}  // namespace plat::sys
