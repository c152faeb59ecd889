// What every fuzz target shares: a check that stops the run with a message when a property
// fails (the fuzzer then keeps the input as a crash), and a fresh simulated host.
#pragma once
#include <cstdio>
#include <cstdlib>

#include "fxbridge.h"
#include "hostsim.h"
#include "score.h"

#define FUZZ_CHECK(condition)                                                                      \
  do {                                                                                             \
    if (!(condition)) {                                                                            \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                \
      abort();                                                                                     \
    }                                                                                              \
  } while (0)

// The host back at its start, with the bridge's counters of open host resources at 0.
inline void FreshHost() {
  hostsim::Reset();
  LoadedTGFCounter = 0;
  FinaleEditDepth = 0;
  MassEditDepth = 0;
}

// Nothing the plug-in took from the host is still held: every frame given back, no edit open.
// (The bridge's frame counter counts requests, answered or not, so the host's list decides.)
inline void CheckNothingLeftOpen() {
  FUZZ_CHECK(hostsim::TheHost().framesOut.empty());
  FUZZ_CHECK(!hostsim::TheHost().editOpen);
  FUZZ_CHECK(FinaleEditDepth == 0);
}
