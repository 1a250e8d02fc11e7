#include "dash/checksum.h"

#include <cstring>
#include <tuple>

#include "dash/state.h"
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
  void Field(int v) { Int(v); }
  void Field(bool v) { Int(v); }
  void Field(double v) { Real(v); }
  // The fields of a record that `members` points at, in their order there.
  template <typename Record, typename Members>
  void Fields(const Record& r, const Members& members) {
    std::apply([&](auto... m) { (Field(r.*m), ...); }, members);
  }
};

// The fields of each record the checksum reads, in hashing order. A field missing
// from a replay's checksum would let it drift unnoticed; the counts below stop
// the build until a new one is placed.
constexpr auto kStateFields = std::make_tuple(
    &DashState::CartX, &DashState::PointerX, &DashState::AtEdge, &DashState::Frame, &DashState::SpawnCountdown,
    &DashState::Lives, &DashState::Money, &DashState::PeopleCaught, &DashState::ParcelsCaught,
    &DashState::PeopleMissed, &DashState::ParcelsMissed, &DashState::QuitFlag, &DashState::GameScore);
// Hashed element by element by GameChecksum itself.
constexpr auto kStateLists = std::make_tuple(&DashState::Falling, &DashState::Popups);

constexpr auto kCargoFields = std::make_tuple(&Cargo::kind, &Cargo::x, &Cargo::y, &Cargo::speed, &Cargo::age);
constexpr auto kPopupFields = std::make_tuple(&Popup::amount, &Popup::x, &Popup::y, &Popup::framesLeft);

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

static_assert(FieldCount<DashState>() == kListed<decltype(kStateFields), decltype(kStateLists)>,
              "DashState has a field the replay checksum does not know: add it to kStateFields (or hash it in "
              "GameChecksum and add it to kStateLists)");
static_assert(FieldCount<Cargo>() == kListed<decltype(kCargoFields)>,
              "Cargo has a field the replay checksum does not know: add it to kCargoFields");
static_assert(FieldCount<Popup>() == kListed<decltype(kPopupFields)>,
              "Popup has a field the replay checksum does not know: add it to kPopupFields");

}  // namespace

uint64_t GameChecksum() {
  Hash s;
  s.Fields(Dash, kStateFields);
  s.Int(static_cast<int64_t>(Dash.Falling.size()));
  for (const Cargo& c : Dash.Falling) s.Fields(c, kCargoFields);
  s.Int(static_cast<int64_t>(Dash.Popups.size()));
  for (const Popup& p : Dash.Popups) s.Fields(p, kPopupFields);
  s.Int(static_cast<int64_t>(plat::RandomStateDigest()));
  return s.h;
}
