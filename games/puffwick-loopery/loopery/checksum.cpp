#include "loopery/checksum.h"

#include <cstring>
#include <tuple>

#include "loopery/board.h"
#include "platform/record/replay.h"

namespace {

// FNV-1a, 64 bits.
struct Hash {
  uint64_t h = 1469598103934665603ull;
  void Bytes(const void* data, size_t size) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
      h ^= p[i];
      h *= 1099511628211ull;
    }
  }
  void Int(int64_t v) { Bytes(&v, sizeof v); }
  // By bit pattern: a replay must reproduce values exactly, not nearly.
  void Real(double v) {
    uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    Int(static_cast<int64_t>(bits));
  }
  // One field, by its type.
  void Field(int v) { Int(v); }
  void Field(bool v) { Int(v); }
  void Field(double v) { Real(v); }
  template <size_t N>
  void Field(const std::array<int, N>& a) {
    Bytes(a.data(), sizeof(int) * N);
  }
  template <size_t N>
  void Field(const std::array<double, N>& a) {
    for (double v : a) Real(v);
  }
  // The fields of a record that `members` points at, in their order there.
  template <typename Record, typename Members>
  void Fields(const Record& r, const Members& members) {
    std::apply([&](auto... m) { (Field(r.*m), ...); }, members);
  }
};

// The fields of each record the checksum reads, in hashing order, and those it
// leaves out on purpose. A field missing from a replay's checksum would let that
// field drift unnoticed; the counts below stop the build until a new one is placed.
constexpr auto kBoardFields = std::make_tuple(
    &GameBoard::TrackGrid, &GameBoard::UnderGrid, &GameBoard::BusyGrid, &GameBoard::PeopleGrid,
    &GameBoard::ParcelGrid, &GameBoard::OverfullGrid, &GameBoard::Money, &GameBoard::ShownMoney,
    &GameBoard::SpawnOdds, &GameBoard::StationCountdown, &GameBoard::StationInterval, &GameBoard::StationToggle,
    &GameBoard::EndCounter, &GameBoard::Tick, &GameBoard::Tool, &GameBoard::MouseLatch,
    &GameBoard::CargoSoundCooldown, &GameBoard::QuitFlag, &GameBoard::GameScore, &GameBoard::BadgeBits,
    &GameBoard::BoardMaxX, &GameBoard::BoardMaxY, &GameBoard::BestValues);
// Hashed element by element by GameChecksum itself.
constexpr auto kBoardLists = std::make_tuple(&GameBoard::TrainList, &GameBoard::SmokeList);
constexpr auto kBoardFieldsLeftOut = std::make_tuple(
    &GameBoard::EngineChannel,    // depends on the sound device, not on play
    &GameBoard::LevelValue,       // this game has no levels: always 0
    &GameBoard::GameFlagsValue);  // nor flags: always 0

constexpr auto kTrainFields =
    std::make_tuple(&ain::spd, &ain::dead, &ain::cars, &ain::car, &ain::Full, &ain::turnedAt, &ain::heldAt,
                    &ain::cx, &ain::cy, &ain::ca, &ain::ca2);
constexpr auto kTrainFieldsLeftOut = std::make_tuple(&ain::x, &ain::y);  // not used by the game

constexpr auto kSmokeFields =
    std::make_tuple(&ke::x, &ke::y, &ke::rot, &ke::rotgo, &ke::spdx, &ke::spdy, &ke::size, &ke::alp);

// Converts to the type of any field: the most of these that brace-initialize a
// record is the record's field count.
struct AnyField {
  template <typename T>
  operator T() const;
};

template <typename Record, typename... Probes>
constexpr size_t FieldCount() {
  if constexpr (requires { Record{Probes{}..., AnyField{}}; }) {
    return FieldCount<Record, Probes..., AnyField>();
  } else {
    return sizeof...(Probes);
  }
}

template <typename... Lists>
constexpr size_t kListed = (std::tuple_size_v<Lists> + ...);

static_assert(FieldCount<GameBoard>() ==
                  kListed<decltype(kBoardFields), decltype(kBoardLists), decltype(kBoardFieldsLeftOut)>,
              "GameBoard has a field the replay checksum does not know: add it to kBoardFields (or hash it in "
              "GameChecksum and add it to kBoardLists), or to kBoardFieldsLeftOut with the reason");
static_assert(FieldCount<ain>() == kListed<decltype(kTrainFields), decltype(kTrainFieldsLeftOut)>,
              "A train has a field the replay checksum does not know: add it to kTrainFields, or to "
              "kTrainFieldsLeftOut with the reason");
static_assert(FieldCount<ke>() == kListed<decltype(kSmokeFields)>,
              "A smoke puff has a field the replay checksum does not know: add it to kSmokeFields");

}  // namespace

uint64_t GameChecksum() {
  Hash s;
  const GameBoard& g = Game;
  s.Fields(g, kBoardFields);
  s.Int(static_cast<int64_t>(g.TrainList.size()));
  for (const ain& t : g.TrainList) s.Fields(t, kTrainFields);
  s.Int(static_cast<int64_t>(g.SmokeList.size()));
  for (const ke& p : g.SmokeList) s.Fields(p, kSmokeFields);
  s.Int(static_cast<int64_t>(plat::RandomStateDigest()));
  return s.h;
}
