// Files that are not scores, named for what they appear to be before any XML parser sees
// them; scores of every kind pass.
#include <zip.h>

#include "filekind.h"
#include "scorefixture.h"

using namespace scoretest;

namespace {

std::vector<uint8_t> B(const std::string& s) {
  return std::vector<uint8_t>(s.begin(), s.end());
}

// A zip archive holding the named members, each with a line of text.
std::vector<uint8_t> Zip(const std::vector<std::string>& members) {
  TempFolder folder;
  std::string path = folder.Path("a.zip");
  int err = 0;
  zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
  static const char text[] = "<x/>\n";
  for (const std::string& m : members)
    zip_file_add(z, m.c_str(), zip_source_buffer(z, text, sizeof text - 1, 0), 0);
  zip_close(z);
  return ReadBytes(path);
}

TEST(NotAScore, SaysWhatTheFileAppearsToBeAndHowToGetAScore) {
  struct Case {
    std::vector<uint8_t> bytes;
    const char* name;
    const char* message;
  } cases[] = {
      {B("%PDF-1.7\n%binary"), "lead.musicxml", "a PDF document, not a score"},
      {B("\x89PNG\r\n\x1a\n...."), "page.png", "a PNG picture"},
      {B("\xFF\xD8\xFF\xE0...."), "page.jpg", "a JPEG picture"},
      {B("GIF89a...."), "page.gif", "a GIF picture"},
      {B(std::string("MThd\0\0\0\6", 8)), "song.mid", "a MIDI file, not MusicXML"},
      {B(std::string("\x0F\0\0binary", 9)), "song.sib",
       "a Sibelius file (.sib), not MusicXML: "
       "open it in Sibelius and export MusicXML"},
      {B("ENIGMA binary"), "song.musx", "(.musx), not MusicXML"},
      {B("\\version \"2.24.0\"\n{ c' }"), "song.ly", "a LilyPond file (.ly)"},
      {B("<?xml version=\"1.0\"?>\n<museScore version=\"4.20\"/>"), "song.mscx",
       "a MuseScore file (.mscx)"},
      {B("<!DOCTYPE html>\n<html></html>"), "download.musicxml", "a web page (HTML)"},
      {B(""), "empty.musicxml", "the file is empty: there is no score in it"},
      {Zip({"song.mscx"}), "song.mscz", "a MuseScore file (.mscz)"},
      {Zip({"notes.txt"}), "scores.zip", "a zip archive with no MusicXML score in it"},
  };
  for (const Case& c : cases)
    EXPECT_NE(std::string::npos, musicxml::NotAScore(c.bytes, c.name).find(c.message))
        << c.name << ": " << musicxml::NotAScore(c.bytes, c.name);
}

TEST(NotAScore, ScoresOfEveryKindAndBrokenXmlPass) {
  for (const char* file : {"pickup.musicxml", "voices.musicxml", "hugemember.mxl"})
    EXPECT_EQ("", musicxml::NotAScore(ReadBytes(FilePath(file)), file)) << file;
  // a compressed score (its container named), whatever its extension says
  EXPECT_EQ("", musicxml::NotAScore(Zip({"META-INF/container.xml", "score.xml"}), "a.capx"));
  // UTF-16 text, and XML broken enough for the parser to say where
  EXPECT_EQ("", musicxml::NotAScore(B(std::string("\xFF\xFE<\0s\0", 6)), "u16.musicxml"));
  EXPECT_EQ("", musicxml::NotAScore(B("<score-partwise><part>"), "broken.ly"));
}

TEST(NotAScore, TheJobSaysItWithTheFileNameAndWritesNothing) {
  ScoreJobResult r = RunScoreJob(B("%PDF-1.4\n"), "leadsheet.pdf", ScoreJobOptions(), Plugin());
  EXPECT_EQ(2, r.status);
  EXPECT_EQ(0u, r.error.find("leadsheet.pdf: a PDF document, not a score")) << r.error;
  EXPECT_TRUE(r.output.empty());
}

} // namespace
