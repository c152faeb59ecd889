#include "filekind.h"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace musicxml {

namespace {

bool StartsWith(const std::vector<uint8_t>& bytes, const char* magic, size_t size) {
  return bytes.size() >= size && memcmp(bytes.data(), magic, size) == 0;
}

// The file name's extension in lower case, without the dot; empty when it has none.
std::string Extension(const std::string& fileName) {
  size_t slash = fileName.find_last_of("/\\");
  size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = fileName.substr(dot + 1);
  for (char& c : ext)
    c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return ext;
}

// Notation programs' own formats by extension: the program and the format's name.
struct Program {
  const char* extension;
  const char* program;
};
const Program kPrograms[] = {
    {"mscz", "MuseScore"}, {"mscx", "MuseScore"}, {"sib", "Sibelius"},   {"mus", "Finale"},
    {"musx", "Finale"},    {"dorico", "Dorico"},  {"cap", "capella"},    {"capx", "capella"},
    {"ly", "LilyPond"},    {"gp", "Guitar Pro"},  {"gp3", "Guitar Pro"}, {"gp4", "Guitar Pro"},
    {"gp5", "Guitar Pro"}, {"gpx", "Guitar Pro"}, {"enc", "Encore"},     {"ptb", "Power Tab"},
    {"tg", "TuxGuitar"},   {"notion", "Notion"},  {"sng", "Songwriter"}, {"nwc", "NoteWorthy"},
    {"abc", "ABC"},        {"mei", "MEI"},        {"krn", "Humdrum"},
};

std::string ProgramFile(const std::string& program, const std::string& extension) {
  bool vowel = strchr("AEIOU", program[0]) != nullptr;
  return std::string(vowel ? "an " : "a ") + program + " file (." + extension +
         "), not MusicXML: open it in " + program +
         (program == "ABC" || program == "MEI" || program == "Humdrum" ? " software" : "") +
         " and export MusicXML from it";
}

std::string ByExtension(const std::string& extension) {
  for (const Program& p : kPrograms)
    if (extension == p.extension) return ProgramFile(p.program, extension);
  return "";
}

const char kExportAdvice[] =
    "open the score in the notation program that made it and export MusicXML from there";

// The first bytes that are not a byte-order mark or white space.
size_t TextStart(const std::vector<uint8_t>& bytes) {
  size_t i = StartsWith(bytes, "\xEF\xBB\xBF", 3) ? 3 : 0;
  while (i < bytes.size() && isspace(bytes[i]))
    ++i;
  return i;
}

bool ContainsNoCase(const std::vector<uint8_t>& bytes, size_t from, size_t length,
                    const char* word) {
  size_t n = strlen(word), end = std::min(bytes.size(), from + length);
  for (size_t i = from; i + n <= end; ++i) {
    size_t k = 0;
    while (k < n && tolower(bytes[i + k]) == tolower(static_cast<unsigned char>(word[k])))
      ++k;
    if (k == n) return true;
  }
  return false;
}

// A zip archive's judgement: empty when it has a container file (the reader takes it from
// there, a broken archive included), else what it appears to hold.
std::string ZipKind(const std::vector<uint8_t>& bytes, const std::string& extension) {
  zip_error_t ze;
  zip_error_init(&ze);
  zip_source_t* src = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &ze);
  zip_t* z = src ? zip_open_from_source(src, ZIP_RDONLY, &ze) : nullptr;
  zip_error_fini(&ze);
  if (!z) {
    if (src) zip_source_free(src);
    return "";
  }
  bool container = zip_name_locate(z, "META-INF/container.xml", 0) >= 0;
  bool museScore = false, word = false, spreadsheet = false;
  zip_int64_t count = zip_get_num_entries(z, 0);
  for (zip_int64_t i = 0; i < count && !container; ++i) {
    const char* name = zip_get_name(z, static_cast<zip_uint64_t>(i), 0);
    std::string member = name ? name : "";
    museScore = museScore || Extension(member) == "mscx";
    word = word || member == "word/document.xml";
    spreadsheet = spreadsheet || member == "xl/workbook.xml";
  }
  zip_discard(z);
  if (container) return "";
  std::string program = ByExtension(extension);
  if (!program.empty()) return program;
  if (museScore) return ProgramFile("MuseScore", "mscz");
  if (word) return "a word-processor document, not a score: " + std::string(kExportAdvice);
  if (spreadsheet) return "a spreadsheet, not a score: " + std::string(kExportAdvice);
  return "a zip archive with no MusicXML score in it (a compressed score has "
         "META-INF/container.xml): " +
         std::string(kExportAdvice);
}

} // namespace

std::string NotAScore(const std::vector<uint8_t>& bytes, const std::string& fileName) {
  if (bytes.empty()) return "the file is empty: there is no score in it";
  struct Magic {
    const char* bytes;
    size_t size;
    const char* what;
  };
  static const Magic kMagic[] = {
      {"%PDF-", 5, "a PDF document"},        {"\x89PNG\r\n\x1a\n", 8, "a PNG picture"},
      {"\xFF\xD8\xFF", 3, "a JPEG picture"}, {"GIF87a", 6, "a GIF picture"},
      {"GIF89a", 6, "a GIF picture"},        {"II*\0", 4, "a TIFF picture"},
      {"MM\0*", 4, "a TIFF picture"},        {"ID3", 3, "an MP3 sound file"},
      {"OggS", 4, "an Ogg sound file"},      {"fLaC", 4, "a FLAC sound file"},
  };
  for (const Magic& m : kMagic)
    if (StartsWith(bytes, m.bytes, m.size))
      return std::string(m.what) + ", not a score that can be read: " + kExportAdvice;
  if (StartsWith(bytes, "RIFF", 4) && bytes.size() >= 12 &&
      memcmp(bytes.data() + 8, "WAVE", 4) == 0)
    return "a WAV sound file, not a score that can be read: " + std::string(kExportAdvice);
  if (StartsWith(bytes, "MThd", 4))
    return "a MIDI file, not MusicXML: open it in a notation program and export MusicXML from it";
  std::string extension = Extension(fileName);
  if (StartsWith(bytes, "PK\x03\x04", 4) || StartsWith(bytes, "PK\x05\x06", 4))
    return ZipKind(bytes, extension);

  size_t start = TextStart(bytes);
  bool utf16 = StartsWith(bytes, "\xFF\xFE", 2) || StartsWith(bytes, "\xFE\xFF", 2);
  if (utf16 || (start < bytes.size() && bytes[start] == '<')) {
    // XML: a notation program's own XML, or a web page, by its first element.
    const size_t head = 4096;
    if (!utf16 && ContainsNoCase(bytes, start, head, "<museScore"))
      return ProgramFile("MuseScore", "mscx");
    if (!utf16 && (ContainsNoCase(bytes, start, 15, "<!doctype html") ||
                   ContainsNoCase(bytes, start, 5, "<html")))
      return "a web page (HTML), not a score: save the score file itself, not the page "
             "that offers it";
    return "";
  }
  if (extension == "mid" || extension == "midi")
    return "a MIDI file, not MusicXML: open it in a notation program and export MusicXML from it";
  return ByExtension(extension);
}

} // namespace musicxml
