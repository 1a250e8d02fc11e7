// Who the game tells the engine it is.
#include <gtest/gtest.h>

#include "core/identity.h"
#include "loopery/loopery.h"

namespace {

TEST(LooperyIdentity, NumberTitleFolderAndCredits) {
  UseGame(LooperyTable());
  FillCredits();
  EXPECT_EQ(WeekNumber, 257);
  EXPECT_EQ(AppTitle, "#257 : Puffwick Loopery");
  EXPECT_EQ(GameFolder, "257/");
  EXPECT_EQ(ThisGame.programName, "puffwick-loopery");
  EXPECT_EQ(CreditCount, 42);
  EXPECT_EQ(CreditLines[1], "A Game by Corvell");
  EXPECT_EQ(CreditLines[22], "Instructions");
  EXPECT_EQ(CreditLines[41], "and spend money on track.");
  for (void* entry : {reinterpret_cast<void*>(ThisGame.LoadMedia), reinterpret_cast<void*>(ThisGame.Play),
                      reinterpret_cast<void*>(ThisGame.Score), reinterpret_cast<void*>(ThisGame.Checksum),
                      reinterpret_cast<void*>(ThisGame.DrawPopups)}) {
    EXPECT_NE(entry, nullptr);
  }
}

}  // namespace
