#include "fcfilestream.h"

#include <cstring>

#include "core/fcstrings.h"
#include "fcsettings.h"

namespace {

// The longest line kept: bytes beyond it are read past and dropped, so that a file of one
// endless line costs time in proportion to its size but no more memory than this.
const int MAX_LINE_BYTES = 16 * 1024 * 1024;

// A byte buffer that doubles as it fills, so a line of any length is read in linear time.
class LineBytes {
public:
  LineBytes() : _count(0), _capacity(0), _pBytes(nullptr) {}
  ~LineBytes() { delete[] _pBytes; }
  void Add(unsigned char byte) {
    if (_count >= MAX_LINE_BYTES) return;
    if (_count == _capacity) {
      int capacity = _capacity ? _capacity * 2 : 256;
      unsigned char* bytes = new unsigned char[capacity];
      if (_count) memcpy(bytes, _pBytes, _count);
      delete[] _pBytes;
      _pBytes = bytes;
      _capacity = capacity;
    }
    _pBytes[_count++] = byte;
  }
  int Count() const { return _count; }
  const unsigned char* Bytes() const { return _pBytes; }

private:
  int _count;             // bytes in use
  int _capacity;          // bytes allocated
  unsigned char* _pBytes; // owned, or null
};

// Sets the string to one unit per byte, each the byte's value 0 to 255 (a zero byte too).
// The string grows once: a placeholder of the full length is appended, then every unit set.
void SetBytes(FCString* string, const LineBytes& line) {
  string->SetCString("");
  int count = line.Count();
  if (count == 0) return;
  char* placeholder = new char[count + 1];
  memset(placeholder, 'x', count);
  placeholder[count] = 0;
  string->Append(placeholder);
  delete[] placeholder;
  const unsigned char* bytes = line.Bytes();
  for (int i = 0; i < count; ++i)
    string->SetItemAt(i, static_cast<twobyte>(bytes[i]));
}

} // namespace

// ---- FCFileStream ------------------------------------------------------------------------

FCFileStream::FCFileStream() : _pFile(nullptr) {
  memset(_defaultfolder, 0, sizeof _defaultfolder);
}

FCFileStream::~FCFileStream() {
  Close();
}

void FCFileStream::SetDefaultFolder(const char* folder) {
  memset(_defaultfolder, 0, sizeof _defaultfolder);
  if (!folder) return;
  for (size_t i = 0; i + 1 < sizeof _defaultfolder && folder[i]; ++i)
    _defaultfolder[i] = folder[i];
}

bool FCFileStream::_MakeFullPath(FCString* path) {
  if (!path) return true;
  if (_folder.GetLength() > 0) {
    path->SetString(&_folder);
  } else {
    // The array's last byte is a terminator whatever the creator copied into it.
    char folder[sizeof _defaultfolder + 1];
    memcpy(folder, _defaultfolder, sizeof _defaultfolder);
    folder[sizeof _defaultfolder] = 0;
    path->SetCString(folder);
  }
  path->Append("\\");
  path->Append(&_filename);
  return true;
}

bool FCFileStream::OpenFile(const char* mode) {
  // A stream still open from an earlier call is closed rather than lost.
  Close();
  FCString path;
  _MakeFullPath(&path);
  _pFile = fopen(path.GetCString(), mode);
  return _pFile != nullptr;
}

bool FCFileStream::Close() {
  if (!_pFile) return false;
  fclose(_pFile);
  _pFile = nullptr;
  return true;
}

// ---- FCTextFileStream --------------------------------------------------------------------

bool FCTextFileStream::OpenRead() {
  return OpenFile("r");
}

bool FCTextFileStream::OpenWrite() {
  return OpenFile("w+");
}

FCString* FCTextFileStream::ReadString() {
  if (!_pFile) return nullptr;
  int byte = fgetc(_pFile);
  if (byte == EOF) return nullptr;
  LineBytes line;
  while (byte != EOF && byte != 10 && byte != 13) {
    line.Add(static_cast<unsigned char>(byte));
    byte = fgetc(_pFile);
  }
  FCString* result = new FCString;
  SetBytes(result, line);
  return result;
}

FCStrings* FCTextFileStream::ReadStrings() {
  if (!_pFile) return nullptr;
  FCStrings* strings = new FCStrings;
  for (FCString* line = ReadString(); line; line = ReadString())
    strings->Add(line);
  return strings;
}

bool FCTextFileStream::WriteStrings(FCStrings* strings) {
  if (!_pFile) return false;
  if (!strings) return true;
  for (int i = 0; i < strings->GetCount(); ++i) {
    FCString* string = strings->GetItemAt(i);
    if (string) fprintf(_pFile, "%s\n", string->GetCString());
  }
  return true;
}

bool FCTextFileStream::WriteText(FCString* text) {
  if (!_pFile) return false;
  if (!text) return false;
  return fprintf(_pFile, "%s", text->GetCString()) >= 0;
}

bool FCTextFileStream::WriteSettingsPairs(FCSettingsPairs* pairs) {
  if (!_pFile) return false;
  if (!pairs) return true;
  for (int i = 0; i < pairs->GetCount(); ++i) {
    FCSettingsPair* pair = pairs->GetItemAt(i);
    if (!pair) continue;
    fprintf(_pFile, "%s=%s\n", pair->GetKey()->GetCString(), pair->GetValue()->GetCString());
  }
  return true;
}

// ---- FCTextFileUTF8Stream ----------------------------------------------------------------

FCString* FCTextFileUTF8Stream::ReadString() {
  if (!_pFile) return nullptr;
  char bytes[1024];
  if (!fgets(bytes, sizeof bytes, _pFile)) return nullptr;
  WCHAR units[8192];
  int count = MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(strlen(bytes)), units,
                                  static_cast<int>(sizeof units / sizeof units[0]) - 1);
  if (count < 0) count = 0;
  units[count] = 0;
  FCString* result = new FCString;
  result->SetUnicodeString(reinterpret_cast<const twobyte*>(units));
  return result;
}
