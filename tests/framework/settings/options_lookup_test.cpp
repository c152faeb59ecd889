// The look-up of one key in the shared settings files of the host's folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/fcstring.h"
#include "entry.h"
#include "settings/fcsettings.h"
#include "support/host_folder.h"
#include "support/moduleglobals.h"

namespace {

class OptionsLookupTest : public ModuleHost {
protected:
  void SetUp() override {
    ModuleHost::SetUp();
    SetFinaleFrameworkVersion(0x0F000200);
    folder.reset(new testsupport::HostFolder);
  }
  void TearDown() override { folder.reset(); }

  // The value found for key in the options file, "<none>" when no pair comes back.
  std::string Lookup(const char* key, bool prefs = false) {
    FCString k(key);
    std::unique_ptr<FCSettingsPair> pair(LoadQVOptionsPair(&k, prefs));
    if (!pair) return "<none>";
    lastKey = pair->GetKey()->GetCString();
    return pair->GetValue()->GetCString();
  }

  std::unique_ptr<testsupport::HostFolder> folder;
  std::string lastKey;
};

TEST_F(OptionsLookupTest, KeyAndValueAreTrimmedOfSpacesAndTabs) {
  folder->WriteOptions("  QVCHORDSHAPER_WINDOWSHADE = 1 \n");
  EXPECT_EQ("1", Lookup("QVCHORDSHAPER_WINDOWSHADE"));
  EXPECT_EQ("QVCHORDSHAPER_WINDOWSHADE", lastKey);
  folder->WriteOptions("\tK\t=\tv w\t\r\n");
  EXPECT_EQ("v w", Lookup("K"));
}

TEST_F(OptionsLookupTest, KeysMatchWithoutRegardToLetterCase) {
  folder->WriteOptions("QVCHORDSHAPER_FOURNOTEDROPCHORDS=1\n");
  EXPECT_EQ("1", Lookup("qvchordshaper_fournotedropchords"));
  EXPECT_EQ("QVCHORDSHAPER_FOURNOTEDROPCHORDS", lastKey); // the stored key comes back
  EXPECT_EQ("<none>", Lookup("QVCHORDSHAPER_FOURNOTEDROPCHORD"));
}

TEST_F(OptionsLookupTest, TheFirstOccurrenceWins) {
  folder->WriteOptions("A=first\nB=x\na=second\n");
  EXPECT_EQ("first", Lookup("A"));
}

TEST_F(OptionsLookupTest, LinesWithoutASettingAreSkipped) {
  folder->WriteOptions("=1\nno equals here\n\nA=yes\n");
  EXPECT_EQ("yes", Lookup("A"));
  EXPECT_EQ("<none>", Lookup("no equals here"));
  EXPECT_EQ("<none>", Lookup("")); // "=1" is not a setting with an empty key
}

TEST_F(OptionsLookupTest, WhiteSpaceBeforeTheEqualsSignMakesAnEmptyKey) {
  folder->WriteOptions(" =1\n");
  EXPECT_EQ("1", Lookup(""));
  EXPECT_EQ("", lastKey);
  folder->WriteOptions("\t \t=2\nX=3\n");
  EXPECT_EQ("2", Lookup(""));
  EXPECT_EQ("3", Lookup("X"));
}

TEST_F(OptionsLookupTest, FurtherEqualsSignsBelongToTheValue) {
  folder->WriteOptions("A=B=C\nD=\n");
  EXPECT_EQ("B=C", Lookup("A"));
  EXPECT_EQ("", Lookup("D"));
}

TEST_F(OptionsLookupTest, TheRequestedKeyIsNotTrimmed) {
  folder->WriteOptions("KEY=1\n");
  EXPECT_EQ("<none>", Lookup(" KEY"));
  EXPECT_EQ("1", Lookup("KEY"));
}

TEST_F(OptionsLookupTest, BothLineEndsAndNoLastLineEndGiveTheSameSettings) {
  for (const char* text : {"A=1\nB=2\nC=3", "A=1\r\nB=2\r\nC=3\r\n", "A=1\rB=2\rC=3\r"}) {
    folder->WriteOptions(text);
    EXPECT_EQ("1", Lookup("A")) << text;
    EXPECT_EQ("2", Lookup("B")) << text;
    EXPECT_EQ("3", Lookup("C")) << text;
  }
}

TEST_F(OptionsLookupTest, AMissingFileGivesNoPairAndIsNotCreated) {
  EXPECT_EQ("<none>", Lookup("A"));
  EXPECT_FALSE(folder->Exists("qvpluginoptions.txt"));
  EXPECT_FALSE(folder->Exists("qvpluginprefs.txt"));
}

TEST_F(OptionsLookupTest, PreferencesAndOptionsAreTwoFiles) {
  folder->WriteOptions("A=options\n");
  folder->WritePrefs("A=prefs\n");
  EXPECT_EQ("options", Lookup("A", false));
  EXPECT_EQ("prefs", Lookup("A", true));
}

TEST_F(OptionsLookupTest, NothingIsCachedAndNothingWritten) {
  folder->WriteOptions("A=1\n");
  int entries = folder->CountEntries();
  EXPECT_EQ("1", Lookup("A"));
  folder->WriteOptions("A=0\n");
  EXPECT_EQ("0", Lookup("A"));
  EXPECT_EQ(entries, folder->CountEntries());
}

TEST_F(OptionsLookupTest, TheFolderKindFollowsTheHostVersion) {
  folder->WriteOptions("A=1\n");
  SetFinaleFrameworkVersion(0x0FFFFFFF);
  Lookup("A");
  SetFinaleFrameworkVersion(0x10000000);
  Lookup("A");
  SetFinaleFrameworkVersion(0x80000000); // compared as an unsigned number
  Lookup("A");
  auto calls = hostsim::CallsTo("FX_GetFinalePath");
  ASSERT_EQ(3u, calls.size());
  EXPECT_EQ(7u, calls[0].slots[0]);
  EXPECT_EQ(15u, calls[1].slots[0]);
  EXPECT_EQ(15u, calls[2].slots[0]);
}

TEST_F(OptionsLookupTest, AHostFolderTooLongForTheBufferIsCutNotOverrun) {
  hostsim::TheHost().finalePath = std::string(400, 'p');
  EXPECT_EQ("<none>", Lookup("A")); // looks at a path that does not exist, safely
}

// ---- files that are not what they should be --------------------------------------------

TEST_F(OptionsLookupTest, AnEmptyFileHasNoSettings) {
  folder->WriteOptions("");
  EXPECT_EQ("<none>", Lookup("A"));
  EXPECT_EQ("<none>", Lookup(""));
}

TEST_F(OptionsLookupTest, BinaryBytesAreReadWithoutHarm) {
  std::string bytes;
  unsigned seed = 12345;
  for (int i = 0; i < 200000; ++i) {
    seed = seed * 1103515245u + 12345u;
    char c = static_cast<char>((seed >> 16) & 0xFF);
    bytes.push_back(c == 0x1A ? 'x' : c); // Ctrl-Z ends a text-mode read on Windows
  }
  folder->WriteOptions(bytes + "\nWANTED=here\n");
  EXPECT_EQ("here", Lookup("WANTED"));
}

TEST_F(OptionsLookupTest, NulBytesCutAKeyAsItsEightBitViewDoes) {
  folder->WriteOptions(std::string("AB\0CD=1\nX=\0tail\n", 16));
  EXPECT_EQ("1", Lookup("AB"));
  EXPECT_EQ("<none>", Lookup("ABCD"));
  EXPECT_EQ("", Lookup("X"));
}

TEST_F(OptionsLookupTest, ASingleLineOfMegabytesWithoutLineEnd) {
  std::string value(4 * 1024 * 1024, 'v');
  folder->WriteOptions("BIG=" + value);
  std::string found = Lookup("BIG");
  EXPECT_EQ(value.size(), found.size());
  EXPECT_EQ("<none>", Lookup("OTHER"));
  folder->WriteOptions(std::string(4 * 1024 * 1024, 'k') + "\nA=1");
  EXPECT_EQ("1", Lookup("A"));
}

TEST_F(OptionsLookupTest, ThousandsOfLinesWithTheKeyLast) {
  std::string text;
  for (int i = 0; i < 50000; ++i)
    text += "KEY_" + std::to_string(i) + " = " + std::to_string(i) + "\n";
  text += "QVCHORDSHAPER_WINDOWSHADE=1";
  folder->WriteOptions(text);
  EXPECT_EQ("1", Lookup("QVCHORDSHAPER_WINDOWSHADE"));
  EXPECT_EQ("49999", Lookup("key_49999"));
}

TEST_F(OptionsLookupTest, ANullKeyFindsNothing) {
  folder->WriteOptions("A=1\n");
  EXPECT_EQ(nullptr, LoadQVOptionsPair(nullptr, false));
}

// ---- the list of pairs ---------------------------------------------------------------

TEST(SettingsPairsTest, LinesBecomePairsInFileOrderAndTheFirstKeyIsFound) {
  FCSettingsPairs pairs;
  EXPECT_STREQ("FCSettingsPairs", pairs.ClassName());
  for (const char* line : {"A=1", "=no", "plain", " b = 2 ", "a=3"}) {
    FCString s(line);
    pairs.AddFromLine(&s);
  }
  ASSERT_EQ(3, pairs.GetCount());
  EXPECT_STREQ("b", pairs.GetItemAt(1)->GetKey()->GetCString());
  EXPECT_STREQ("2", pairs.GetItemAt(1)->GetValue()->GetCString());
  ASSERT_TRUE(pairs.Find("a"));
  EXPECT_STREQ("1", pairs.Find("a")->GetValue()->GetCString());
  EXPECT_EQ(nullptr, pairs.Find("c"));
}

} // namespace
