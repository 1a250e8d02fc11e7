// A game's state hashed for the replay checksum, and a compile-time count of a
// record's fields, so that a game's checksum can refuse to build while a field of
// its state is neither hashed nor listed as left out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <tuple>

// FNV-1a, 64 bits.
struct StateHash {
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
  // A list: its length, then each element's fields.
  template <typename List, typename Members>
  void Each(const List& list, const Members& members) {
    Int(static_cast<int64_t>(list.size()));
    for (const auto& element : list) Fields(element, members);
  }
};

namespace state_hash_detail {
// Converts to the type of any field: the most of these that brace-initialize a
// record is the record's field count.
struct AnyField {
  template <typename T>
  operator T() const;
};
}  // namespace state_hash_detail

template <typename Record, typename... Probes>
constexpr size_t FieldCount() {
  if constexpr (requires { Record{Probes{}..., state_hash_detail::AnyField{}}; }) {
    return FieldCount<Record, Probes..., state_hash_detail::AnyField>();
  } else {
    return sizeof...(Probes);
  }
}

// How many member pointers the given tuples list in all.
template <typename... Lists>
constexpr size_t kListed = (std::tuple_size_v<Lists> + ...);
