// Text file streams: line splitting, byte values, writing and the state without an open file.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/fccollection.h"
#include "core/fcstring.h"
#include "core/fcstrings.h"
#include "settings/fcfilestream.h"
#include "settings/fcsettings.h"
#include "support/host_folder.h"

namespace {

class TextFileStreamTest : public ::testing::Test {
protected:
  void SetUp() override {
    hostsim::Reset();
    folder.reset(new testsupport::HostFolder);
  }
  void TearDown() override { folder.reset(); }

  // A stream on "data.txt" of the host folder, through the fixed folder array.
  void Aim(FCTextFileStream& stream) {
    stream.SetDefaultFolder(hostsim::TheHost().finalePath.c_str());
    stream.GetFileName()->SetCString("data.txt");
  }
  std::unique_ptr<FCStrings> ReadAll(const std::string& bytes) {
    folder->Write("data.txt", bytes);
    FCTextFileStream stream;
    Aim(stream);
    EXPECT_TRUE(stream.OpenRead());
    return std::unique_ptr<FCStrings>(stream.ReadStrings());
  }
  static std::string Text(FCString* s) { return s ? std::string(s->GetCString()) : "<null>"; }

  std::unique_ptr<testsupport::HostFolder> folder;
};

TEST_F(TextFileStreamTest, TwoLinesEndingInLineFeedAreExactlyTwoStrings) {
  auto lines = ReadAll("alpha\nbeta\n");
  ASSERT_TRUE(lines);
  ASSERT_EQ(2, lines->GetCount());
  EXPECT_EQ("alpha", Text(lines->GetItemAt(0)));
  EXPECT_EQ("beta", Text(lines->GetItemAt(1)));
}

TEST_F(TextFileStreamTest, CarriageReturnEndsALineAndAPairLeavesAtMostAnEmptyLine) {
  // A pair is one line end in a Windows text-mode read and a line end plus an empty line
  // elsewhere; either way the lines with text are the same, in the same order.
  auto lines = ReadAll("a\r\nb\rc");
  ASSERT_TRUE(lines);
  std::vector<std::string> texts;
  for (int i = 0; i < lines->GetCount(); ++i) {
    std::string line = Text(lines->GetItemAt(i));
    if (!line.empty()) texts.push_back(line);
  }
  EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), texts); // no line end after "c"
  EXPECT_LE(lines->GetCount(), 4);
}

TEST_F(TextFileStreamTest, EmptyLinesAreEmptyStringsAndAnEmptyFileIsNoString) {
  auto lines = ReadAll("\n\nx");
  ASSERT_TRUE(lines);
  ASSERT_EQ(3, lines->GetCount());
  EXPECT_EQ(0, lines->GetItemAt(0)->GetLength());
  EXPECT_EQ(0, lines->GetItemAt(1)->GetLength());
  auto none = ReadAll("");
  ASSERT_TRUE(none);
  EXPECT_EQ(0, none->GetCount());
}

TEST_F(TextFileStreamTest, EveryByteBecomesOneUnitOfItsValueZeroIncluded) {
  std::string bytes("A\0\xE9\xFF"
                    "B",
                    5);
  auto lines = ReadAll(bytes + "\n");
  ASSERT_TRUE(lines);
  ASSERT_EQ(1, lines->GetCount());
  FCString* line = lines->GetItemAt(0);
  ASSERT_EQ(5, line->GetLength());
  EXPECT_EQ(65, line->GetItemAt(0));
  EXPECT_EQ(0, line->GetItemAt(1));
  EXPECT_EQ(0xE9, line->GetItemAt(2));
  EXPECT_EQ(0xFF, line->GetItemAt(3));
  EXPECT_EQ(66, line->GetItemAt(4));
}

TEST_F(TextFileStreamTest, ALineOfMegabytesIsReadWhole) {
  std::string big(3 * 1024 * 1024, 'q');
  big[12345] = 'Z';
  auto lines = ReadAll("k=" + big + "\nnext");
  ASSERT_TRUE(lines);
  ASSERT_EQ(2, lines->GetCount());
  FCString* line = lines->GetItemAt(0);
  ASSERT_EQ(static_cast<int>(big.size()) + 2, line->GetLength());
  EXPECT_EQ('Z', line->GetItemAt(12345 + 2));
  EXPECT_EQ('q', line->GetItemAt(line->GetLength() - 1));
  EXPECT_EQ("next", Text(lines->GetItemAt(1)));
}

TEST_F(TextFileStreamTest, NothingOpenGivesNullAndFalse) {
  FCTextFileStream stream;
  Aim(stream);
  EXPECT_EQ(nullptr, stream.ReadString());
  EXPECT_EQ(nullptr, stream.ReadStrings());
  FCStrings strings;
  EXPECT_FALSE(stream.WriteStrings(&strings));
  FCString text("x");
  EXPECT_FALSE(stream.WriteText(&text));
  FCSettingsPairs pairs;
  EXPECT_FALSE(stream.WriteSettingsPairs(&pairs));
  EXPECT_FALSE(stream.Close());
  // A missing file does not open for reading, and is not made by trying.
  EXPECT_FALSE(stream.OpenRead());
  EXPECT_FALSE(folder->Exists("data.txt"));
}

TEST_F(TextFileStreamTest, TheFolderStringWinsOverTheFixedFolderAndABackslashJoins) {
  FCTextFileStream stream;
  stream.SetDefaultFolder("C:\\Fixed");
  stream.GetFileName()->SetCString("f.txt");
  FCString path;
  EXPECT_TRUE(stream._MakeFullPath(&path));
  EXPECT_EQ("C:\\Fixed\\f.txt", Text(&path));
  stream.GetFolder()->SetCString("D:\\Other");
  stream._MakeFullPath(&path);
  EXPECT_EQ("D:\\Other\\f.txt", Text(&path));
}

TEST_F(TextFileStreamTest, AFolderLongerThanTheFixedArrayIsCutToFit) {
  std::string longfolder(600, 'd');
  FCTextFileStream stream;
  stream.SetDefaultFolder(longfolder.c_str());
  stream.GetFileName()->SetCString("f.txt");
  FCString path;
  stream._MakeFullPath(&path);
  EXPECT_EQ(std::string(259, 'd') + "\\f.txt", Text(&path));
}

TEST_F(TextFileStreamTest, WrittenPairsStringsAndTextReadBackLineByLine) {
  FCTextFileStream writer;
  Aim(writer);
  ASSERT_TRUE(writer.OpenWrite());
  FCSettingsPairs pairs;
  FCString k1("ONE"), v1("1"), k2("two"), v2("a=b");
  pairs.Add(new FCSettingsPair(&k1, &v1));
  pairs.Add(new FCSettingsPair(&k2, &v2));
  EXPECT_TRUE(writer.WriteSettingsPairs(&pairs));
  FCStrings strings;
  strings.Add(new FCString("plain"));
  EXPECT_TRUE(writer.WriteStrings(&strings));
  FCString tail("end");
  EXPECT_TRUE(writer.WriteText(&tail));
  EXPECT_TRUE(writer.Close());

  FCTextFileStream reader;
  Aim(reader);
  ASSERT_TRUE(reader.OpenRead());
  std::unique_ptr<FCStrings> lines(reader.ReadStrings());
  ASSERT_TRUE(lines);
  ASSERT_EQ(4, lines->GetCount());
  EXPECT_EQ("ONE=1", Text(lines->GetItemAt(0)));
  EXPECT_EQ("two=a=b", Text(lines->GetItemAt(1)));
  EXPECT_EQ("plain", Text(lines->GetItemAt(2)));
  EXPECT_EQ("end", Text(lines->GetItemAt(3)));
}

TEST_F(TextFileStreamTest, OpeningAgainClosesTheEarlierHandle) {
  folder->Write("data.txt", "first\nsecond\n");
  FCTextFileStream stream;
  Aim(stream);
  ASSERT_TRUE(stream.OpenRead());
  delete stream.ReadString();
  ASSERT_TRUE(stream.OpenRead()); // starts over at the first line
  std::unique_ptr<FCString> line(stream.ReadString());
  EXPECT_EQ("first", Text(line.get()));
}

TEST_F(TextFileStreamTest, Utf8StreamDecodesAndKeepsTheLineEnd) {
  folder->Write("data.txt", "caf\xC3\xA9\nz");
  FCTextFileUTF8Stream stream;
  Aim(stream);
  ASSERT_TRUE(stream.OpenRead());
  std::unique_ptr<FCString> line(stream.ReadString());
  ASSERT_TRUE(line);
  ASSERT_EQ(5, line->GetLength());
  EXPECT_EQ(0xE9, line->GetItemAt(3));
  EXPECT_EQ(10, line->GetItemAt(4));
  std::unique_ptr<FCString> last(stream.ReadString());
  ASSERT_TRUE(last);
  EXPECT_EQ("z", Text(last.get()));
  EXPECT_EQ(nullptr, stream.ReadString());
}

} // namespace
