// The Windows runtime and code-page functions the plug-in's settings files use, for the
// native build: the C runtime's case-insensitive comparison and the UTF-8 conversion.
#pragma once
#include <cstdint>

typedef uint16_t WCHAR; // one UTF-16 unit, as on Windows
typedef WCHAR* LPWSTR;

#define CP_UTF8 65001

extern "C" {
// Compares two 8-bit texts with the letters A to Z equal to a to z; other bytes as they are.
int _stricmp(const char* a, const char* b);

// Converts UTF-8 (code page 65001 only) to UTF-16 units. count -1 reads up to and including the
// terminator. With capacity 0 answers the units needed; otherwise the units written, or 0 when
// they do not fit. Malformed sequences become U+FFFD.
int MultiByteToWideChar(unsigned int codepage, uint32_t flags, const char* bytes, int count,
                        LPWSTR units, int capacity);
}
