#include "printable.h"

#include <cstdio>

namespace {

// The length of the UTF-8 character at s[i], 0 when the bytes there are not one.
size_t CharacterLength(const std::string& s, size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  size_t n = c < 0x80             ? 1
             : (c & 0xE0) == 0xC0 ? 2
             : (c & 0xF0) == 0xE0 ? 3
             : (c & 0xF8) == 0xF0 ? 4
                                  : 0;
  if (n == 0 || i + n > s.size()) return 0;
  unsigned long code = n == 1 ? c : c & (0x7F >> n);
  for (size_t k = 1; k < n; ++k) {
    unsigned char t = static_cast<unsigned char>(s[i + k]);
    if ((t & 0xC0) != 0x80) return 0;
    code = code << 6 | (t & 0x3F);
  }
  static const unsigned long kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  bool valid = code >= kLeast[n] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
  return valid ? n : 0;
}

std::string Hex(const char* form, unsigned value) {
  char text[8];
  snprintf(text, sizeof text, form, value);
  return text;
}

} // namespace

std::string Printable(const std::string& text, bool lines) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t n = CharacterLength(text, i);
    if (n == 0) {
      out += Hex("\\x%02x", c);
      ++i;
    } else if (n == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
      out += Hex("\\u%04x", static_cast<unsigned char>(text[i + 1])); // C1: U+0080 to U+009F
      i += 2;
    } else if (n == 1 && (c < 0x20 || c == 0x7F) && !(lines && c == '\n')) {
      out += Hex("\\x%02x", c);
      ++i;
    } else {
      out.append(text, i, n);
      i += n;
    }
  }
  return out;
}
