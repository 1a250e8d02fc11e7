#include "scores/score_panel.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <vector>

#include "core/assets.h"
#include "draw/helpers.h"
#include "platform/keycodes.h"
#include "platform/platform.h"
#include "scores/timestamp.h"

namespace {

constexpr int kTopRows = 25;
constexpr int kListedRows = 16;
constexpr int kKeptNewest = 50;
constexpr int kBadgeCount = 16;

// The thank-you box: its lines, in three groups, and where their centres go with
// the standard 24-pixel font.
constexpr int kThanksBoxHeight = 200;
constexpr int kThanksRoom = 330 - 2 * 6;  // the box's width less a margin each side
constexpr int kThanksLines = 7;
struct ThanksLine {
  const char* text;
  int y;
  int r, g, b;
  bool opensGroup;  // a wider gap above it
};
constexpr ThanksLine kThanks[kThanksLines] = {
    {"You've been enjoying", 20, 255, 255, 0, true},
    {"Puffwick", 38, 255, 255, 0, false},
    {"Loopery", 56, 255, 255, 0, false},
    {"Why not thank Corvell", 90, 255, 128, 0, true},
    {"for making yet another", 108, 255, 128, 0, false},
    {"free downloadable game!", 126, 255, 128, 0, false},
    {"brindlewood community pages", 165, 0, 128, 255, true},
};

// Centres for the thank-you lines in the current font. The standard places hold
// as long as no line's ink reaches into the next one's. The larger fonts of small
// screens push a line down just far enough to clear the one above (with a pixel
// of air); if the block then runs out of its box, the room comes first from the
// space above the first line, then from the wide gaps between the groups, and
// last from the air between lines.
void PlaceThanks(int (&y)[kThanksLines]) {
  const int half = plat::TextHeight() / 2;  // as DrawTextAligned centres
  int top[kThanksLines], bottom[kThanksLines];  // ink, relative to the centre
  for (int i = 0; i < kThanksLines; ++i) {
    int l = 0, t = 0, r = 0, b = 0;
    if (!plat::TextInkBox(kThanks[i].text, l, t, r, b)) t = b = half;
    top[i] = t - half;
    bottom[i] = b - half;
  }
  int step[kThanksLines - 1], clear[kThanksLines - 1];  // clear: the least step that does not touch
  for (int i = 0; i + 1 < kThanksLines; ++i) {
    clear[i] = bottom[i] - top[i + 1];
    const int standard = kThanks[i + 1].y - kThanks[i].y;
    step[i] = standard >= clear[i] ? standard : clear[i] + 1;
  }
  int first = std::max(kThanks[0].y, -top[0]);
  auto overflow = [&] {
    int last = first;
    for (int v : step) last += v;
    return last + bottom[kThanksLines - 1] - kThanksBoxHeight;
  };
  auto take = [](int& from, int least, int& over) {
    const int spare = std::max(0, std::min(from - least, over));
    from -= spare;
    over -= spare;
  };
  int over = overflow();
  constexpr int kMargin = 2;  // kept above the first line's ink while room is found elsewhere
  take(first, kMargin - top[0], over);
  // A pixel at a time from each gap between groups in turn, so that they stay alike.
  for (bool spared = true; spared && over > 0;) {
    spared = false;
    for (int i = 0; i + 1 < kThanksLines && over > 0; ++i) {
      if (!kThanks[i + 1].opensGroup || step[i] <= clear[i] + 1) continue;
      --step[i];
      --over;
      spared = true;
    }
  }
  if (over > 0) take(first, -top[0], over);
  for (int i = 0; i + 1 < kThanksLines && over > 0; ++i) take(step[i], clear[i], over);
  y[0] = first;
  for (int i = 1; i < kThanksLines; ++i) y[i] = y[i - 1] + step[i - 1];
}

// The platform has no line call: a line is a rectangle one pixel thick, turned to
// the line's direction when it is neither level nor upright.
void DrawLine(double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1, dy = y2 - y1;
  if (dy == 0) {
    plat::DrawRect(std::min(x1, x2), y1, std::abs(dx) + 1, 1);
  } else if (dx == 0) {
    plat::DrawRect(x1, std::min(y1, y2), 1, std::abs(dy) + 1);
  } else {
    const double rotation = plat::GetRotation();
    plat::SetRotation(std::atan2(dy, dx) * 180 / std::numbers::pi);
    plat::DrawRect(x1, y1, std::hypot(dx, dy), 1);
    plat::SetRotation(rotation);
  }
}

bool Matches(const Scores& s, int gameMode, int level, int gameFlags) {
  return s.Level == level && s.GameMode == gameMode && s.GameFlags == gameFlags;
}

bool InTopTable(const Scores* s) {
  for (int k = 1; k <= kTopRows; k++) {
    if (HighScores.TopTable[k] == s) return true;
  }
  return false;
}

void BuildTopTable(int gameMode, int level, int gameFlags) {
  std::fill(std::begin(HighScores.TopTable), std::end(HighScores.TopTable), nullptr);
  HighScores.BestScore = 0;
  for (const Scores& s : HighScores.ScoreList) {
    if (!Matches(s, gameMode, level, gameFlags)) continue;
    if (s.Score > HighScores.BestScore) HighScores.BestScore = static_cast<int>(static_cast<uint32_t>(s.Score));
    // The first row holding a strictly smaller score, else the first empty row: equal
    // scores keep the newer record above the older one.
    int row = 0;
    for (int k = 1; k <= kTopRows && row == 0; k++) {
      if (HighScores.TopTable[k] && HighScores.TopTable[k]->Score < s.Score) row = k;
    }
    for (int k = 1; k <= kTopRows && row == 0; k++) {
      if (!HighScores.TopTable[k]) row = k;
    }
    if (row == 0) continue;
    for (int k = kTopRows; k > row; k--) HighScores.TopTable[k] = HighScores.TopTable[k - 1];
    HighScores.TopTable[row] = &s;
  }
  if (HighScores.BestScore == 0) HighScores.BestScore = 1;
}

// Bar height in pixels: score * 150 / HighScores.BestScore in 64 bits, held to a range in which
// the coordinates and colours made from it cannot overflow.
int BarHeight(int64_t score) {
  int64_t product;
  if (__builtin_mul_overflow(score, int64_t{150}, &product)) product = score < 0 ? INT64_MIN : INT64_MAX;
  const int64_t h = (HighScores.BestScore == -1 && product == INT64_MIN) ? INT64_MAX : product / HighScores.BestScore;
  return static_cast<int>(std::clamp<int64_t>(h, INT_MIN / 4, INT_MAX / 4));
}

std::string TwelveDigits(int64_t score) {
  const std::string text = "000000000000" + std::to_string(score);
  return text.substr(text.size() - 12);
}

// Clock modulo n, read as the free-running unsigned counter it is.
int ClockMod(int n) { return static_cast<int>(static_cast<unsigned>(plat::Millisecs()) % static_cast<unsigned>(n)); }

}  // namespace

int DrawScorePanel(int slide, int gameMode, int level, int gameFlags) {
  const int s = slide;
  const int W = Core.VirtualWidth;
  const int B = Core.VirtualHeight - 10;  // the panel's baseline
  const int L = W - s - 6;           // left text edge
  const int R = W - s + 314;         // right text edge
  const bool button = plat::MouseDown(plat::kMouseLeft);
  const Scores* selected = nullptr;
  int result = 0;

  BuildTopTable(gameMode, level, gameFlags);

  ResetDrawState();
  SetScaleXY(1);
  SetColorAlpha(0, 0, 0, 0.6);
  plat::DrawRect(W - s - 8, B - 422, 322, 422);
  SetColorAlpha(0, 0, 80, 1);
  DrawLine(W - s - 8, B - 150, W - 8, B - 150);

  // The graph, newest record at the right. Old records outside the top table go from
  // the list once the panel is drawn: each variant keeps its 50 newest and its 25 best.
  std::vector<std::list<Scores>::iterator> trimmed;
  int x = W - s + 306 + HighScores.GraphScroll;
  bool hasPrevious = false;
  int previousX = 0, previousY = 0;
  int count = 0;
  for (auto it = HighScores.ScoreList.begin(); it != HighScores.ScoreList.end(); ++it) {
    const Scores& rec = *it;
    if (!Matches(rec, gameMode, level, gameFlags)) continue;
    count++;
    if (rec.Best[30] == 1) result = 1;
    if (count == HighScores.LockedSelection && !selected) selected = &rec;
    if (count > kKeptNewest && !InTopTable(&rec)) trimmed.push_back(it);

    if (x > W - s - 14) {
      const int h = BarHeight(rec.Score);
      const int top = B - h;
      SetColorAlpha(255 - h, 255, 80, 1);
      DrawImageCounted(Core.IconsFiltered, x - 8, top - 8, 7, kBudgetMain);
      SetColorAlpha(255, 80 + h, 80, 1);
      if (hasPrevious) DrawLine(x, top, previousX, previousY);
      SetColorAlpha(0, 0, 0, 0.3);
      DrawLine(x - 9, B - 150, x - 9, B - 1);
      hasPrevious = true;
      previousX = x;
      previousY = top;
      if (MouseInRect(x - 9, B - 150, 19, 150)) {
        selected = &rec;
        if (button) HighScores.LockedSelection = count;
      }
      if (selected == &rec) {
        SetColorAlpha(255, 255, 255, 0.3);
        plat::DrawRect(x - 9, B - 150, 19, 150);
      }
      x -= 18;
    }
    if (selected == &rec && button) HighScores.LockedSelection = count;
  }

  if (MouseInRect(W - s - 12, B - 150, 32, 150) && HighScores.GraphScroll < 1000) HighScores.GraphScroll += 8;
  if (MouseInRect(W - s + 270, B - 150, 62, 150) && HighScores.GraphScroll > 0) HighScores.GraphScroll -= 8;

  // The table: 25 records are ranked, 16 listed.
  plat::SetImageFont(Core.UiFonts[font::kText]);
  int listed = 0;
  for (int k = 1; k <= kListedRows; k++) {
    const Scores* rec = HighScores.TopTable[k];
    if (!rec) continue;
    listed++;
    const int y = B + 17 * k - 443;
    if (HighScores.LockedSelection == 1000 + k && !selected) selected = rec;
    SetColorAlpha(255, 255, 255, 1);
    if (MouseInRect(L, y, 320, 18)) {
      selected = rec;
      if (button) HighScores.LockedSelection = 1000 + k;
    }
    DrawTextAligned(L, y, rec->Name.substr(0, 24), kAlignLeft, kAlignTop);
    DrawTextAligned(R, y, TwelveDigits(rec->Score), kAlignRight, kAlignTop);
    if (selected == rec) {
      SetColorAlpha(255, 255, 255, 0.3);
      plat::DrawRect(L, y, 320, 17);
    }
  }

  if (listed > 10) {
    if (ClockMod(10000) > 5000) {
      SetColorAlpha(0, 0, 110, 0.7);
    } else {
      SetColorAlpha(0, 0, 80, 0.6);
    }
    plat::DrawRect(W - s - 12, 0, 330, kThanksBoxHeight);
    plat::SetImageFont(Core.UiFonts[font::kLabel]);
    const int cx = W - (s + 2) / 2 - 10;
    int y[kThanksLines];
    PlaceThanks(y);
    for (int i = 0; i < kThanksLines; ++i) {
      const ThanksLine& line = kThanks[i];
      SetColorAlpha(line.r, line.g, line.b, 1);
      const int width = plat::TextWidth(line.text);
      if (width <= kThanksRoom) {
        DrawTextAligned(cx, y[i], line.text, kAlignCenter, kAlignMiddle);
      } else {
        // Wider than the box (the largest font): narrowed to fit, its height kept.
        const double narrow = static_cast<double>(kThanksRoom) / width;
        SetScaleXY(narrow, 1);
        plat::DrawText(line.text, cx - width * narrow / 2, y[i] - plat::TextHeight() / 2);
        SetScaleXY(1);
      }
    }
  }

  if (selected) {
    const Scores& rec = *selected;
    SetColorAlpha(255, 255, 255, 0.6);
    plat::DrawRect(W - s - 12, B - 566, 330, 140);
    plat::SetImageFont(Core.UiFonts[font::kLabel]);
    SetColorAlpha(80, 80, 0, 1);
    DrawTextAligned(L, B - 562, rec.Name, kAlignLeft, kAlignTop);
    SetColorAlpha(0, 0, 80, 1);
    DrawTextAligned(R, B - 541, std::to_string(rec.Score), kAlignRight, kAlignTop);
    plat::SetImageFont(Core.UiFonts[font::kNote]);
    SetColorAlpha(0, 80, 0, 1);
    if (rec.Best[30] == 1) DrawTextAligned(L, B - 516, "Complete!", kAlignLeft, kAlignMiddle);
    plat::SetImageFont(Core.UiFonts[font::kText]);
    SetColorAlpha(0, 0, 0, 1);
    DrawTextAligned(L, B - 430, TimestampDate(rec.Timestamp) + ", " + TimestampTime(rec.Timestamp), kAlignLeft,
                    kAlignBottom);
    SetScaleXY(0.28);
    SetColorAlpha(255, 255, 255, 1);
    for (int k = 1; k <= kBadgeCount; k++) {
      if (TestBit(rec.Badges, k)) DrawImageCounted(Core.BadgesImage, W - s + 20 * k - 24, B - 476, k - 1, kBudgetMain);
    }
    SetScaleXY(1);
  }

  for (auto it : trimmed) HighScores.ScoreList.erase(it);
  // The screen draws on after the panel; leave it opaque, not at a line's 0.3.
  plat::SetAlpha(1);
  return result;
}
