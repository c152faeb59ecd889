#include "markers.h"

#include <set>

namespace guide {

namespace {
const std::string BEGIN = "<!-- begin generated: ", END = "<!-- end generated: ", CLOSE = " -->";
}

bool ReplaceBlocks(const std::string& text, const std::map<std::string, std::string>& blocks,
                   std::string* out, std::string* error) {
  std::set<std::string> placed;
  out->clear();
  size_t at = 0;
  for (size_t begin; (begin = text.find(BEGIN, at)) != std::string::npos;) {
    size_t nameStart = begin + BEGIN.size();
    size_t nameEnd = text.find(CLOSE, nameStart);
    size_t lineEnd = text.find('\n', nameStart);
    if (nameEnd == std::string::npos || lineEnd == std::string::npos || nameEnd > lineEnd) {
      *error = "a begin marker without \"-->\" on its line";
      return false;
    }
    std::string name = text.substr(nameStart, nameEnd - nameStart);
    auto block = blocks.find(name);
    if (block == blocks.end()) {
      *error = "no generated block is called \"" + name + "\"";
      return false;
    }
    if (!placed.insert(name).second) {
      *error = "the block \"" + name + "\" has two places";
      return false;
    }
    size_t end = text.find(END + name + CLOSE, lineEnd);
    if (end == std::string::npos) {
      *error = "the block \"" + name + "\" has no end marker";
      return false;
    }
    *out += text.substr(at, lineEnd + 1 - at) + "\n" + block->second + "\n";
    at = end;
  }
  *out += text.substr(at);
  for (auto& b : blocks)
    if (!placed.count(b.first)) {
      *error = "no place for the block \"" + b.first + "\"";
      return false;
    }
  return true;
}

std::string FirstDifference(const std::string& a, const std::string& b) {
  size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i])
    ++i;
  size_t start = a.rfind('\n', i == 0 ? 0 : i - 1);
  start = (start == std::string::npos || i == 0) ? 0 : start + 1;
  int line = 1;
  for (size_t k = 0; k < start; ++k)
    line += a[k] == '\n';
  size_t stop = a.find('\n', start);
  return "line " + std::to_string(line) + ": " +
         a.substr(start, stop == std::string::npos ? std::string::npos : stop - start);
}

} // namespace guide
