#include "core/fields.h"

namespace {

// 1-based position of pattern in text at or after start; 0 when absent.
size_t FindFrom(const std::string& text, const std::string& pattern, size_t start) {
  if (pattern.empty() || start > text.size()) return 0;
  size_t pos = text.find(pattern, start - 1);
  return pos == std::string::npos ? 0 : pos + 1;
}

}  // namespace

std::string GetField(const std::string& text, const std::string& sep, int n) {
  size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) < 33) first++;
  while (last > first && static_cast<unsigned char>(text[last - 1]) < 33) last--;
  std::string t = text.substr(first, last - first);

  // Positions are 1-based; a field asked past the last separator is "missing".
  size_t c = 1, b = 0;
  bool missing = false;
  for (int i = 1; i < n; i++) {
    size_t d = FindFrom(t, sep, c);
    size_t next = b;
    if (b < d + 1) {
      next = d == 0 ? 1 : d + sep.size();
    } else {
      missing = true;
    }
    c = b = next;
  }
  if (missing) return "-+-";
  size_t d = FindFrom(t, sep, c);
  if (c > t.size()) return "";
  return d >= c ? t.substr(c - 1, d - c) : t.substr(c - 1);
}
