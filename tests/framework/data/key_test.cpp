// Key signatures: what the host's 16-bit key word says about sharps, flats and the tonic.
#include <gtest/gtest.h>

#include "data/fckeysignature.h"
#include "hostsim.h"

namespace {

struct KeyCase {
  utwobyte word;
  twobyte sharps, flats;
  int root; // A = 0 ... G = 6
};

// A key signature holding a word (and an accidental offset).
struct Key : FCKeySignature {
  explicit Key(utwobyte word, twobyte offset = 0) {
    SetKeyWord(word);
    SetAccidentalOffset(offset);
  }
};

} // namespace

TEST(KeySignatureTest, StandardKeysGiveTheirAccidentalsAndTonic) {
  const KeyCase cases[] = {
      {0x0000, 0, 0, 2}, // C major
      {0x0003, 3, 0, 0}, // A major
      {0x00FD, 0, 3, 4}, // E flat major
      {0x0007, 7, 0, 2}, // C sharp major
      {0x00F9, 0, 7, 2}, // C flat major
      {0x0100, 0, 0, 0}, // A minor
      {0x01FF, 0, 1, 3}, // D minor
      {0x0103, 3, 0, 5}, // F sharp minor
      {0x01FD, 0, 3, 2}, // C minor
      {0x0107, 7, 0, 0}, // A sharp minor
      {0x00F8, 0, 8, 5}, // F flat major: eight flats wrap round the seven letters
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.word);
    Key k(c.word);
    EXPECT_EQ(c.sharps, k.CalcSharps());
    EXPECT_EQ(c.flats, k.CalcFlats());
    EXPECT_EQ(c.root, k.CalcScaleRootIndex());
  }
}

TEST(KeySignatureTest, NonStandardKeysAnswerMinusOneAndMatchEachOther) {
  for (utwobyte word : {utwobyte(0x0200), utwobyte(0x4000), utwobyte(0x8003), utwobyte(0xFF00)}) {
    SCOPED_TRACE(word);
    Key k(word);
    EXPECT_EQ(-1, k.CalcSharps());
    EXPECT_EQ(-1, k.CalcFlats());
    EXPECT_EQ(-1, k.CalcScaleRootIndex());
  }
  Key a(0x0200), b(0x4000);
  EXPECT_TRUE(a.IsIdentical(&b));
  Key c(0x0000);
  EXPECT_FALSE(a.IsIdentical(&c));
}

TEST(KeySignatureTest, MajorAndMinorWithTheSameAccidentalsDiffer) {
  Key major(0x0002), minor(0x0102);
  EXPECT_EQ(major.CalcSharps(), minor.CalcSharps());
  EXPECT_FALSE(major.IsIdentical(&minor));
  EXPECT_FALSE(minor.IsIdentical(&major));
  Key same(0x0002);
  EXPECT_TRUE(major.IsIdentical(&same));
  Key other(0x0003);
  EXPECT_FALSE(major.IsIdentical(&other));
}

TEST(KeySignatureTest, AccidentalOffsetShiftsStandardKeysOnly) {
  Key k(0x00FF, 0x0303); // only the low byte counts: F major + 3 = D major
  EXPECT_EQ(2, k.CalcSharps());
  EXPECT_EQ(3, k.CalcScaleRootIndex());
  Key wrap(0x0005, 0x00FE); // 5 + 254 wraps to 3 sharps
  EXPECT_EQ(3, wrap.CalcSharps());
  Key minor(0x0100, 0x0001);
  EXPECT_EQ(1, minor.CalcSharps());
  EXPECT_EQ(4, minor.CalcScaleRootIndex()); // E minor
  Key odd(0x0200, 0x0001);
  EXPECT_EQ(-1, odd.CalcSharps());
  Key d(0x0002);
  EXPECT_TRUE(k.IsIdentical(&d));
}

TEST(KeySignatureTest, IsANeverTransferredValueHolder) {
  hostsim::Reset();
  Key k(0x01FE, 0x0004);
  EXPECT_EQ(0u, k.Tag());
  EXPECT_EQ(2, k.DataSizeLoad());
  EXPECT_FALSE(k.LoadFirst());
  EXPECT_STREQ("FCKeySignature", k.ClassName());
  EXPECT_TRUE(hostsim::Calls().empty());

  FCKeySignature* copy = static_cast<FCKeySignature*>(k.CreateClone());
  ASSERT_NE(nullptr, copy);
  EXPECT_EQ(0x01FE, copy->GetKeyWord());
  EXPECT_EQ(4, copy->GetAccidentalOffset());
  EXPECT_EQ(2, copy->GetLoadedSize());
  copy->SetKeyWord(0x0001);
  EXPECT_EQ(0x0001, *static_cast<utwobyte*>(copy->_GetDataBlock()));
  EXPECT_EQ(0x01FE, k.GetKeyWord());
  __FCBase* asBase = copy;
  Key same(0x0005); // 1 sharp + offset 4 is E major
  EXPECT_TRUE(same.IsIdentical(asBase));
  __FCBase plain;
  EXPECT_FALSE(same.IsIdentical(&plain));
  delete copy;
}
