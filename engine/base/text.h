// Text helpers over byte strings: one byte per character (Latin-1), positions
// from 1, as the program's text files store them.
#pragma once

#include <cstdint>
#include <string>

namespace plat {

int ToInt(const std::string& text);
// The same rules in 64 bits (score file fields).
int64_t ToInt64(const std::string& text);
std::string Trim(const std::string& text);
std::string Mid(const std::string& text, int start, int count = -1);
std::string Left(const std::string& text, int count);
std::string Right(const std::string& text, int count);
int Instr(const std::string& text, const std::string& pattern, int start = 1);
std::string Replace(const std::string& text, const std::string& pattern, const std::string& with);
std::string Upper(const std::string& text);

}  // namespace plat
