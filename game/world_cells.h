// MyApp::worldCells: 1024 ints that three phases of a run use in turn, each
// with its own layout. The run (run.cpp, chase.cpp, fence.cpp), the replay
// tool's bot and the tests reach the cells only through the accessors here,
// which take the array's data (MyApp::worldCells.Data()), as `int*` to write
// and as `const int*` to read.
//
//   Phases 1 and 2, the cash bags: bag b (0 to 10) is the record of
//   kBagStride entries from kBagStride * b: whether it still lies on the
//   floor (1) or was grabbed (0), its x and y in virtual units, its value.
//   The rest of each record is unused.
//
//   Phase 5, the city: 26 x 26 cells, cell (column, row) at entry
//   row * 25 + column. The stride is one short of the width, so the last
//   column of a row and the first of the next share an entry; the police
//   placement and the chase have always read the city that way, and the
//   same seed must keep giving the same city. A cell holds 0 (empty), 1 to 4
//   (a police car, its look) or kWreckFirst to kWreckLast (a wreck burning,
//   one step an update).
//
//   Phase 8, the bullets: slot i (0 to 49) is entries 2i (its kind: free, the
//   player's or the cop's) and 2i + 1 (its x in virtual units).
//
// Entries 0 to 100 (the bags and the bullets) are cleared as a run starts
// and as the fight begins; the city is laid out whole when the chase starts.
#pragma once

#include <cstddef>

namespace vantor::run {

inline constexpr int kCashBags = 11;
inline constexpr int kBagStride = 10;
inline constexpr int kRunCellsCleared = 101;
inline constexpr int kCityCells = 26;
inline constexpr int kCityStride = 25;
inline constexpr int kWreckFirst = 10;
inline constexpr int kWreckLast = 29;
inline constexpr int kBulletSlots = 50;
inline constexpr int kBulletStride = 2;  // a slot's kind, then its position
inline constexpr int kBulletFree = 0;
inline constexpr int kPlayerBullet = 1;
inline constexpr int kCopBullet = 2;

// One cash bag's entries; `Int` is `int` to write them, `const int` to read.
template <class Int>
struct BagCells {
  Int& lying;  // 1 on the floor, 0 grabbed
  Int& x;
  Int& y;
  Int& value;
};

// One bullet slot's entries.
template <class Int>
struct BulletCells {
  Int& kind;  // kBulletFree, kPlayerBullet or kCopBullet
  Int& x;
};

template <class Int>
BagCells<Int> Bag(Int* cells, int bag) {
  Int* record = cells + kBagStride * bag;
  return {record[0], record[1], record[2], record[3]};
}

template <class Int>
Int& CityCell(Int* cells, int column, int row) {
  return cells[row * kCityStride + column];
}

template <class Int>
BulletCells<Int> Bullet(Int* cells, int slot) {
  Int* const bullet = cells + static_cast<std::ptrdiff_t>(slot) * kBulletStride;
  return {bullet[0], bullet[1]};
}

// Empties the bags and the bullets.
inline void ClearRunCells(int* cells) {
  for (int i = 0; i < kRunCellsCleared; ++i) cells[i] = 0;
}

}  // namespace vantor::run
