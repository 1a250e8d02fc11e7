// The headless tests of what only Linux has: child processes, signals, permission
// bits, links.
#include <malloc.h>

#include "headless_fixture.h"

namespace {

TEST_F(Headless, ATerminationSignalEndsAtTheNextWaitOrQuery) {
  static int saves;
  plat::EndHooks.SaveForEnd = [] { ++saves; };
  ASSERT_TRUE(plat::StartServices());
  struct Case {
    int signal;
    const char* noticedBy;
    std::function<void()> call;
  } cases[] = {
      {SIGTERM, "Delay", [] { plat::Delay(1); }},
      {SIGINT, "KeyDown", [] { plat::KeyDown(27); }},
      {SIGHUP, "WaitForInput", [] { plat::WaitForInput(50); }},
  };
  for (const Case& c : cases) {
    hb_ = &plat::UseHeadless();  // a fresh machine: a process that has not ended yet
    saves = 0;
    plat::Delay(1);
    ASSERT_EQ(raise(c.signal), 0);
    EXPECT_EQ(saves, 0) << "the handler itself must do nothing but note the signal";
    try {
      c.call();
      ADD_FAILURE() << c.noticedBy << " did not end the process";
    } catch (const plat::ProcessEnded& end) {
      EXPECT_EQ(end.code, 0) << c.noticedBy;
    }
    EXPECT_EQ(saves, 1) << c.noticedBy;
  }
  plat::EndHooks = plat::EndServices{};
}

TEST_F(Headless, MemoryFiguresAreBytes) {
  if (!kHeapFiguresReadable) {
    GTEST_SKIP() << "under AddressSanitizer malloc is not glibc's: mallinfo2 reads 0";
  }
  const long long before = plat::MemoryInUse();
  {
    std::vector<char> block(8 << 20, 1);
    EXPECT_GE(plat::MemoryInUse() - before, 8 << 20);
  }
  // 8 MB of small blocks freed at the top of the heap, which the allocator is told
  // to keep: the clean-up step gives it back and says how much.
  ASSERT_EQ(mallopt(M_TRIM_THRESHOLD, 256 << 20), 1);
  {
    std::vector<std::unique_ptr<char[]>> pieces;
    for (int i = 0; i < 2048; i++) {
      pieces.emplace_back(new char[4096]);
      std::fill_n(pieces.back().get(), 4096, 1);
    }
  }
  const long long released = plat::CollectMemory();
  const long long releasedAgain = plat::CollectMemory();
  mallopt(M_TRIM_THRESHOLD, 128 * 1024);  // the allocator's default
  EXPECT_GE(released, 6 << 20);
  EXPECT_LE(released, 64 << 20) << "more than was ever free";
  EXPECT_LT(releasedAgain, 1 << 20) << "given back twice";
}

}  // namespace
