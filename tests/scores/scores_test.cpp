// Score records, the score-file text and the file routines.
#include <climits>
#include <vector>

#include "scores_fixture.h"

namespace {

TEST_F(ScoresTest, TheFileExampleIsWrittenByteForByte) {
  Scores s = Record(500, 900);
  s.Level = 3;
  s.GameMode = 1;
  for (int k = 1; k <= 30; k++) s.Best[k] = 7;
  AddScore(s);
  SaveScores();
  const std::string expected = Lines({"500|Ann|0|900|3|1|0|0", BestLine(7)});
  EXPECT_EQ(ReadBytes("scores.dat"), expected);
  EXPECT_TRUE(SaveTemps("scores.dat").empty());

  HighScores.ScoreList.clear();
  HighScores.PlayerName = "Someone";
  LoadScores();
  ASSERT_EQ(HighScores.ScoreList.size(), 1u);
  EXPECT_EQ(FormatScores(HighScores.ScoreList), expected);
  EXPECT_EQ(HighScores.PlayerName, "Ann");
}

TEST_F(ScoresTest, ListsAreWrittenNewestFirstWithSignsAndSpacesKept) {
  AddScore(Record(-42, 100, " Old "));
  AddScore(Record(7, 300, "New"));
  AddScore(Record(9, 200, "Mid"));
  EXPECT_EQ(HighScores.ScoreList.front().Name, "New");
  SaveScores();
  EXPECT_EQ(ReadBytes("scores.dat"), Lines({"7|New|0|300|0|0|0|0", Zeros(), "9|Mid|0|200|0|0|0|0", Zeros(),
                                            "-42| Old |0|100|0|0|0|0", Zeros()}));
}

TEST_F(ScoresTest, SortingIsStableAndNewestFirst) {
  // Equal timestamps keep their order; timestamps less than 2^31 apart sort newest first.
  HighScores.ScoreList = {Record(1, 50, "a"), Record(2, 70, "b"), Record(3, 50, "c"), Record(4, 70, "d"),
               Record(5, 1000, "e")};
  SortScores();
  std::string order;
  for (const Scores& s : HighScores.ScoreList) order += s.Name;
  EXPECT_EQ(order, "ebdac");
  EXPECT_EQ(Record(0, 10).Compare(Record(0, 25)), 15);
  EXPECT_EQ(Record(0, 0).Compare(Record(0, int64_t{1} << 32)), 0);  // only the low 32 bits count
}

TEST(ToInt64, FollowsTheIntegerRulesIn64Bits) {
  const struct {
    const char* text;
    int64_t value;
  } cases[] = {
      {"", 0},
      {"-+-", 0},
      {"  42", 42},
      {"+7", 7},
      {"12abc", 12},
      {"abc", 0},
      {"-900", -900},
      {"$FF", 255},
      {"%101", 5},
      {"$FFFFFFFFFFFFFFFF", -1},
      {"4294967296", 4294967296},
      {"9223372036854775807", INT64_MAX},
      {"9223372036854775808", INT64_MAX},
      {"99999999999999999999999", INT64_MAX},
      {"-9223372036854775808", INT64_MIN},
      {"-99999999999999999999999", INT64_MIN},
  };
  for (const auto& c : cases) EXPECT_EQ(plat::ToInt64(c.text), c.value) << c.text;
}

// Each text is read and written back; the result shows every field that was read.
TEST_F(ScoresTest, ReadingFollowsTheFileRules) {
  const std::string nul(1, '\0');
  const struct {
    const char* what;
    std::string text;
    std::string written;
    const char* player;  // nullptr: the name stays "Player"
  } cases[] = {
      {"empty", "", "", nullptr},
      {"LF line ends", "500|Ann|0|900|3|1|0|0\n" + BestLine(7) + "\n",
       Lines({"500|Ann|0|900|3|1|0|0", BestLine(7)}), "Ann"},
      {"the first record names the player, newest first",
       Lines({"5|Bob|0|900|0|0|0|0", Zeros(), "3|Cy|0|2000|0|0|0|0", Zeros()}),
       Lines({"3|Cy|0|2000|0|0|0|0", Zeros(), "5|Bob|0|900|0|0|0|0", Zeros()}), "Bob"},
      {"equal timestamps keep their file order",
       Lines({"1|a|0|5|0|0|0|0", Zeros(), "2|b|0|7|0|0|0|0", Zeros(), "3|c|0|5|0|0|0|0", Zeros()}),
       Lines({"2|b|0|7|0|0|0|0", Zeros(), "1|a|0|5|0|0|0|0", Zeros(), "3|c|0|5|0|0|0|0", Zeros()}), "a"},
      {"timestamps 2^31 or more apart: each record settles in turn",
       Lines({"1|a|0|0|0|0|0|0", "", "2|b|0|2147483653|0|0|0|0", "", "3|c|0|1099511627776|0|0|0|0", "",
              "4|d|0|-5|0|0|0|0", ""}),
       Lines({"1|a|0|0|0|0|0|0", Zeros(), "3|c|0|1099511627776|0|0|0|0", Zeros(), "4|d|0|-5|0|0|0|0", Zeros(),
              "2|b|0|2147483653|0|0|0|0", Zeros()}),
       "a"},
      {"names are trimmed", Lines({"1|  Ann Lee \t|0|5|0|0|0|0", Zeros()}),
       Lines({"1|Ann Lee|0|5|0|0|0|0", Zeros()}), "Ann Lee"},
      {"no Best line and no line end", "1|Ann|0|5|0|0|0|0", Lines({"1|Ann|0|5|0|0|0|0", Zeros()}), "Ann"},
      {"missing fields read as 0", Lines({"7|Zed", "1|2"}),
       Lines({"7|Zed|0|0|0|0|0|0", "1|2|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0"}), "Zed"},
      {"non-numeric fields read as 0", Lines({"abc|Ann|x|y|z|q|w|e", "p|q"}),
       Lines({"0|Ann|0|0|0|0|0|0", Zeros()}), "Ann"},
      {"negatives: Score and Timestamp keep their sign",
       Lines({"-500|Ann|-3|-900|-4|-1|-2|-1", "-7|-8|-2147483648"}),
       Lines({"-500|Ann|3|-900|4|1|2|1", "7|8|2147483647|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0"}),
       "Ann"},
      {"64-bit fields", Lines({"9223372036854775807|A|99999999999|-99999999999999999999|0|0|0|0", Zeros()}),
       Lines({"9223372036854775807|A|2147483647|-9223372036854775808|0|0|0|0", Zeros()}), "A"},
      {"the line after a record line is its Best line, whatever it holds",
       Lines({"1|A|0|5|0|0|0|0", "2|B|0|6|0|0|0|0"}),
       Lines({"1|A|0|5|0|0|0|0", "2|0|0|6|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0"}), "A"},
      {"lines without a separator are skipped",
       Lines({"hello", "", "1|A|0|5|0|0|0|0", Zeros(), "world", "  "}), Lines({"1|A|0|5|0|0|0|0", Zeros()}),
       "A"},
      {"NUL bytes end lines", "1|A|0|5|0|0|0|0" + nul + "4|4" + nul + nul + "2|B" + nul,
       Lines({"1|A|0|5|0|0|0|0", "4|4|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0", "2|B|0|0|0|0|0|0",
              Zeros()}),
       "A"},
  };
  for (const auto& c : cases) {
    ParsedScores parsed = ParseScores(c.text);
    EXPECT_EQ(FormatScores(parsed.records), c.written) << c.what;
    EXPECT_EQ(parsed.named, c.player != nullptr) << c.what;
    if (c.player) {
      EXPECT_EQ(parsed.firstName, c.player) << c.what;
    }

    // The file routine reads the same bytes the same way.
    ResetScores();
    WriteBytes("scores.dat", c.text);
    LoadScores();
    EXPECT_EQ(FormatScores(HighScores.ScoreList), c.written) << c.what << " (file)";
    EXPECT_EQ(HighScores.PlayerName, c.player ? c.player : "Player") << c.what << " (file)";
  }
}

TEST_F(ScoresTest, MegabyteLinesAreReadWhole) {
  const std::string longName(1 << 20, 'n');
  const std::string junk(1 << 20, '#');
  const std::string text = junk + "\r\n1|" + longName + "|0|5|0|0|0|0\r\n" + junk + "|3";
  WriteBytes("scores.dat", text);
  LoadScores();
  ASSERT_EQ(HighScores.ScoreList.size(), 1u);
  EXPECT_EQ(HighScores.ScoreList.front().Name, longName);
  EXPECT_EQ(HighScores.ScoreList.front().Best[1], 0);  // "####..." is not a number
  EXPECT_EQ(HighScores.ScoreList.front().Best[2], 3);
}

TEST_F(ScoresTest, AMissingFileLeavesListAndNameAlone) {
  AddScore(Record(10, 10, "Kept"));
  HighScores.PlayerName = "Typed";
  LoadScores();
  ASSERT_EQ(HighScores.ScoreList.size(), 1u);
  EXPECT_EQ(HighScores.PlayerName, "Typed");

  MakeDir("scores.dat");  // a folder where the file should be
  LoadScores();
  EXPECT_EQ(HighScores.ScoreList.size(), 1u);
}

TEST_F(ScoresTest, AFailedSaveKeepsTheOldFileAndSaysSo) {
  ASSERT_TRUE(OpenLog("Debug.txt"));
  const std::string old = Lines({"1|Old|0|5|0|0|0|0", Zeros()});
  WriteBytes("scores.dat", old);
  LoadScores();
  AddScore(Record(2, 6, "New"));
  plat::FailFileWritesAfter(0);  // as a full disk would (permission bits would not stop root)
  SaveScores();
  plat::FailFileWritesAfter(-1);
  EXPECT_EQ(ReadBytes("scores.dat"), old);
  CloseLog();
  const std::vector<std::string> log = ReadLines("Debug.txt");
  EXPECT_NE(std::find(log.begin(), log.end(), "\tCould not write scores.dat"), log.end());
  EXPECT_EQ(HighScores.ScoreList.size(), 2u);
}

// A scores.dat this run has not read holds records the list lacks, and one the
// player made read-only is theirs to keep: neither is replaced, by an Apply or at
// shutdown, and the list goes to a file beside it.
TEST_F(ScoresTest, AnEarlierRunsListBesideTheFileIsNotOverwritten) {
  WriteBytes("scores.dat", Lines({"1|Old|0|5|0|0|0|0", Zeros()}));
  WriteBytes("scores.dat.unsaved", Lines({"2|Earlier|0|6|0|0|0|0", Zeros()}));
  AddScore(Record(3, 7, "Now"));
  SaveScores();  // nothing was loaded: the file is not this run's
  SaveScores();
  EXPECT_EQ(ReadBytes("scores.dat.unsaved"), Lines({"2|Earlier|0|6|0|0|0|0", Zeros()}));
  EXPECT_EQ(ReadBytes("scores.dat.unsaved2"), Lines({"3|Now|0|7|0|0|0|0", Zeros()}));
  EXPECT_EQ(plat::FileType(At("scores.dat.unsaved3")), plat::kFileTypeNone) << "one file for the whole run";
}

// Saves are killed at varied moments, until at least one kill has landed inside a
// save; the file is always one whole list or the other.
TEST_F(ScoresTest, RefreshKeepsTheRecordsOfThisRun) {
  WriteBytes("scores.dat", Lines({"5|Bob|0|900|0|0|0|0", Zeros()}));
  RefreshScores();  // start-up: reads the file
  ASSERT_EQ(HighScores.ScoreList.size(), 1u);
  EXPECT_EQ(HighScores.PlayerName, "Bob");

  HighScores.PlayerName = "Cy";
  AddScore(Record(8, 1000, "Cy"));
  RefreshScores();  // an Apply
  ASSERT_EQ(HighScores.ScoreList.size(), 2u);
  EXPECT_EQ(HighScores.ScoreList.front().Name, "Cy");
  EXPECT_EQ(HighScores.PlayerName, "Cy");
  EXPECT_EQ(ReadBytes("scores.dat"), FormatScores(HighScores.ScoreList));

  // When the list cannot be saved first, it is not replaced by the older file.
  AddScore(Record(9, 2000, "Cy"));
  plat::FailFileWritesAfter(0);
  RefreshScores();
  plat::FailFileWritesAfter(-1);
  EXPECT_EQ(HighScores.ScoreList.size(), 3u);
}

}  // namespace
