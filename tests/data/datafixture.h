// A fresh host for every test of the document data classes (HostFixture); every test ends with
// no entry frame left handed out.
#pragma once
#include <gtest/gtest.h>

#include "score.h"
#include "support/hostfixture.h"

namespace datatest {

class DataHost : public HostFixture {
protected:
  void TearDown() override {
    EXPECT_TRUE(hostsim::TheHost().framesOut.empty()) << "frames still handed out";
  }
};

// Shorthands for building entries.
inline hostsim::NoteSpec N(int16_t displacement, int16_t raiselower = 0, int16_t id = 0) {
  hostsim::NoteSpec n;
  n.displacement = displacement;
  n.raiselower = raiselower;
  n.id = id;
  return n;
}
inline hostsim::EntrySpec E(int32_t pos, std::vector<hostsim::NoteSpec> notes,
                            int16_t duration = 1024) {
  hostsim::EntrySpec e;
  e.pos = pos;
  e.duration = duration;
  e.notes = std::move(notes);
  return e;
}

} // namespace datatest

using datatest::DataHost;
using datatest::E;
using datatest::N;
