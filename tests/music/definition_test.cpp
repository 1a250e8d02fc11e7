// Reading music definitions into tables, and the note alphabet.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "music_fixture.h"

namespace {

std::string Lines(int section, const SongDefinition& song) {
  std::string out;
  for (int k = 1; k <= song.SongLineCount[section]; ++k) out += "<" + song.Line(section, k) + ">";
  return out;
}

struct ParseCase {
  const char* name;
  std::string text;
  int counts[5];
  int modes[5];
  std::string firstLines;  // the lines of the section given in `section`
  int section;
};

TEST(SongDefinitionTest, ReadsSectionsStretchAndPatterns) {
  const ParseCase cases[] = {
      {"drums example", "[DRUMS]\r\nSTRETCH=FALSE\r\n\"1030\"\r\n\"1333\"\r\n", {2, 0, 0, 0, 0}, {0, -1, -1, -1, -1},
       "<1030><1333>", 0},
      {"header case ignored", "[Bass]\n\"q\"\n", {0, 0, 1, 0, 0}, {-1, -1, -1, -1, -1}, "<q>", 2},
      {"blank before bracket keeps the section", "[MELODY]\n\"a\"\n[BASS ]\n\"b\"\n", {0, 0, 0, 2, 0},
       {-1, -1, -1, -1, -1}, "<a><b>", 3},
      {"two quoted groups", "[melody]\n  \"q w e\" \"r t\"  \n", {0, 0, 0, 1, 0}, {-1, -1, -1, -1, -1},
       "<q w e r t>", 3},
      {"text after the quote is kept, case too", "[CHORDS]\n\"Qn\"vb\n", {0, 1, 0, 0, 0}, {-1, -1, -1, -1, -1},
       "<Qnvb>", 1},
      {"lines before a header and comments", "\"12\"\n; \"34\"\n[DRUMS]\n; x\n\n\"56\"\n", {1, 0, 0, 0, 0},
       {-1, -1, -1, -1, -1}, "<56>", 0},
      {"stretch spellings", "[DRUMS]\nSTRETCH RANDOM+\n[CHORDS]\nstretch=random\n[BASS]\nStretch: Double\n"
       "[MELODY]\nSTRETCH=FALSE\nSTRETCH=MAYBE\n[ACCOMPANY]\nSTRETCHFALSE\n",
       {0, 0, 0, 0, 0}, {2, 1, -2, 0, 0}, "", 0},
      {"stretch before any section", "STRETCH=FALSE\n[DRUMS]\n", {0, 0, 0, 0, 0}, {-1, -1, -1, -1, -1}, "", 0},
      {"header with trailing text selects nothing", "[DRUMS] drums\n\"1\"\n", {0, 0, 0, 0, 0},
       {-1, -1, -1, -1, -1}, "", 0},
      {"a header may repeat and add lines", "[DRUMS]\n\"1\"\n[BASS]\n\"q\"\n[drums]]\n\"2\"\n", {2, 0, 1, 0, 0},
       {-1, -1, -1, -1, -1}, "<1><2>", 0},
      {"empty quotes make empty lines", "[BASS]\n\"\"\n\"\"\"\n", {0, 0, 2, 0, 0}, {-1, -1, -1, -1, -1}, "<><>", 2},
      {"NUL ends a line", std::string("[DRUMS]\0\"12\"\0\"3", 15), {2, 0, 0, 0, 0}, {-1, -1, -1, -1, -1}, "<12><3>",
       0},
      {"no sections", "hello\n\"123\"\nSTRETCH=FALSE\n", {0, 0, 0, 0, 0}, {-1, -1, -1, -1, -1}, "", 0},
      {"unknown headers only", "[DRUM]\n\"1\"\n[BASSES]\n\"2\"\n", {0, 0, 0, 0, 0}, {-1, -1, -1, -1, -1}, "", 0},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.name);
    const SongDefinition song = ParseSongDefinition(c.text);
    for (int s = 0; s < kSectionCount; ++s) {
      EXPECT_EQ(song.SongLineCount[s], c.counts[s]) << "section " << s;
      EXPECT_EQ(song.StretchMode[s], c.modes[s]) << "section " << s;
    }
    EXPECT_EQ(Lines(c.section, song), c.firstLines);
  }
}

TEST(SongDefinitionTest, KeepsAtMost998LinesPerSection) {
  std::string text = "[BASS]\n";
  for (int i = 1; i <= 1005; ++i) text += "\"" + std::to_string(i) + "\"\n";
  text += "[MELODY]\n\"m\"\n";
  const SongDefinition song = ParseSongDefinition(text);
  EXPECT_EQ(song.SongLineCount[kBass], 998);
  EXPECT_EQ(song.Line(kBass, 998), "998");
  EXPECT_EQ(song.Line(kBass, 999), "") << "the 999th line is not kept";
  EXPECT_EQ(song.SongLineCount[kMelody], 1) << "another section still takes lines";
  EXPECT_EQ(song.SongLines[3 * 1000 + 1], "m");
}

TEST(SongDefinitionTest, LargeAndBrokenTextsLoadByTheRules) {
  std::string many = "[DRUMS]\n";
  for (int i = 0; i < 100000; ++i) many += "\"1\"\n";
  EXPECT_EQ(ParseSongDefinition(many).SongLineCount[kDrums], 998);

  const std::string megabyte(1 << 20, 'q');
  const SongDefinition wide = ParseSongDefinition("[CHORDS]\n\"" + megabyte + "\"\n" + megabyte + "\n");
  EXPECT_EQ(wide.SongLineCount[kChords], 1);
  EXPECT_EQ(wide.Line(kChords, 1).size(), megabyte.size());

  std::mt19937 gen(7);
  std::string noise;
  for (int i = 0; i < 200000; ++i) noise.push_back(static_cast<char>(gen() & 0xFF));
  const SongDefinition random = ParseSongDefinition("[DRUMS]\n" + noise);
  EXPECT_LE(random.SongLineCount[kDrums], 998);
}

TEST(NotePitchTest, FollowsTheKeyboardTable) {
  const std::string letters = "zsxdcvgbhnjmq2w3er5t6y7ui9o0p[=]";
  for (size_t i = 1; i < letters.size(); ++i) {
    SCOPED_TRACE(letters.substr(i, 1));
    // Each letter is one equal-tempered semitone above the one before.
    EXPECT_NEAR(NotePitch(letters.substr(i, 1)), std::pow(2.0, (static_cast<double>(i) - 12) / 12), 0.0015);
  }
  // The table's own rounded values, exactly.
  const double table[] = {0,     0.5295, 0.561, 0.5945, 0.63,  0.6675, 0.707, 0.749, 0.7935, 0.841, 0.891,
                          0.944, 1,      1.059, 1.122,  1.189, 1.26,   1.335, 1.414, 1.498,  1.587, 1.682,
                          1.782, 1.888,  2,     2.118,  2.244, 2.378,  2.52,  2.67,  2.828,  2.996};
  ASSERT_EQ(std::size(table), letters.size());
  for (size_t i = 0; i < letters.size(); ++i) EXPECT_EQ(NotePitch(letters.substr(i, 1)), table[i]) << letters[i];
  const std::pair<std::string, double> exact[] = {{"Q", 1},   {"q", 1},     {"z", 0},   {"Z", 0},     {"a", 0},
                                                  {"]", 2.996}, {"s", 0.5295}, {"i", 2},  {"I", 2},     {" ", 0},
                                                  {"", 0},    {"qq", 0},    {"{", 0},  {"\xE9", 0}, {std::string(1, '\0'), 0}};
  for (const auto& [text, ratio] : exact) EXPECT_EQ(NotePitch(text), ratio) << "'" << text << "'";
}

using SongFileTest = MusicTest;

TEST_F(SongFileTest, StartSongReadsTheFileAndAMissingFileStartsNothing) {
  WriteSong("tune", "[DRUMS]\r\nSTRETCH=FALSE\r\n\"1\"\r\n[CHORDS]\r\n\"qqqq\"\r\n");
  StartSong("tune", 5, 250);
  EXPECT_EQ(Audio.SongPlaying, 1);
  EXPECT_EQ(Audio.CurrentSong.SongLineCount[kDrums], 1);
  EXPECT_EQ(Audio.CurrentSong.StretchMode[kDrums], 0);
  StopSong();

  StartSong("absent", 5, 250);
  EXPECT_EQ(Audio.SongPlaying, 0);
  for (int s = 0; s < kSectionCount; ++s) {
    EXPECT_EQ(Audio.CurrentSong.SongLineCount[s], 0);
    EXPECT_EQ(Audio.CurrentSong.StretchMode[s], -1);
  }
}

}  // namespace
