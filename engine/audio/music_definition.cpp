#include "audio/music_definition.h"

#include <array>

#include "platform/platform.h"

const std::string& SongDefinition::Line(int section, int k) const {
  static const std::string kNone;
  if (section < 0 || section >= kSectionCount || k < 1 || k > SongLineCount[section]) return kNone;
  return SongLines[section * 1000 + k];
}

namespace {

bool EndsWith(const std::string& text, std::string_view tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void ReadDefinitionLine(const std::string& raw, int& section, SongDefinition& song) {
  const std::string line = plat::Trim(raw);
  if (line.empty()) return;
  const std::string upper = plat::Upper(line);

  if (line[0] == '[') {
    static const char* const kHeaders[kSectionCount] = {"[DRUMS", "[CHORDS", "[BASS", "[MELODY", "[ACCOMPANY"};
    const std::string header = plat::Replace(upper, "]", "");
    for (int s = 0; s < kSectionCount; ++s) {
      if (header == kHeaders[s]) section = s;
    }
    return;
  }
  if (section < 0) return;

  if (upper.rfind("STRETCH", 0) == 0) {
    int& mode = song.StretchMode[section];
    if (EndsWith(upper, "FALSE")) mode = kStretchFalse;
    else if (EndsWith(upper, "RANDOM+")) mode = kStretchRandomPlus;
    else if (EndsWith(upper, "RANDOM")) mode = kStretchRandom;
    else if (EndsWith(upper, "DOUBLE")) mode = kStretchDouble;
    return;
  }

  if (line[0] == '"') {
    int& count = song.SongLineCount[section];
    if (count >= kMaxSectionLines) return;
    ++count;
    song.SongLines[section * 1000 + count] = plat::Replace(line, "\"", "");
  }
}

// Semitone ratios from z (a rest where 0.5 would stand) up to ].
constexpr std::string_view kNoteLetters = "zsxdcvgbhnjmq2w3er5t6y7ui9o0p[=]";
constexpr std::array<double, 32> kNoteRatios = {
    0,     0.5295, 0.561, 0.5945, 0.63,  0.6675, 0.707, 0.749, 0.7935, 0.841, 0.891,
    0.944, 1,      1.059, 1.122,  1.189, 1.26,   1.335, 1.414, 1.498,  1.587, 1.682,
    1.782, 1.888,  2,     2.118,  2.244, 2.378,  2.52,  2.67,  2.828,  2.996};
static_assert(kNoteLetters.size() == kNoteRatios.size());

}  // namespace

SongDefinition ParseSongDefinition(std::string_view text) {
  SongDefinition song;
  int section = -1;
  std::string line;
  for (char ch : text) {
    if (ch == '\n' || ch == '\0') {
      ReadDefinitionLine(line, section, song);
      line.clear();
    } else if (ch != '\r') {
      line.push_back(ch);
    }
  }
  if (!line.empty()) ReadDefinitionLine(line, section, song);
  return song;
}

double NotePitch(char letter) {
  if (letter >= 'A' && letter <= 'Z') letter = static_cast<char>(letter - 'A' + 'a');
  const size_t at = kNoteLetters.find(letter);
  return at == std::string_view::npos ? 0.0 : kNoteRatios[at];
}

double NotePitch(std::string_view text) { return text.size() == 1 ? NotePitch(text[0]) : 0.0; }
