#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "data/fcbrowsernoteentries.h"
#include "data/fcmusicregion.h"
#include "data/fcnoteentry.h"
#include "handedframes.h"
#include "support/datafixture.h"

using hostsim::AddEntry;
using hostsim::Cell;
using hostsim::CountCalls;
using hostsim::SetAnswer;
using hostsim::TheHost;

namespace {

// Where a visit happened: measure, staff, layer and position of the entry.
typedef std::tuple<int, int, int, int> Visit;

Visit At(FCNoteEntry* e) {
  return Visit(e->GetMeasure(), e->GetStaff(), e->_GetFrame()->layer, e->GetMeasurePos());
}

// Records every visitor call; answers as configured.
class Recorder : public FCIteratorHandler {
public:
  bool Iterate(__FCBase* object) override {
    FCNoteEntry* e = static_cast<FCNoteEntry*>(object);
    visits.push_back(At(e));
    log.push_back("Iterate " + std::to_string(e->GetMeasurePos()));
    if (markTop && e->FindHighestNote()) e->FindHighestNote()->MarkForDelete();
    if (markAll)
      for (int i = 0; i < e->GetCount(); ++i)
        e->GetItemAt(i)->MarkForDelete();
    return static_cast<int>(visits.size()) != stopAt;
  }
  bool SecondPassIterate(__FCBase* object) override {
    FCNoteEntry* e = static_cast<FCNoteEntry*>(object);
    log.push_back("Second " + std::to_string(e->GetMeasurePos()));
    if (markInSecondPass && e->GetCount() > 0) e->GetItemAt(0)->MarkForDelete();
    return secondPass;
  }
  bool PreProcess() override {
    log.push_back("Pre");
    return preProcess;
  }
  bool PreProcessIfExist() override {
    log.push_back("PreIfExist");
    return preProcessIfExist;
  }
  void PostProcess() override { log.push_back("Post"); }
  void PostProcessIfExist() override { log.push_back("PostIfExist"); }

  std::vector<Visit> visits;
  std::vector<std::string> log;
  bool markTop = false;
  bool markAll = false;
  bool markInSecondPass = false;
  bool secondPass = false;
  bool preProcess = true;
  bool preProcessIfExist = true;
  int stopAt = -1; // the visit whose Iterate answers false
};

class Browsing : public DataHost {
protected:
  // Staves 1..3 by measures 1..5, one entry at each of the positions in layer 0 of every cell;
  // the host has one layer unless a test says otherwise.
  void Score(const std::vector<int32_t>& positions) {
    hostsim::NewDocument(3, 5);
    TheHost().maxLayers = 1;
    for (int16_t m = 1; m <= 5; ++m)
      for (int16_t s = 1; s <= 3; ++s)
        for (int32_t pos : positions)
          AddEntry(s, m, 0, E(pos, {N(0), N(4)}));
  }
  int Walk(Recorder& visitor, const EREGION& rec, int layers = 0) {
    FCMusicRegion region(const_cast<EREGION*>(&rec));
    FCBrowserNoteEntries browser;
    browser.SetLoadLayerMode(layers);
    int answer = browser.ForEachInRegion(&visitor, &region);
    EXPECT_TRUE(TheHost().framesOut.empty());
    return answer;
  }
};

TEST_F(Browsing, APartialRegionVisitsFromItsStartPositionToItsEndPosition) {
  Score({0, 256, 512, 768, 1024});
  Recorder v;
  EXPECT_EQ(3, Walk(v, hostsim::MakeRegion(2, 3, 512, 2, 5, REGION_TO_END)));
  std::vector<Visit> expected;
  for (int pos : {512, 768, 1024})
    expected.push_back(Visit(3, 2, 0, pos));
  for (int m : {4, 5})
    for (int pos : {0, 256, 512, 768, 1024})
      expected.push_back(Visit(m, 2, 0, pos));
  EXPECT_EQ(expected, v.visits);

  Recorder one;
  EXPECT_EQ(1, Walk(one, hostsim::MakeRegion(1, 2, 256, 1, 2, 768)));
  EXPECT_EQ((std::vector<Visit>{Visit(2, 1, 0, 256), Visit(2, 1, 0, 512), Visit(2, 1, 0, 768)}),
            one.visits);
}

TEST_F(Browsing, CellsGoMeasureByMeasureAndSlotBySlot) {
  Score({0});
  int16_t part = hostsim::AddPart({3, 1});
  Recorder v;
  EREGION rec = hostsim::MakeRegion(1, 1, 0, 2, 2, REGION_TO_END);
  rec.startinstlist = rec.endinstlist = static_cast<uint16_t>(part);
  EXPECT_EQ(4, Walk(v, rec));
  EXPECT_EQ((std::vector<Visit>{Visit(1, 3, 0, 0), Visit(1, 1, 0, 0), Visit(2, 3, 0, 0),
                                Visit(2, 1, 0, 0)}),
            v.visits);
}

TEST_F(Browsing, VisitorCallsComeInTheirOrderForEachCell) {
  Score({0, 512});
  Recorder v;
  v.SetSaveAfterIterating(true);
  EXPECT_EQ(2, Walk(v, hostsim::MakeRegion(1, 4, 0, 1, 5, REGION_TO_END)));
  const std::vector<std::string> cell = {"Pre",      "PreIfExist",  "Iterate 0", "Iterate 512",
                                         "Second 0", "PostIfExist", "Post"};
  std::vector<std::string> expected = cell;
  expected.insert(expected.end(), cell.begin(), cell.end());
  EXPECT_EQ(expected, v.log);
  EXPECT_EQ(2, CountCalls("FX_SaveTGF"));
}

TEST_F(Browsing, AnEmptyOrUnloadableCellGetsOnlyPreAndPostProcess) {
  Score({0});
  hostsim::Cell(2, 5, 0).clear();
  Recorder v;
  v.SetSaveAfterIterating(true);
  EXPECT_EQ(2,
            Walk(v, hostsim::MakeRegion(2, 5, 0, 2, 6, REGION_TO_END))); // measure 6 does not exist
  EXPECT_EQ((std::vector<std::string>{"Pre", "Post", "Pre", "Post"}), v.log);
  EXPECT_EQ(1, CountCalls("FX_SaveTGF")); // the empty cell of measure 5 is still saved
}

TEST_F(Browsing, WithoutSaveAfterIteratingTheScoreStaysAsItWas) {
  Score({0, 512});
  hostsim::Document before = hostsim::Doc();
  Recorder v;
  v.markAll = true;
  EXPECT_EQ(6, Walk(v, hostsim::MakeRegion(1, 1, 0, 3, 2, REGION_TO_END)));
  EXPECT_EQ(12u, v.visits.size());
  EXPECT_EQ(0, CountCalls("FX_SaveTGF"));
  EXPECT_TRUE(hostsim::SameScore(before, hostsim::Doc()));
}

TEST_F(Browsing, AFalseIterateFinishesTheCellAndStopsTheWalk) {
  Score({0, 256, 512});
  Recorder v;
  v.SetSaveAfterIterating(true);
  v.markAll = true;
  v.stopAt = 2;
  EXPECT_EQ(0, Walk(v, hostsim::MakeRegion(1, 1, 0, 3, 5, REGION_TO_END)));
  EXPECT_EQ((std::vector<std::string>{"Pre", "PreIfExist", "Iterate 0", "Iterate 256", "Second 0",
                                      "PostIfExist", "Post"}),
            v.log);
  EXPECT_EQ(1, CountCalls("FX_LoadTGF"));
  EXPECT_EQ(1, CountCalls("FX_SaveTGF"));
  const std::vector<EXENTRY>& stored = Cell(1, 1, 0);
  EXPECT_FALSE(stored[1].flags & ENTRY_NOTE); // the entry that answered false was packed
  EXPECT_FALSE(stored[0].flags & ENTRY_NOTE);
  EXPECT_TRUE(stored[2].flags & ENTRY_NOTE); // never visited
}

TEST_F(Browsing, AFalsePreProcessStopsBeforeAnythingIsLoaded) {
  Score({0});
  Recorder v;
  v.preProcess = false;
  EXPECT_EQ(0, Walk(v, hostsim::MakeRegion(1, 1, 0, 3, 5, REGION_TO_END)));
  EXPECT_EQ((std::vector<std::string>{"Pre"}), v.log);
  EXPECT_EQ(0, CountCalls("FX_LoadTGF"));
}

TEST_F(Browsing, AFalsePreProcessIfExistReleasesTheCellUnvisited) {
  Score({0});
  Recorder v;
  v.SetSaveAfterIterating(true);
  v.preProcessIfExist = false;
  EXPECT_EQ(0, Walk(v, hostsim::MakeRegion(1, 1, 0, 3, 5, REGION_TO_END)));
  EXPECT_EQ((std::vector<std::string>{"Pre", "PreIfExist"}), v.log);
  EXPECT_EQ(0, CountCalls("FX_SaveTGF"));
  EXPECT_EQ(1, CountCalls("FX_FreeTGF"));
}

TEST_F(Browsing, TheSecondPassVisitsWhileTheVisitorAnswersTrueAndPacksToo) {
  Score({0, 256, 512});
  Recorder v;
  v.SetSaveAfterIterating(true);
  v.secondPass = true;
  v.markInSecondPass = true;
  EXPECT_EQ(1, Walk(v, hostsim::MakeRegion(1, 1, 256, 1, 1, REGION_TO_END)));
  EXPECT_EQ((std::vector<std::string>{"Pre", "PreIfExist", "Iterate 256", "Iterate 512",
                                      "Second 256", "Second 512", "PostIfExist", "Post"}),
            v.log);
  const std::vector<EXENTRY>& stored = Cell(1, 1, 0);
  EXPECT_EQ(2, +stored[0].notecount); // outside the region: untouched
  EXPECT_EQ(1, +stored[1].notecount);
  EXPECT_EQ(4, +stored[1].notes[0].displacement);
  EXPECT_EQ(1, +stored[2].notecount);
}

TEST_F(Browsing, HiddenLayersAreNotVisitedWithTheDefaultSelection) {
  Score({0});
  AddEntry(1, 1, 1, E(100, {N(2)}));
  AddEntry(1, 1, 2, E(200, {N(2)}));
  TheHost().maxLayers = 3;
  TheHost().shownLayers[1] = false;
  Recorder v;
  Walk(v, hostsim::MakeRegion(1, 1, 0, 1, 1, REGION_TO_END));
  EXPECT_EQ((std::vector<Visit>{Visit(1, 1, 0, 0), Visit(1, 1, 2, 200)}), v.visits);
  Recorder all;
  Walk(all, hostsim::MakeRegion(1, 1, 0, 1, 1, REGION_TO_END), -1);
  EXPECT_EQ(3u, all.visits.size());
}

TEST_F(Browsing, AChordWhoseNotesWereAllMarkedIsSavedAsARest) {
  Score({0});
  Recorder v;
  v.SetSaveAfterIterating(true);
  v.markAll = true;
  Walk(v, hostsim::MakeRegion(2, 1, 0, 2, 1, REGION_TO_END));
  const EXENTRY& stored = Cell(2, 1, 0)[0];
  EXPECT_EQ(ENTRY_RESTNOTERECORD, +stored.flags);
  EXPECT_EQ(1, +stored.notecount);
  EXPECT_EQ(NOTE_CREATED, +stored.notes[0].flags);
  EXPECT_EQ(0, +stored.notes[0].displacement);
}

TEST_F(Browsing, NullEntriesAreRemovedBeforeSavingWhenAsked) {
  Score({0});
  AddEntry(1, 1, 0, E(512, {}, 0));
  FCBrowserNoteEntries browser;
  browser.SetDeleteNullEntries(true);
  Recorder v;
  v.SetSaveAfterIterating(true);
  EREGION rec = hostsim::MakeRegion(1, 1, 0, 1, 1, REGION_TO_END);
  FCMusicRegion region(&rec);
  EXPECT_EQ(1, browser.ForEachInRegion(&v, &region));
  EXPECT_EQ(1u, Cell(1, 1, 0).size());
  EXPECT_EQ(nullptr, browser.FindFirst(&v));
}

TEST_F(Browsing, AnEmptyRegionVisitsMeasureZeroOnceAndReversedSlotsNothing) {
  Score({0});
  Recorder v;
  EXPECT_EQ(1, Walk(v, EREGION{}));
  EXPECT_EQ((std::vector<std::string>{"Pre", "Post"}), v.log);
  EXPECT_EQ(0, CountCalls("FX_LoadTGF"));
  Recorder r;
  EXPECT_EQ(0, Walk(r, hostsim::MakeRegion(3, 1, 0, 2, 5, REGION_TO_END)));
  EXPECT_TRUE(r.log.empty());
}

TEST_F(Browsing, ForEachWalksTheWholeDocumentOfThePartInView) {
  Score({0});
  int16_t part = hostsim::AddPart({2});
  hostsim::Doc().currentPart = part;
  FCBrowserNoteEntries browser;
  Recorder v;
  EXPECT_EQ(5, browser.ForEach(&v));
  ASSERT_EQ(5u, v.visits.size());
  for (int m = 1; m <= 5; ++m)
    EXPECT_EQ(Visit(m, 2, 0, 0), v.visits[m - 1]);
  EXPECT_STREQ("__FCBrowserBase", browser.ClassName());
}

TEST_F(Browsing, AFailedSaveIsNotReportedAndTheWalkGoesOn) {
  Score({0});
  SetAnswer("FX_SaveTGF", 0);
  Recorder v;
  v.SetSaveAfterIterating(true);
  EXPECT_EQ(3, Walk(v, hostsim::MakeRegion(1, 1, 0, 3, 1, REGION_TO_END)));
  EXPECT_EQ(3, CountCalls("FX_SaveTGF"));
}

TEST_F(Browsing, BadFramesDuringAWalkNeitherCrashNorLeak) {
  Score({0, 512});
  TheHost().maxLayers = 4;
  int n = 0;
  hostsim::ScopedFrameTamper tamper([&n](EXTGF2005a* f) {
    switch (n++ % 4) {
    case 0:
      f->entries[0].notecount = 99;
      break;
    case 1:
      f->entrycount = -1;
      break;
    case 2:
      f->entries = nullptr;
      break;
    default:
      f->slot = 0;
      break;
    }
  });
  SetAnswer("FX_GetMaxLayers", 30);
  Recorder v;
  v.SetSaveAfterIterating(true);
  v.markTop = true;
  EXPECT_EQ(15, Walk(v, hostsim::MakeRegion(1, 1, 0, 3, 5, REGION_TO_END), -1));
  EXPECT_EQ(0, LoadedTGFCounter);
}

// The walk of a partial region of two staves by three measures over a score with two shown
// layers and a hidden one, whose visitor marks the top note of every chord: the host gets
// back exactly the packed and cleaned frames of the shown layers, and nothing else changes.
class PartialWalk : public DataHost {
protected:
  struct Slot {
    twobyte d;
    twobyte id;
  };
  static void SetNotes(EXENTRY& e, const std::vector<Slot>& notes) {
    memset(e.notes, 0, sizeof e.notes);
    e.notecount = static_cast<twobyte>(notes.size());
    for (size_t i = 0; i < notes.size(); ++i) {
      e.notes[i].displacement = notes[i].d;
      e.notes[i].noteID = notes[i].id;
      e.notes[i].flags = NOTE_CREATED | (static_cast<FLAG_32>(notes[i].id & 31) << 16);
    }
  }
  static void SetRest(EXENTRY& e) {
    memset(e.notes, 0, sizeof e.notes);
    e.flags = (e.flags & ~ENTRY_NOTE) | ENTRY_RESTNOTERECORD;
    e.notecount = 1;
    e.notes[0].flags = NOTE_CREATED;
  }
  // What the host must hold after the walk for an entry that was `before`.
  static EXENTRY Expected(EXENTRY e, bool visited) {
    switch (e.measurepos) {
    case 0:
      if (visited)
        SetNotes(e, {{0, 3}, {4, 2}}); // top dropped; the earlier of the two IDs 2 renumbered
      else
        SetNotes(e, {{0, 4}, {4, 2}, {7, 3}});
      break;
    case 512:
      SetNotes(e, {{2, 5}});
      break;
    case 768:
      SetRest(e);
      break; // its only note was marked
    case 1024:
      SetNotes(e, {{4, 1}});
      break;
    default:
      SetRest(e);
      break; // a rest from the start
    }
    return e;
  }
};

TEST_F(PartialWalk, TheHostGetsBackExactlyThePackedCleanedFrames) {
  hostsim::NewDocument(3, 4);
  TheHost().maxLayers = 3;
  TheHost().shownLayers[1] = false;
  for (int16_t s = 1; s <= 3; ++s)
    for (int16_t m = 1; m <= 4; ++m)
      for (int16_t l = 0; l < 3; ++l) {
        AddEntry(s, m, l, E(0, {N(0, 0, 2), N(4, 0, 2), N(7, 0, 3)}));
        AddEntry(s, m, l, E(512, {N(2, 0, 5), N(9, 0, 5)}));
        AddEntry(s, m, l, E(768, {N(3, 0, 7)}));
        int k = AddEntry(s, m, l, E(1024, {N(4, 0, 1), N(5, 0, 1)}));
        Cell(s, m, l)[k].notes[0].noteID = 0;
        AddEntry(s, m, l, E(1536, {}, 512));
      }
  hostsim::Document before = hostsim::Doc();

  EREGION rec = hostsim::MakeRegion(2, 1, 512, 3, 3, 1024);
  FCMusicRegion region(&rec);
  FCBrowserNoteEntries browser;
  Recorder v;
  v.SetSaveAfterIterating(true);
  v.markTop = true;
  EXPECT_EQ(6, browser.ForEachInRegion(&v, &region));
  EXPECT_TRUE(TheHost().framesOut.empty());
  EXPECT_EQ(0, LoadedTGFCounter);
  EXPECT_EQ(12, TheHost().framesHandedOut);
  EXPECT_EQ(12, CountCalls("FX_SaveTGF"));

  std::vector<Visit> order;
  for (int m = 1; m <= 3; ++m)
    for (int s : {2, 3})
      for (int l : {0, 2})
        for (int pos : {0, 512, 768, 1024, 1536})
          if (!(m == 1 && pos < 512) && !(m == 3 && pos > 1024))
            order.push_back(Visit(m, s, l, pos));
  EXPECT_EQ(order, v.visits);

  for (int16_t s = 1; s <= 3; ++s)
    for (int16_t m = 1; m <= 4; ++m)
      for (int16_t l = 0; l < 3; ++l) {
        SCOPED_TRACE(testing::Message() << "staff " << s << " measure " << m << " layer " << l);
        const std::vector<EXENTRY>& was = before.cells.at(hostsim::CellLayer(s, m, l));
        const std::vector<EXENTRY>& now = Cell(s, m, l);
        ASSERT_EQ(was.size(), now.size());
        bool saved = s >= 2 && m <= 3 && l != 1;
        for (size_t k = 0; k < was.size(); ++k) {
          int32_t pos = was[k].measurepos;
          bool visited = saved && !(m == 1 && pos < 512) && !(m == 3 && pos > 1024);
          EXENTRY expected = saved ? Expected(was[k], visited) : was[k];
          EXPECT_EQ(0, memcmp(&expected, &now[k], sizeof(EXENTRY))) << "entry at " << pos;
        }
      }
}

} // namespace
