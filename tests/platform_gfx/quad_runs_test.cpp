// The run rule the GPU renderers batch by.
#include <gtest/gtest.h>

#include "platform/render/quad_runs.h"

namespace {

plat::Quad MakeQuad(int texture, int blend, bool filtered) {
  plat::Quad q{};
  q.texture = texture;
  q.blend = blend;
  q.filtered = filtered;
  return q;
}

TEST(QuadRuns, SplitOnTextureBlendFilteringAndSize) {
  plat::QuadRun run;
  EXPECT_FALSE(run.Takes(MakeQuad(0, plat::kBlendAlpha, false), 10)) << "no run yet";
  run.Start(MakeQuad(3, plat::kBlendAlpha, true));
  run.count = 4;
  struct Case {
    int texture, blend;
    bool filtered;
    bool joins;
  };
  for (Case c : {Case{3, plat::kBlendAlpha, true, true}, Case{4, plat::kBlendAlpha, true, false},
                 Case{3, plat::kBlendLight, true, false}, Case{3, plat::kBlendAlpha, false, false},
                 Case{0, plat::kBlendAlpha, true, false}}) {
    EXPECT_EQ(run.Takes(MakeQuad(c.texture, c.blend, c.filtered), 10), c.joins)
        << c.texture << " " << c.blend << " " << c.filtered;
  }
  EXPECT_FALSE(run.Takes(MakeQuad(3, plat::kBlendAlpha, true), 4)) << "a full run takes no more";

  // Plain quads sample no texels: filtering cannot change them.
  run.Start(MakeQuad(0, plat::kBlendShade, false));
  EXPECT_EQ(run.count, 0);
  EXPECT_TRUE(run.Takes(MakeQuad(0, plat::kBlendShade, true), 10));
}

}  // namespace
