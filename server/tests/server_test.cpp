// The server's own text handling: the hash replays are known by, and the escaping
// of strangers' names on their way to JSON, the page and the log.
#include <gtest/gtest.h>

#include "app.h"
#include "escape.h"
#include "sha256.h"

namespace {

TEST(Sha256, KnownDigestsAcrossBlockBoundaries) {
  struct Case {
    std::string text;
    const char* digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      // 56 bytes: the length no longer fits the last block.
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Case& c : cases) EXPECT_EQ(Sha256Hex(c.text), c.digest) << c.text.size() << " bytes";
}

TEST(ReplayHash, OnlyTheRecordedHeaderLineIsLeftOut) {
  const std::string a = "puffwick-replay 1\nrecorded 1 Jan\nrules 1\nframes\n.\nend score 0 frames 0\n";
  const std::string b = "puffwick-replay 1\nrecorded 2 Feb\nrules 1\nframes\n.\nend score 0 frames 0\n";
  EXPECT_EQ(ReplayHash(a), ReplayHash(b));
  EXPECT_NE(ReplayHash(a), ReplayHash("puffwick-replay 1\nrecorded 1 Jan\nrules 1\nframes\n.\nend score 1 frames 0\n"));
  // A "recorded" after the frames is not a header line: it counts.
  const std::string late = "puffwick-replay 1\nframes\n.\nrecorded x\n";
  EXPECT_EQ(ReplayHash(late), Sha256Hex(late));
}

TEST(Escape, NamesReachEveryOutputAsText) {
  EXPECT_EQ(NameToUtf8("Zo\xe9\x01\x7f\x85", 40), "Zo\xc3\xa9???");
  EXPECT_EQ(NameToUtf8(std::string(50, 'x'), 40), std::string(40, 'x'));
  EXPECT_EQ(JsonString("<script>\"\\\n\x01&"), "\"\\u003cscript\\u003e\\\"\\\\\\n\\u0001\\u0026\"");
  EXPECT_EQ(HtmlEscape("<a href=\"x\">'&"), "&lt;a href=&quot;x&quot;&gt;&#39;&amp;");
  EXPECT_EQ(LogSafe("GET /\nPOST /x 200\x1b[0m"), "GET /\\x0aPOST /x 200\\x1b[0m");
}

// The boards' read cache: kept for its time only, cleared by a stored score, never
// filled with an answer read while a score was being stored, and bounded.
TEST(ReadCache, ExpiresInvalidatesAndStaysBounded) {
  using namespace std::chrono_literals;
  const auto t0 = ReadCache::Clock::now();
  ReadCache cache(1s, 2);
  cache.Put("a", "A", cache.Generation(), t0);
  EXPECT_EQ(cache.Get("a", t0 + 999ms), "A");
  EXPECT_EQ(cache.Get("a", t0 + 1s), std::nullopt);

  cache.Put("a", "A", cache.Generation(), t0);
  cache.Invalidate();
  EXPECT_EQ(cache.Get("a", t0), std::nullopt);
  // Read before the score was stored, kept after: refused.
  const uint64_t before = cache.Generation();
  cache.Invalidate();
  cache.Put("a", "old", before, t0);
  EXPECT_EQ(cache.Get("a", t0), std::nullopt);

  cache.Put("a", "A", cache.Generation(), t0);
  cache.Put("b", "B", cache.Generation(), t0);
  cache.Put("c", "C", cache.Generation(), t0);  // full of fresh answers: not kept
  EXPECT_EQ(cache.Get("c", t0), std::nullopt);
  cache.Put("c", "C", cache.Generation(), t0 + 2s);  // the stale ones make room
  EXPECT_EQ(cache.Get("c", t0 + 2s), "C");
}

}  // namespace
