// Hosts that lack a service: the Win32 stand-in's registry can take it away, natively only.
#include "support/moduleglobals.h"

#include "data/fcparts.h"

namespace {

class PartsWithoutHostService : public ModuleHost {};

TEST_F(PartsWithoutHostService, HostWithoutNextPartIdListsTheScoreAlone) {
  hostsim::NewDocument(2, 1);
  hostsim::AddPart({1});
  hostsim::RemoveService("FX_GetNextPartID");
  FCParts parts;
  parts.LoadAll();
  ASSERT_EQ(1, parts.GetCount());
  EXPECT_EQ(0, parts.GetItemAt(0)->GetID());
}

} // namespace
