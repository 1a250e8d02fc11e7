// Who the game tells the engine it is.
#include <gtest/gtest.h>

#include "core/identity.h"
#include "loopery/loopery.h"

namespace {

TEST(LooperyIdentity, NumberTitleFolderAndCredits) {
  UseGame(LooperyTable());
  FillCredits();
  EXPECT_EQ(Core.WeekNumber, 257);
  EXPECT_EQ(Core.AppTitle, "#257 : Puffwick Loopery");
  EXPECT_EQ(Core.GameFolder, "257/");
  EXPECT_EQ(Core.ThisGame.programName, "puffwick-loopery");
  EXPECT_EQ(Core.CreditCount, 42);
  EXPECT_EQ(Core.CreditLines[1], "A Game by Corvell");
  EXPECT_EQ(Core.CreditLines[22], "Instructions");
  EXPECT_EQ(Core.CreditLines[41], "and spend money on track.");
  for (void* entry : {reinterpret_cast<void*>(Core.ThisGame.LoadMedia), reinterpret_cast<void*>(Core.ThisGame.Play),
                      reinterpret_cast<void*>(Core.ThisGame.Score), reinterpret_cast<void*>(Core.ThisGame.Checksum),
                      reinterpret_cast<void*>(Core.ThisGame.DrawPopups)}) {
    EXPECT_NE(entry, nullptr);
  }
}

}  // namespace
