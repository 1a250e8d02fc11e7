// The built program, run the way a player or a script starts it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Outcome {
  int status = -1;  // as waitpid gives it
  std::string out, err;
};

std::string Drain(int fd) {
  std::string text;
  char buf[4096];
  for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
  ::close(fd);
  return text;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Outside the repository and the build tree: no Files/ anywhere near.
    char pattern[] = "/tmp/puffwick_program_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  // Runs the program in the scratch folder. `env` sets (or, with a null value,
  // removes) variables; `pending` is a signal that is already waiting when the
  // program starts (raised while blocked, before the program is started), and
  // one the program inherits as ignored when `ignored`.
  Outcome Start(const std::vector<std::string>& args, const std::map<std::string, const char*>& env = {},
                int pending = 0, bool ignored = false) {
    int out[2], err[2];
    EXPECT_EQ(::pipe(out), 0);
    EXPECT_EQ(::pipe(err), 0);
    pid_t child = ::fork();
    if (child == 0) {
      ::dup2(out[1], 1);
      ::dup2(err[1], 2);
      ::close(out[0]);
      ::close(err[0]);
      if (::chdir(root_.c_str()) != 0) _exit(120);
      for (const auto& [name, value] : env) value ? ::setenv(name.c_str(), value, 1) : ::unsetenv(name.c_str());
      if (pending) {
        if (ignored) ::signal(pending, SIG_IGN);
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, pending);
        sigprocmask(SIG_BLOCK, &set, nullptr);
        ::raise(pending);
      }
      std::vector<char*> argv{const_cast<char*>(PUFFWICK_PROGRAM)};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(PUFFWICK_PROGRAM, argv.data());
      _exit(121);
    }
    ::close(out[1]);
    ::close(err[1]);
    Outcome r;
    r.out = Drain(out[0]);
    r.err = Drain(err[0]);
    ::waitpid(child, &r.status, 0);
    return r;
  }

  std::string root_;
};

const std::string kReplay = std::string(PUFFWICK_SOURCE_DIR) + "/games/puffwick-loopery/tests/replays/easy.txt";

// What a headless run of kReplay prints: its closing line's score and frames.
std::string ReplayResultLine() {
  std::ifstream in(kReplay, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  const size_t end = text.rfind("\nend ");
  return end == std::string::npos ? "?" : text.substr(end + 5);
}

TEST_F(ProgramTest, VersionIsTheProjectsVersion) {
  Outcome r = Start({"--version"});
  ASSERT_TRUE(WIFEXITED(r.status));
  EXPECT_EQ(WEXITSTATUS(r.status), 0);
  EXPECT_EQ(r.out, std::string("puffwick-loopery ") + PUFFWICK_PROJECT_VERSION + "\n");
  EXPECT_EQ(r.err, "");
}

// A replay played headless needs neither media nor a save folder: it says nothing
// about them, however the home is set, and makes no folder.
TEST_F(ProgramTest, AHeadlessReplayFarFromAnyMediaPrintsOnlyItsResult) {
  const std::string home = root_ + "/home";
  const struct {
    const char* what;
    const char* home;
  } cases[] = {{"a home", home.c_str()}, {"no HOME", nullptr}, {"a relative HOME", "home"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Outcome r = Start({"--replay", kReplay, "--headless"}, {{"HOME", c.home}, {"XDG_DATA_HOME", nullptr}});
    ASSERT_TRUE(WIFEXITED(r.status));
    EXPECT_EQ(WEXITSTATUS(r.status), 0);
    EXPECT_EQ(r.out, ReplayResultLine());
    EXPECT_EQ(r.err, "");
    EXPECT_FALSE(fs::exists(root_ + "/home")) << "a replay made a save folder";
  }
}

// A termination signal that is already there when the program starts ends it at
// once, as asked, with status 0 and nothing printed: it is not killed by it.
TEST_F(ProgramTest, ASignalAtTheVeryStartEndsTheProgramCleanly) {
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    Outcome r = Start({"--replay", kReplay, "--headless"}, {{"HOME", (root_ + "/home").c_str()}}, signal);
    ASSERT_TRUE(WIFEXITED(r.status)) << "ended by signal " << (WIFSIGNALED(r.status) ? WTERMSIG(r.status) : 0);
    EXPECT_EQ(WEXITSTATUS(r.status), 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
  }
}

// Started to ignore hang-ups or interrupts (nohup, a background job), the program
// keeps ignoring them; a termination request still ends it.
TEST_F(ProgramTest, AnIgnoredHangUpOrInterruptStaysIgnored) {
  for (int signal : {SIGHUP, SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal);
    Outcome r = Start({"--replay", kReplay, "--headless"}, {{"HOME", (root_ + "/home").c_str()}}, signal, true);
    ASSERT_TRUE(WIFEXITED(r.status));
    EXPECT_EQ(WEXITSTATUS(r.status), 0);
    EXPECT_EQ(r.out, signal == SIGTERM ? std::string() : ReplayResultLine());
  }
}

}  // namespace
