// A fresh host with a small score for every record-transfer test, and helpers to read what
// reached the host.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fxbridge.h"
#include "hostsim.h"
#include "prefmaps.h"
#include "records.h"
#include "score.h"

class RecordTransferTest : public ::testing::Test {
protected:
  void SetUp() override {
    hostsim::Reset();
    hostsim::NewDocument(2, 4);
  }
  // A test may have put maps of its own in place; the process may run further tests.
  void TearDown() override { InstallPrefStructMaps(nullptr, 0); }

  static uint32_t Tag(const char* c) { return MAKEEXTAG(c[0], c[1], c[2], c[3]); }
  // The transfers of a service that carried a tag.
  static std::vector<hostsim::RecordTransfer> TransfersOf(const char* service, uint32_t tag) {
    std::vector<hostsim::RecordTransfer> out;
    for (auto& t : hostsim::TransfersTo(service))
      if (t.tag == tag) out.push_back(t);
    return out;
  }
  // Transfers of generic ('ot') records by a service.
  static int GenericTransfers(const char* service) {
    int n = 0;
    for (auto& t : hostsim::TransfersTo(service))
      if ((t.tag >> 16) == 0x6F74) ++n;
    return n;
  }
  // Forgets every call and transfer so far.
  static void ClearLog() {
    hostsim::ClearCalls();
    hostsim::TheHost().transfers.clear();
  }
};
