#include "dash/checksum.h"

#include <tuple>

#include "dash/state.h"
#include "platform/record/replay.h"
#include "replay/state_hash.h"

namespace {

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

static_assert(FieldCount<DashState>() == kListed<decltype(kStateFields), decltype(kStateLists)>,
              "DashState has a field the replay checksum does not know: add it to kStateFields (or hash it in "
              "GameChecksum and add it to kStateLists)");
static_assert(FieldCount<Cargo>() == kListed<decltype(kCargoFields)>,
              "Cargo has a field the replay checksum does not know: add it to kCargoFields");
static_assert(FieldCount<Popup>() == kListed<decltype(kPopupFields)>,
              "Popup has a field the replay checksum does not know: add it to kPopupFields");

}  // namespace

uint64_t GameChecksum() {
  StateHash s;
  s.Fields(Dash, kStateFields);
  s.Each(Dash.Falling, kCargoFields);
  s.Each(Dash.Popups, kPopupFields);
  s.Int(static_cast<int64_t>(plat::RandomStateDigest()));
  return s.h;
}
