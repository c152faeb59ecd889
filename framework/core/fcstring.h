// A growable string of 16-bit units with an 8-bit view made on demand. Bytes widen by sign
// extension and narrow by dropping the high byte; there is no code-page conversion.
#pragma once
#include "fcbase.h"

class FCStrings;
struct FinPathSpec2009;

class FCString : public __FCBase {
public:
  FCString() : _length(0), _capacity(0), _pBuffer(nullptr), _pCBuffer(nullptr) {}
  explicit FCString(const char* text);
  virtual ~FCString();
  // One owner per buffer: a copy would free the same units twice. SetString copies the text.
  FCString(const FCString&) = delete;
  FCString& operator=(const FCString&) = delete;
  const char* ClassName() override { return "FCString"; }

  // ---- what the tool uses ----
  void SetCString(const char* text);
  void SetString(FCString* other);
  char* GetCString(); // never null; valid until the next GetCString or destruction
  void Append(const char* text);
  void Append(FCString* other);
  void Append(twobyte unit);
  twobyte GetItemAt(int index);
  bool IsEqual(const char* text);
  bool IsCharacter(int index, const char* set);
  bool DeleteCharacterAt(int index);
  bool DeleteCharactersAt(int start, int count);
  void TrimWhitespace();
  void GetUnicodeString(twobyte* destination); // room for GetLength() + 1 units
  int GetLength() const { return _length; }
  int GetCapacity() const { return _capacity; }

  // ---- the rest of the class ----
  void SetUnicodeString(const twobyte* units);
  bool IsEqual(FCString* other);
  bool Contains(FCString* part, int* position = nullptr);
  bool Replace(const char* from, const char* to);
  void Insert(const char* text, int position);
  bool MakeSubString(int start, int count, FCString* out);
  bool IsDigit(int index);
  bool IsAllDigits();
  bool IsCharacter(int index, twobyte unit);
  bool IsWhitespace(int index);
  int GetInteger(int start = 0);
  float GetFloat(int start = 0);
  void SetInteger(int value);
  void AppendInteger(int value);
  void SetItemAt(int index, twobyte unit);
  bool StartsWith(const char* text);
  bool StartsWith(FCString* other);
  bool EndsWith(const char* text);
  bool MakeFullFilePath(const FinPathSpec2009* path);
  bool LoadResource(int id, const char* module);
  FCStrings* CreateStringRows();                          // caller owns
  FCStrings* CreateParsedStrings(const char* separators); // caller owns

private:
  void _ExpandStorageIfNecessary(int needed);
  int _Find(FCString* part, int from); // first match at or after from, or -1

  fourbyte _length;   // units in use
  fourbyte _capacity; // units the buffer holds; 0 or a multiple of 10
  twobyte* _pBuffer;  // owned units, no terminator; null when never filled or set empty
  char* _pCBuffer;    // owned 8-bit view from the last GetCString, or null
};
