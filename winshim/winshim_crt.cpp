// The Windows runtime functions of stdlib_win.h for the native build.
#include "stdlib_win.h"

namespace {

int Lower(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

// Decodes one UTF-8 sequence at bytes[i] (n bytes in all); answers the code point, or U+FFFD
// for a malformed one, and advances i past what it consumed.
uint32_t DecodeOne(const unsigned char* bytes, int n, int& i) {
  unsigned char lead = bytes[i++];
  if (lead < 0x80) return lead;
  int more;
  uint32_t cp, min;
  if ((lead & 0xE0) == 0xC0) {
    more = 1, cp = lead & 0x1F, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    more = 2, cp = lead & 0x0F, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    more = 3, cp = lead & 0x07, min = 0x10000;
  } else {
    return 0xFFFD;
  }
  for (int k = 0; k < more; ++k) {
    if (i >= n || (bytes[i] & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (bytes[i++] & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
  return cp;
}

} // namespace

extern "C" {

int _stricmp(const char* a, const char* b) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
  for (;; ++p, ++q) {
    int d = Lower(*p) - Lower(*q);
    if (d != 0 || *p == 0) return d;
  }
}

int MultiByteToWideChar(unsigned int codepage, uint32_t, const char* text, int count, LPWSTR units,
                        int capacity) {
  if (codepage != CP_UTF8 || !text || count == 0 || capacity < 0) return 0;
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
  int n = count;
  if (count < 0) {
    n = 0;
    while (bytes[n])
      ++n;
    ++n; // the terminator is converted too
  }
  int written = 0;
  for (int i = 0; i < n;) {
    uint32_t cp = DecodeOne(bytes, n, i);
    WCHAR pair[2];
    int m = 1;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      pair[0] = static_cast<WCHAR>(0xD800 + (cp >> 10));
      pair[1] = static_cast<WCHAR>(0xDC00 + (cp & 0x3FF));
      m = 2;
    } else {
      pair[0] = static_cast<WCHAR>(cp);
    }
    if (capacity > 0) {
      if (!units || written + m > capacity) return 0;
      for (int k = 0; k < m; ++k)
        units[written + k] = pair[k];
    }
    written += m;
  }
  return written;
}

} // extern "C"
