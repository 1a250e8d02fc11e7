// The score file's tests of what only Linux has: child processes, permission bits.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "scores_fixture.h"
#include "testkit/child.h"

TEST_F(ScoresTest, AFileNotReadThisRunOrReadOnlyIsKeptAndTheListWrittenBeside) {
  const std::string old = Lines({"1|Old|0|5|0|0|0|0", Zeros(), "3|Older|0|4|0|0|0|0", Zeros()});
  const struct {
    const char* what;
    mode_t mode;
    bool dropRights;  // read as a user whom the mode keeps out (the tests run as root)
    bool appears;     // the file turns up only after the list was loaded
    const char* line;
    int records;      // in the list written beside
  } cases[] = {
      {"cannot be read", 0, true, false,
       "\tscores.dat was not read this run, so it is kept as it is; the scores are in scores.dat.unsaved", 1},
      {"appeared after loading", 0644, false, true,
       "\tscores.dat was not read this run, so it is kept as it is; the scores are in scores.dat.unsaved", 1},
      {"read-only", 0444, false, false,
       "\tscores.dat is read-only, so it is kept as it is; the scores are in scores.dat.unsaved", 3},
  };
  ::chmod(root_.c_str(), 0777);  // reachable by the user the rights are dropped to
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetScores();
    std::remove(At("scores.dat").c_str());
    std::remove(At("scores.dat.unsaved").c_str());
    std::remove(At("Debug.txt").c_str());
    if (!c.appears) WriteBytes("scores.dat", old), ::chmod(At("scores.dat").c_str(), c.mode);
    ASSERT_TRUE(OpenLog("Debug.txt"));
    // Start-up, a game, an Apply and the shutdown, in a child that may drop its rights.
    const int status = ExitStatusOfChild(c.dropRights, [&] {
      RefreshScores();
      if (c.appears) WriteBytes("scores.dat", old);
      AddScore(Record(2, 6, "New"));
      RefreshScores();
      SaveScores();
      return HighScores.ScoreList.size() == static_cast<size_t>(c.records) ? 0 : 1;
    });
    CloseLog();
    if (status == 77) GTEST_SKIP() << "cannot drop the root user's rights here";
    EXPECT_EQ(status, 0) << "the list kept its records through the Apply";

    ::chmod(At("scores.dat").c_str(), 0644);
    EXPECT_EQ(ReadBytes("scores.dat"), old);
    ParsedScores aside = ParseScores(ReadBytes("scores.dat.unsaved"));
    ASSERT_EQ(aside.records.size(), static_cast<size_t>(c.records));
    EXPECT_EQ(aside.records.front().Name, "New");
    const std::vector<std::string> log = ReadLines("Debug.txt");
    EXPECT_EQ(std::count(log.begin(), log.end(), c.line), 2) << "one line at the Apply, one at shutdown";
    EXPECT_TRUE(SaveTemps("scores.dat").empty());
  }
}

// A file left beside scores.dat by an earlier run holds that run's records.
TEST_F(ScoresTest, AKilledSaveLeavesTheOldOrTheNewFileWhole) {
  std::list<Scores> a, b;
  // Few records with long names: the time goes into writing, not formatting.
  for (int i = 0; i < 20; i++) {
    a.push_back(Record(i, 100000 - i, std::string(100000, 'a')));
    b.push_back(Record(-i, 200000 - i, std::string(150000, 'b')));
  }
  const std::string textA = FormatScores(a), textB = FormatScores(b);
  WriteBytes("scores.dat", textA);
  LoadScores();
  int caughtMidSave = 0, rounds = 0;
  for (; rounds < 200 && (rounds < 6 || caughtMidSave == 0); rounds++) {
    int started[2];
    ASSERT_EQ(pipe(started), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // Saving has begun before the parent starts its clock, however slow the start.
      if (write(started[1], "!", 1) != 1) _exit(1);
      for (int i = 0;; i++) {
        HighScores.ScoreList = i % 2 ? a : b;
        SaveScores();
      }
    }
    char byte;
    ASSERT_EQ(read(started[0], &byte, 1), 1);
    close(started[0]);
    close(started[1]);
    if (rounds % 2 == 0) {
      usleep(static_cast<useconds_t>(1000 + (rounds * 7919) % 40000));
    } else {
      // Aim: wait until a temporary file stands, then kill at once.
      for (int wait = 0; wait < 20000 && SaveTemps("scores.dat").empty(); wait++) usleep(100);
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const std::string now = ReadBytes("scores.dat");
    EXPECT_TRUE(now == textA || now == textB) << "round " << rounds << ": " << now.size() << " bytes";
    const std::vector<std::string> temps = SaveTemps("scores.dat");
    caughtMidSave += !temps.empty();
    for (const std::string& temp : temps) std::remove(temp.c_str());
  }
  EXPECT_GT(caughtMidSave, 0) << "no kill landed inside a save in " << rounds << " rounds";
}
