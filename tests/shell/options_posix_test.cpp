// The options tests of what only Linux has: child processes, signals, permission
// bits, links.
#include "options_fixture.h"

namespace {

TEST_F(SavingOff, WithoutAUsableHomeTheMessageSaysWhatIsWrongWithIt) {
  MakeDir("data/Files");
  const char* keptHome = std::getenv("HOME");
  const char* keptXdg = std::getenv("XDG_DATA_HOME");
  const std::string home = keptHome ? keptHome : "", xdg = keptXdg ? keptXdg : "";
  const struct {
    const char* home;  // null: not set
    const char* why;
  } cases[] = {{nullptr, "HOME is not set"}, {"", "HOME is empty"},
               {"games/me", "HOME is not an absolute path: games/me"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    plat::UnmountFileRoots();
    c.home ? ::setenv("HOME", c.home, 1) : ::unsetenv("HOME");
    ::setenv("XDG_DATA_HOME", "relative/too", 1);  // ignored: not absolute
    ProgramOptions options;
    options.dataFolder = At("data");
    const FilePlaces places = ChooseFilePlaces(options, AskMachinePlaces());
    const std::string problem = UseFilePlaces(places);
    EXPECT_EQ(problem, std::string("No home folder (") + c.why +
                           "): settings, scores and screenshots will not be saved");
    EXPECT_FALSE(plat::SavingOn());
  }
  keptHome ? ::setenv("HOME", home.c_str(), 1) : ::unsetenv("HOME");
  keptXdg ? ::setenv("XDG_DATA_HOME", xdg.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
}

}  // namespace
