// The score's cell store answers every look-up as a plain map would, whatever order the
// look-ups come in and whatever was inserted, erased, copied or swapped in between.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "score.h"

using hostsim::CellLayer;
using hostsim::Cells;

TEST(Cells, LookUpsInAnyOrderAgreeWithAPlainMap) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> small(-3, 3), action(0, 9);
  Cells cells, other;
  std::map<CellLayer, size_t> plain;
  auto key = [&] {
    return CellLayer(static_cast<int16_t>(small(random)), static_cast<int16_t>(small(random)),
                     static_cast<int16_t>(small(random) & 3));
  };
  for (int step = 0; step < 20000; ++step) {
    CellLayer where = key();
    switch (action(random)) {
    case 0:
    case 1:
      cells[where].resize(plain[where] = static_cast<size_t>(step % 5));
      break;
    case 2:
      EXPECT_EQ(plain.erase(where), cells.erase(where));
      break;
    case 3:
      if (step % 50 == 0) {
        other = cells; // a copy answers from its own cells
        cells.swap(other);
      }
      break;
    default: {
      auto found = cells.find(where);
      auto expected = plain.find(where);
      ASSERT_EQ(expected == plain.end(), found == cells.end()) << step;
      if (found != cells.end()) {
        EXPECT_EQ(where, found->first);
        EXPECT_EQ(expected->second, found->second.size());
      }
      // The walk's usual next questions: the following layers and the next staff.
      for (int16_t layer = 1; layer < 4; ++layer) {
        CellLayer next(std::get<0>(where), std::get<1>(where), layer);
        EXPECT_EQ(plain.count(next) == 0, cells.find(next) == cells.end()) << step;
      }
    }
    }
  }
  EXPECT_EQ(plain.size(), cells.size());
}
