#include "scores/scores.h"

#include <algorithm>
#include <climits>

#include "core/fields.h"
#include "core/log.h"
#include "platform/platform.h"

HighScoresState HighScores;

namespace {

const char* const kScoreFile = "scores.dat";
const char* const kAsideFile = "scores.dat.unsaved";

// A number read from the file that must not be negative. The most negative int
// has no positive twin and reads as the largest one.
int Magnitude(int v) { return v == INT_MIN ? INT_MAX : (v < 0 ? -v : v); }

int FieldInt(const std::string& line, int n) { return Magnitude(plat::ToInt(GetField(line, "|", n))); }

// The next line of `text` from `pos`, the way the platform's line reader reads a
// file: it ends at LF or NUL, CRs are dropped, and past the end it is empty.
std::string NextLine(const std::string& text, size_t& pos) {
  std::string line;
  size_t end = pos;
  while (end < text.size() && text[end] != '\n' && text[end] != '\0') end++;
  line.reserve(end - pos);
  for (size_t i = pos; i < end; i++) {
    if (text[i] != '\r') line.push_back(text[i]);
  }
  pos = end < text.size() ? end + 1 : end;
  return line;
}

// Moves the last record of a list that was in order to its place (stable).
void SettleLast(std::list<Scores>& list) {
  if (list.size() < 2) return;
  auto last = std::prev(list.end());
  auto place = last;
  while (place != list.begin() && last->Compare(*std::prev(place)) < 0) --place;
  if (place != last) list.splice(place, list, last);
}

// Puts records read in file order into the order they would have if the list were
// sorted again after each one. While all timestamps lie less than 2^31 apart the
// ordering is consistent, and one stable sort gives exactly that order without a
// sort per record; otherwise each record is settled in turn.
void OrderAsRead(std::list<Scores>& records, int64_t lowest, int64_t highest) {
  int64_t span;
  if (records.empty()) return;
  if (!__builtin_sub_overflow(highest, lowest, &span) && span < (int64_t{1} << 31)) {
    records.sort([](const Scores& a, const Scores& b) { return a.Compare(b) < 0; });
    return;
  }
  std::list<Scores> ordered;
  while (!records.empty()) {
    ordered.splice(ordered.end(), records, records.begin());
    SettleLast(ordered);
  }
  records.swap(ordered);
}

std::string Join(const int* values, int first, int last) {
  std::string out;
  for (int k = first; k <= last; k++) {
    if (k > first) out += '|';
    out += std::to_string(values[k]);
  }
  return out;
}

// A file of this run's own beside scores.dat: one left by an earlier run holds
// that run's records, so it is not reused.
const std::string& AsideFile() {
  if (HighScores.AsideFile.empty()) HighScores.AsideFile = plat::UnusedFileName(kAsideFile);
  return HighScores.AsideFile;
}

void WriteAside(const std::string& text, const std::string& why) {
  const std::string& aside = AsideFile();
  if (plat::ReplaceFileContents(aside, text)) {
    LogLine(std::string("\t") + kScoreFile + " " + why + ", so it is kept as it is; the scores are in " + aside);
  } else {
    LogLine(std::string("\t") + kScoreFile + " " + why + ", and could not write " + aside);
  }
}

// True when scores.dat itself now holds the list.
bool WriteScoreFile() {
  SortScores();
  const std::string text = FormatScores(HighScores.ScoreList);
  if (plat::FileType(kScoreFile) != plat::kFileTypeNone && !HighScores.FileIsOurs) {
    WriteAside(text, "was not read this run");
    return false;
  }
  if (plat::FileIsReadOnly(kScoreFile)) {
    WriteAside(text, "is read-only");
    return false;
  }
  if (plat::ReplaceFileContents(kScoreFile, text)) {
    HighScores.FileIsOurs = true;
    return true;
  }
  LogLine(std::string("\tCould not write ") + kScoreFile);
  return false;
}

}  // namespace

int Scores::Compare(const Scores& other) const {
  return static_cast<int>(static_cast<uint32_t>(static_cast<uint64_t>(other.Timestamp) -
                                                static_cast<uint64_t>(Timestamp)));
}

void SortScores() {
  HighScores.ScoreList.sort([](const Scores& a, const Scores& b) { return a.Compare(b) < 0; });
}

void AddScore(const Scores& record) {
  HighScores.ScoreList.push_back(record);
  SortScores();
}

ParsedScores ParseScores(const std::string& text) {
  ParsedScores out;
  int64_t lowest = INT64_MAX, highest = INT64_MIN;
  size_t pos = 0;
  do {
    std::string line = NextLine(text, pos);
    if (line.find('|') == std::string::npos) continue;
    Scores s;
    s.Score = plat::ToInt64(GetField(line, "|", 1));
    s.Name = plat::Trim(GetField(line, "|", 2));
    if (!out.named) {
      out.named = true;
      out.firstName = s.Name;
    }
    s.Badges = FieldInt(line, 3);
    s.Timestamp = plat::ToInt64(GetField(line, "|", 4));
    s.Level = FieldInt(line, 5);
    s.GameMode = FieldInt(line, 6);
    s.GameFlags = FieldInt(line, 7);
    s.Quit = FieldInt(line, 8);
    // The second line belongs to the record whatever it holds (empty at the end).
    std::string best = NextLine(text, pos);
    for (int k = 1; k <= 30; k++) s.Best[k] = FieldInt(best, k);
    lowest = std::min(lowest, s.Timestamp);
    highest = std::max(highest, s.Timestamp);
    out.records.push_back(std::move(s));
  } while (pos < text.size());
  OrderAsRead(out.records, lowest, highest);
  return out;
}

std::string FormatScores(const std::list<Scores>& list) {
  std::string out;
  for (const Scores& s : list) {
    out += std::to_string(s.Score) + "|" + s.Name + "|" + std::to_string(s.Badges) + "|" +
           std::to_string(s.Timestamp) + "|" + std::to_string(s.Level) + "|" + std::to_string(s.GameMode) +
           "|" + std::to_string(s.GameFlags) + "|" + std::to_string(s.Quit) + "\r\n";
    out += Join(s.Best, 1, 30) + "\r\n";
  }
  return out;
}

void LoadScores() {
  if (plat::FileType(kScoreFile) != plat::kFileTypeFile) return;
  plat::Stream in = plat::ReadFile(kScoreFile);
  if (in == 0) {
    // Keep what is in memory rather than show an empty table.
    LogLine(std::string("\tCould not read ") + kScoreFile);
    HighScores.FileIsOurs = false;
    return;
  }
  std::string text;
  do {
    text += plat::ReadLine(in);
    text += '\n';
  } while (!plat::Eof(in));
  plat::CloseStream(in);

  HighScores.FileIsOurs = true;
  ParsedScores parsed = ParseScores(text);
  HighScores.ScoreList = std::move(parsed.records);
  if (parsed.named) HighScores.PlayerName = parsed.firstName;
}

void SaveScores() { WriteScoreFile(); }

void RefreshScores() {
  if (!HighScores.ScoresLoaded) {
    HighScores.ScoresLoaded = true;
    LoadScores();
    return;
  }
  // Reading the file back is only safe once it holds the records of this run.
  if (WriteScoreFile()) LoadScores();
}

void ResetScores() {
  HighScores = HighScoresState{};
}
