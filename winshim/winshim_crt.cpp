// The Windows C runtime functions of stdlib_win.h for the native build.
#include "stdlib_win.h"

namespace {
int Lower(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}
} // namespace

extern "C" int _stricmp(const char* a, const char* b) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
  for (;; ++p, ++q) {
    int d = Lower(*p) - Lower(*q);
    if (d != 0 || *p == 0) return d;
  }
}
