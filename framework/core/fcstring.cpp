#include "fcstring.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fcstrings.h"

namespace {
// A byte becomes a unit by sign extension: 0x80..0xFF become 0xFF80..0xFFFF.
twobyte Widen(char byte) {
  return static_cast<twobyte>(static_cast<signed char>(byte));
}

bool IsTrimUnit(twobyte unit) {
  return unit == ' ' || unit == 13 || unit == 10 || unit == 9;
}

// The module named by the most recent LoadResource call that named one.
char lastResourceModule[260] = "";
bool haveResourceModule = false;

// Replacements allowed in one Replace call: a last guard against rewriting that never settles.
const int MAX_REPLACEMENTS = 65536;
} // namespace

// The host's path record begins with the path text.
struct FinPathSpec2009 {
  char path[260];
};

FCString::FCString(const char* text) : FCString() {
  SetCString(text);
}

FCString::~FCString() {
  delete[] _pBuffer;
  delete[] _pCBuffer;
  _pBuffer = nullptr;
  _pCBuffer = nullptr;
  _length = 0;
  _capacity = 0;
}

void FCString::_ExpandStorageIfNecessary(int needed) {
  if (needed < _capacity) return;
  int capacity = ((needed + 10) / 10) * 10;
  twobyte* buffer = new twobyte[capacity];
  for (int i = 0; i < _length; ++i)
    buffer[i] = _pBuffer[i];
  delete[] _pBuffer;
  _pBuffer = buffer;
  _capacity = capacity;
}

void FCString::SetCString(const char* text) {
  if (!text || !*text) {
    delete[] _pBuffer;
    _pBuffer = nullptr;
    _capacity = 0;
    _length = 0;
    return;
  }
  _length = 0;
  Append(text);
}

void FCString::SetString(FCString* other) {
  if (other == this) return; // emptying first would lose the text being copied
  SetCString("");
  if (!other || other->_length == 0) return;
  // The capacity appending unit by unit would end with, made at once.
  _ExpandStorageIfNecessary(other->_length);
  for (int i = 0; i < other->_length; ++i)
    Append(other->_pBuffer[i]);
}

char* FCString::GetCString() {
  delete[] _pCBuffer;
  _pCBuffer = new char[_length + 1];
  for (int i = 0; i < _length; ++i)
    _pCBuffer[i] = static_cast<char>(_pBuffer[i] & 0xFF);
  _pCBuffer[_length] = 0;
  return _pCBuffer;
}

void FCString::Append(const char* text) {
  if (!text) return;
  int count = static_cast<int>(strlen(text));
  if (count == 0) return;
  _ExpandStorageIfNecessary(_length + count);
  for (int i = 0; i < count; ++i)
    _pBuffer[_length++] = Widen(text[i]);
}

void FCString::Append(FCString* other) {
  if (!other) return;
  int count = other->_length; // fixed first: other may be this string
  if (count == 0) return;
  _ExpandStorageIfNecessary(_length + count);
  for (int i = 0; i < count; ++i)
    _pBuffer[_length + i] = other->_pBuffer[i];
  _length += count;
}

void FCString::Append(twobyte unit) {
  _ExpandStorageIfNecessary(_length + 1);
  _pBuffer[_length++] = unit;
}

twobyte FCString::GetItemAt(int index) {
  if (index < 0 || index >= _length) return 0;
  return _pBuffer[index];
}

bool FCString::IsEqual(const char* text) {
  if (!text) return false;
  return strcmp(GetCString(), text) == 0;
}

bool FCString::IsCharacter(int index, const char* set) {
  if (index < 0 || index >= _length || !set || !*set) return false;
  for (const char* p = set; *p; ++p)
    if (_pBuffer[index] == Widen(*p)) return true;
  return false;
}

bool FCString::DeleteCharacterAt(int index) {
  return DeleteCharactersAt(index, 1);
}

bool FCString::DeleteCharactersAt(int start, int count) {
  if (start < 0 || start >= _length || count <= 0 || count > _length) return false;
  if (count > _length - start) return false; // would reach past the end
  for (int i = start + count; i < _length; ++i)
    _pBuffer[i - count] = _pBuffer[i];
  _length -= count;
  return true;
}

void FCString::TrimWhitespace() {
  while (_length > 0 && IsTrimUnit(_pBuffer[_length - 1]))
    --_length;
  int lead = 0;
  while (lead < _length && IsTrimUnit(_pBuffer[lead]))
    ++lead;
  if (lead > 0) DeleteCharactersAt(0, lead);
}

void FCString::GetUnicodeString(twobyte* destination) {
  if (!destination) return;
  for (int i = 0; i < _length; ++i)
    destination[i] = _pBuffer[i];
  destination[_length] = 0;
}

void FCString::SetUnicodeString(const twobyte* units) {
  SetCString("");
  if (!units) return;
  for (const twobyte* p = units; *p; ++p)
    Append(*p);
}

bool FCString::IsEqual(FCString* other) {
  if (!other) return false;
  if (other == this) return true;
  return strcmp(GetCString(), other->GetCString()) == 0;
}

int FCString::_Find(FCString* part, int from) {
  if (!part || from < 0) return -1;
  for (int start = from; start + part->_length <= _length; ++start) {
    int i = 0;
    while (i < part->_length && _pBuffer[start + i] == part->_pBuffer[i])
      ++i;
    if (i == part->_length) return start;
  }
  return -1;
}

bool FCString::Contains(FCString* part, int* position) {
  int found = _Find(part, 0);
  if (found < 0) return false;
  if (position) *position = found;
  return true;
}

namespace {
// Replace's working text: units on a stack that grows by doubling (its capacity is never seen).
struct UnitStack {
  twobyte* units = nullptr;
  int size = 0;
  int capacity = 0;
  UnitStack() = default;
  UnitStack(const UnitStack&) = delete;
  UnitStack& operator=(const UnitStack&) = delete;
  ~UnitStack() { delete[] units; }
  void Push(twobyte unit) {
    if (size == capacity) {
      int grown = capacity < 16 ? 16 : 2 * capacity;
      twobyte* bigger = new twobyte[grown];
      for (int i = 0; i < size; ++i)
        bigger[i] = units[i];
      delete[] units;
      units = bigger;
      capacity = grown;
    }
    units[size++] = unit;
  }
  twobyte Pop() { return units[--size]; }
};

// The most units a replacement may leave: far beyond any text, short of the 32-bit sizes.
const int MAX_REPLACED_LENGTH = 1 << 28;
} // namespace

bool FCString::Replace(const char* from, const char* to) {
  if (!from || !*from) return false; // an empty pattern matches everywhere, forever
  FCString pattern(from);
  FCString replacement(to ? to : "");
  const int p = pattern._length;
  const int r = replacement._length;
  // A replacement that holds the pattern would be found again at once: search on after it.
  bool searchOn = replacement.Contains(&pattern);
  // The next match, searched from the start, lies no earlier than p - 1 units before the last
  // one: the text before those is as it was and held none. So one cursor walks the text, the
  // units before it in `done`, those after it in `ahead` (last first), and a replacement costs
  // its own length instead of the whole text's.
  UnitStack done, ahead;
  for (int i = _length - 1; i >= 0; --i)
    ahead.Push(_pBuffer[i]);
  int replaced = 0;
  while (replaced < MAX_REPLACEMENTS) {
    bool match = ahead.size >= p;
    for (int k = 0; match && k < p; ++k)
      match = ahead.units[ahead.size - 1 - k] == pattern._pBuffer[k];
    if (!match) {
      if (ahead.size == 0) break;
      done.Push(ahead.Pop());
      continue;
    }
    if (done.size + ahead.size - p + r > MAX_REPLACED_LENGTH) break;
    ahead.size -= p;
    for (int i = r - 1; i >= 0; --i)
      ahead.Push(replacement._pBuffer[i]);
    ++replaced;
    if (searchOn) {
      for (int i = 0; i < r; ++i)
        done.Push(ahead.Pop());
    } else {
      for (int i = 0; i < p - 1 && done.size > 0; ++i)
        ahead.Push(done.Pop());
    }
  }
  if (replaced == 0) return false;
  SetCString("");
  int length = done.size + ahead.size;
  if (length == 0) return true;
  _ExpandStorageIfNecessary(length);
  for (int i = 0; i < done.size; ++i)
    _pBuffer[_length++] = done.units[i];
  for (int i = ahead.size - 1; i >= 0; --i)
    _pBuffer[_length++] = ahead.units[i];
  return true;
}

void FCString::Insert(const char* text, int position) {
  if (!text || position < 0 || position > _length) return; // only places inside the string
  FCString rebuilt;
  MakeSubString(0, position, &rebuilt);
  rebuilt.Append(text);
  FCString tail;
  if (MakeSubString(position, _length, &tail)) rebuilt.Append(&tail);
  SetString(&rebuilt);
}

bool FCString::MakeSubString(int start, int count, FCString* out) {
  if (!out || out == this || start < 0 || count < 0 || start >= _length) return false;
  if (count > _length - start) count = _length - start;
  out->SetCString("");
  if (count > 0) out->_ExpandStorageIfNecessary(count); // as appending one by one would end
  for (int i = 0; i < count; ++i)
    out->Append(_pBuffer[start + i]);
  return true;
}

bool FCString::IsDigit(int index) {
  if (_length == 0) return false;
  twobyte unit = GetItemAt(index);
  return unit >= 48 && unit <= 57;
}

bool FCString::IsAllDigits() {
  for (int i = 0; i < _length; ++i)
    if (_pBuffer[i] < 48 || _pBuffer[i] > 57) return false;
  return true;
}

bool FCString::IsCharacter(int index, twobyte unit) {
  return index >= 0 && index < _length && _pBuffer[index] == unit;
}

bool FCString::IsWhitespace(int index) {
  if (index < 0 || index >= _length) return false;
  twobyte unit = _pBuffer[index];
  // The classification is defined for byte values only.
  return unit >= 0 && unit <= 255 && isspace(unit) != 0;
}

int FCString::GetInteger(int start) {
  if (start < 0 || start > _length) return 0;
  return atoi(GetCString() + start);
}

float FCString::GetFloat(int start) {
  if (start < 0 || start > _length) return 0;
  return static_cast<float>(atof(GetCString() + start));
}

void FCString::SetInteger(int value) {
  SetCString("");
  AppendInteger(value);
}

void FCString::AppendInteger(int value) {
  char text[16];
  snprintf(text, sizeof text, "%d", value);
  Append(text);
}

void FCString::SetItemAt(int index, twobyte unit) {
  if (index >= 0 && index < _length) _pBuffer[index] = unit;
}

bool FCString::StartsWith(const char* text) {
  if (!text) return false;
  int count = static_cast<int>(strlen(text));
  if (_length < count) return false;
  return strncmp(GetCString(), text, count) == 0;
}

bool FCString::StartsWith(FCString* other) {
  if (!other || other->_length > _length) return false;
  for (int i = 0; i < other->_length; ++i)
    if (_pBuffer[i] != other->_pBuffer[i]) return false;
  return true;
}

bool FCString::EndsWith(const char* text) {
  if (!text) return false;
  int count = static_cast<int>(strlen(text));
  if (_length < count) return false;
  return strcmp(GetCString() + (_length - count), text) == 0;
}

bool FCString::MakeFullFilePath(const FinPathSpec2009* path) {
  if (!path) return false;
  char text[sizeof path->path + 1];
  memcpy(text, path->path, sizeof path->path);
  text[sizeof path->path] = 0; // the host's record may lack a terminator
  SetCString(text);
  return true;
}

bool FCString::LoadResource(int id, const char* module) {
  if (module) {
    snprintf(lastResourceModule, sizeof lastResourceModule, "%s", module);
    haveResourceModule = true;
  }
  HMODULE handle = haveResourceModule ? GetModuleHandleA(lastResourceModule) : nullptr;
  char text[501];
  int count = LoadStringA(handle, id, text, sizeof text);
  if (count <= 0) {
    SetCString("Resource String Error");
    return false;
  }
  text[count < 500 ? count : 500] = 0;
  SetCString(text);
  return true;
}

FCStrings* FCString::CreateStringRows() {
  FCStrings* rows = new FCStrings;
  FCString* row = nullptr;
  for (int i = 0; i < _length; ++i) {
    if (_pBuffer[i] == 10) {
      rows->Add(row ? row : new FCString);
      row = nullptr;
      continue;
    }
    if (!row) row = new FCString;
    row->Append(_pBuffer[i]);
  }
  if (row) rows->Add(row);
  return rows;
}

FCStrings* FCString::CreateParsedStrings(const char* separators) {
  FCStrings* tokens = new FCStrings;
  FCString* token = nullptr;
  for (int i = 0; i < _length; ++i) {
    if (IsCharacter(i, separators)) {
      if (token) tokens->Add(token);
      token = nullptr;
      continue;
    }
    if (!token) token = new FCString;
    token->Append(_pBuffer[i]);
  }
  if (token) tokens->Add(token);
  return tokens;
}
