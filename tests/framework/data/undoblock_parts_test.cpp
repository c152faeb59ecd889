#include "support/moduleglobals.h"

#include "core/fcstring.h"
#include "data/fcparts.h"
#include "data/fcundoblock.h"

using hostsim::TheHost;

namespace {

// Work that changes the document in front and reports a chosen answer.
struct ChangeScore : __FCUndoBlockHandler {
  explicit ChangeScore(bool answer) : answer(answer) {}
  bool Execute() override {
    ++runs;
    hostsim::EntrySpec e;
    e.notes = {{4, 1}};
    hostsim::AddEntry(1, 1, 0, e);
    hostsim::Doc().currentPart = 1;
    hostsim::SetSelection(1, 2, 0, 1, 2, REGION_TO_END);
    return answer;
  }
  bool answer;
  int runs = 0;
};

class UndoBlock : public ModuleHost {
protected:
  void SetUp() override {
    ModuleHost::SetUp();
    hostsim::NewDocument(2, 4);
    hostsim::AddPart({1});
    hostsim::EntrySpec e;
    e.notes = {{0}, {4}, {7}};
    hostsim::AddEntry(1, 1, 0, e);
    hostsim::SetSelection(1, 1, 0, 2, 1, REGION_TO_END);
  }
};

TEST_F(UndoBlock, KeptWorkBecomesOneUndoEntryNamedAfterTheText) {
  ChangeScore work(true);
  FCString name("Drop 2nd");
  FCUndoBlock block;
  EXPECT_TRUE(block.Execute(&work, &name));
  EXPECT_EQ(1, work.runs);
  EXPECT_EQ(1, hostsim::CountCalls("FX_StartFinaleEdit"));
  EXPECT_EQ(1, hostsim::CountCalls("FX_EndFinaleEdit"));
  EXPECT_EQ(0, hostsim::CountCalls("FX_CancelFinaleEdit"));
  ASSERT_EQ(1u, TheHost().undoList.size());
  EXPECT_EQ("Drop 2nd", TheHost().undoList[0].name);
  EXPECT_EQ(2u, hostsim::Cell(1, 1, 0).size());
  EXPECT_FALSE(TheHost().editOpen);
  EXPECT_EQ(0, FinaleEditDepth);
}

TEST_F(UndoBlock, DiscardedWorkLeavesTheScoreByteIdentical) {
  hostsim::Document before = hostsim::Doc();
  ChangeScore work(false);
  FCString name("Rotate");
  FCUndoBlock block;
  EXPECT_FALSE(block.Execute(&work, &name));
  EXPECT_EQ(1, work.runs);
  EXPECT_EQ(1, hostsim::CountCalls("FX_StartFinaleEdit"));
  EXPECT_EQ(0, hostsim::CountCalls("FX_EndFinaleEdit"));
  EXPECT_EQ(1, hostsim::CountCalls("FX_CancelFinaleEdit"));
  EXPECT_TRUE(hostsim::SameScore(before, hostsim::Doc()));
  EXPECT_TRUE(TheHost().undoList.empty());
  EXPECT_FALSE(TheHost().editOpen);
  EXPECT_EQ(0, FinaleEditDepth);
}

TEST_F(UndoBlock, RefusedEditRunsNothingAndLeavesNoDepthBehind) {
  TheHost().refuseEdits = true;
  hostsim::Document before = hostsim::Doc();
  ChangeScore work(true);
  FCString name("Rotate");
  FCUndoBlock block;
  EXPECT_FALSE(block.Execute(&work, &name));
  EXPECT_EQ(0, work.runs);
  EXPECT_EQ(1, hostsim::CountCalls("FX_StartFinaleEdit"));
  EXPECT_EQ(0, hostsim::CountCalls("FX_EndFinaleEdit"));
  EXPECT_EQ(0, hostsim::CountCalls("FX_CancelFinaleEdit"));
  EXPECT_TRUE(hostsim::SameScore(before, hostsim::Doc()));
  // A stray end afterwards must still be caught by the bridge's guard.
  EXPECT_EQ(0, FinaleEditDepth);
  EXPECT_EQ(1, FX_EndFinaleEdit());
  EXPECT_EQ(0, hostsim::CountCalls("FX_EndFinaleEdit"));
}

TEST_F(UndoBlock, MissingHandlerOpensNoEdit) {
  FCString name("Rotate");
  FCUndoBlock block;
  EXPECT_FALSE(block.Execute(nullptr, &name));
  EXPECT_EQ(0, hostsim::CountCalls("FX_StartFinaleEdit"));
}

TEST_F(UndoBlock, TwoBlocksInARowMakeTwoEntriesInOrder) {
  ChangeScore a(true), b(true);
  FCString first("Drop 2nd"), second("Rotate");
  FCUndoBlock block;
  EXPECT_TRUE(block.Execute(&a, &first));
  EXPECT_TRUE(block.Execute(&b, &second));
  ASSERT_EQ(2u, TheHost().undoList.size());
  EXPECT_EQ("Drop 2nd", TheHost().undoList[0].name);
  EXPECT_EQ("Rotate", TheHost().undoList[1].name);
}

// ---- Parts ----------------------------------------------------------------------------------

// Records the part in view during each visit.
struct PartVisitor : FCIteratorHandler {
  explicit PartVisitor(int stopAfter = -1, bool pre = true) : stopAfter(stopAfter), pre(pre) {}
  bool PreProcess() override { return pre; }
  bool Iterate(__FCBase* object) override {
    FCPart* part = static_cast<FCPart*>(object);
    seen.push_back({part->GetID(), hostsim::Doc().currentPart});
    return static_cast<int>(seen.size()) != stopAfter;
  }
  void PostProcess() override { ++post; }
  std::vector<std::pair<int, int>> seen; // (visited part, part in view)
  int stopAfter;
  bool pre;
  int post = 0;
};

class Parts : public ModuleHost {
protected:
  void SetUp() override {
    ModuleHost::SetUp();
    hostsim::NewDocument(3, 2);
    hostsim::AddPart({1, 2});
    hostsim::AddPart({3});
    hostsim::Doc().currentPart = 2;
  }
};

TEST_F(Parts, LoadAllListsTheScoreFirstThenEachPart) {
  FCParts parts;
  parts.LoadAll();
  ASSERT_EQ(3, parts.GetCount());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(i, parts.GetItemAt(i)->GetID());
    EXPECT_EQ(FX_GetCurrentEnigmaDocument(), parts.GetItemAt(i)->GetDocumentID());
    EXPECT_EQ(-1, parts.GetItemAt(i)->GetSavedPartID());
  }
  parts.LoadAll(); // rebuilding does not append
  EXPECT_EQ(3, parts.GetCount());
  EXPECT_EQ(0, parts.GetScore()->GetID());
  EXPECT_EQ(2, parts.GetCurrent()->GetID());
}

TEST_F(Parts, LoadAllEndsWhenTheHostAnswersAPartAgain) {
  hostsim::Doc().parts.push_back(hostsim::Doc().parts[1]); // ids 0, 1, 2, 1: 2 leads back to 1
  FCParts parts;
  parts.LoadAll();
  ASSERT_EQ(3, parts.GetCount());
  EXPECT_EQ(2, parts.GetItemAt(2)->GetID());
}

TEST_F(Parts, VisitsEachPartInViewAndRestoresThePartBefore) {
  FCParts parts;
  parts.LoadAll();
  PartVisitor v;
  EXPECT_EQ(3, parts.ForEachWithScope(&v));
  std::vector<std::pair<int, int>> expected = {{0, 0}, {1, 1}, {2, 2}};
  EXPECT_EQ(expected, v.seen);
  EXPECT_EQ(1, v.post);
  EXPECT_EQ(2, hostsim::Doc().currentPart);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(-1, parts.GetItemAt(i)->GetSavedPartID());
}

TEST_F(Parts, VisitThatStopsFirstStillRestoresThePart) {
  FCParts parts;
  parts.LoadAll();
  PartVisitor v(1);
  EXPECT_EQ(0, parts.ForEachWithScope(&v));
  ASSERT_EQ(1u, v.seen.size());
  EXPECT_EQ(0, v.seen[0].second);
  EXPECT_EQ(1, v.post);
  EXPECT_EQ(2, hostsim::Doc().currentPart);
  EXPECT_EQ(-1, parts.GetItemAt(0)->GetSavedPartID());
}

TEST_F(Parts, RefusedPreProcessVisitsNothing) {
  FCParts parts;
  parts.LoadAll();
  PartVisitor v(-1, false);
  EXPECT_EQ(0, parts.ForEachWithScope(&v));
  EXPECT_TRUE(v.seen.empty());
  EXPECT_EQ(0, v.post);
  EXPECT_EQ(0, hostsim::CountCalls("FX_SetCurrentPartID"));
}

TEST_F(Parts, PartOfAnotherDocumentIsVisitedWithoutSwitching) {
  FCParts parts;
  parts.Add(new FCPart(1, 99));
  PartVisitor v;
  EXPECT_EQ(1, parts.ForEachWithScope(&v));
  EXPECT_EQ(2, v.seen[0].second);
  EXPECT_EQ(0, hostsim::CountCalls("FX_SetCurrentPartID"));
  EXPECT_EQ(nullptr, parts.GetScore());
  EXPECT_EQ(nullptr, parts.GetCurrent());
}

TEST_F(Parts, IdentityIsPartAndDocument) {
  FCPart a(1, 1), b(1, 1), c(1, 2), d(2, 1);
  FCString other;
  EXPECT_TRUE(a.IsIdentical(&b));
  EXPECT_FALSE(a.IsIdentical(&c));
  EXPECT_FALSE(a.IsIdentical(&d));
  EXPECT_FALSE(a.IsIdentical(&other));
  EXPECT_FALSE(a.IsIdentical(nullptr));
}

TEST_F(Parts, NameComesFromTheHostOnlyAfterVersion0x11) {
  hostsim::SetPartName(1, "Flute");
  FCPart part(1, 1);
  RunningFinaleVersion = 0x10FFFFFF;
  EXPECT_TRUE(part.GetName()->IsEqual("Not available (due to a bug)"));
  EXPECT_EQ(0, hostsim::CountCalls("FX_GetPartName"));
  RunningFinaleVersion = 0x11000000;
  EXPECT_TRUE(part.GetName()->IsEqual("Flute"));
  FCPart score(0, 1);
  EXPECT_TRUE(score.GetName()->IsEqual("Score"));
}

} // namespace
