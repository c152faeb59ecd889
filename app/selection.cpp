#include "selection.h"

#include <cctype>
#include <string>

namespace {

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
  return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

std::vector<std::string> Items(const std::string& text) {
  std::vector<std::string> items;
  size_t start = 0;
  for (;;) {
    size_t comma = text.find(',', start);
    items.push_back(Trim(text.substr(start, comma == std::string::npos ? comma : comma - start)));
    if (comma == std::string::npos) return items;
    start = comma + 1;
  }
}

// A part's name or id as it is compared: lower case, spaces run together and trimmed, the
// accidental signs as their letters, so that "Bb Trumpet" finds "B\u266d Trumpet" (and a
// natural sign, which is rarely typed, is left out).
std::string Compared(const std::string& s) {
  static const char* const kSigns[][2] = {
      {"\u266d", "b"}, {"\u266f", "#"}, {"\u266e", ""}, {"\U0001D12B", "bb"}, {"\U0001D12A", "##"}};
  std::string l;
  for (size_t i = 0; i < s.size();) {
    bool sign = false;
    for (const auto& k : kSigns) {
      size_t n = std::char_traits<char>::length(k[0]);
      if (s.compare(i, n, k[0]) == 0) {
        l += k[1];
        i += n;
        sign = true;
        break;
      }
    }
    if (sign) continue;
    unsigned char c = static_cast<unsigned char>(s[i++]);
    if (c == ' ' || c == '\t') {
      if (!l.empty() && l.back() != ' ') l += ' ';
    } else {
      l += static_cast<char>(tolower(c));
    }
  }
  while (!l.empty() && l.back() == ' ')
    l.pop_back();
  return l;
}

std::string Numbering(const std::vector<std::string>& numbers) {
  if (numbers.empty()) return " (it has no measures)";
  return " (its measures are numbered " + numbers.front() + " to " + numbers.back() + ")";
}

} // namespace

bool MeasureRuns(const std::vector<std::string>& numbers, const std::string& text,
                 std::vector<std::pair<int16_t, int16_t>>* runs, std::string* error) {
  runs->clear();
  std::vector<bool> chosen(numbers.size(), Trim(text).empty());
  auto missing = [&](const std::string& n) {
    *error = "no measure \"" + n + "\" in the score" + Numbering(numbers);
    return false;
  };
  for (const std::string& item : Trim(text).empty() ? std::vector<std::string>() : Items(text)) {
    if (item.empty()) {
      *error = "--measures \"" + text + "\" has an empty place between commas";
      return false;
    }
    bool single = false;
    for (size_t i = 0; i < numbers.size(); ++i)
      if (numbers[i] == item) chosen[i] = single = true;
    if (single) continue;
    size_t dash = item.find('-');
    if (dash == std::string::npos) return missing(item);
    std::string a = Trim(item.substr(0, dash)), b = Trim(item.substr(dash + 1));
    if (a.empty() && b.empty()) {
      *error = "--measures \"" + text + "\": \"-\" needs a measure on at least one side";
      return false;
    }
    // "5-" runs to the end, "-8" from the start; a number printed twice counts from its first
    // appearance to its last.
    int ia = a.empty() ? 0 : -1, ib = b.empty() ? static_cast<int>(numbers.size()) - 1 : -1;
    for (size_t i = 0; i < numbers.size(); ++i) {
      if (ia < 0 && numbers[i] == a) ia = static_cast<int>(i);
      if (!b.empty() && numbers[i] == b) ib = static_cast<int>(i);
    }
    if (ia < 0) return missing(a);
    if (ib < 0) return missing(b);
    if (ib < ia) {
      *error = "measure \"" + b + "\" comes before measure \"" + a + "\"";
      return false;
    }
    for (int i = ia; i <= ib; ++i)
      chosen[i] = true;
  }
  for (size_t i = 0; i < chosen.size(); ++i) {
    if (!chosen[i]) continue;
    size_t j = i;
    while (j + 1 < chosen.size() && chosen[j + 1])
      ++j;
    runs->push_back({static_cast<int16_t>(i + 1), static_cast<int16_t>(j + 1)});
    i = j;
  }
  return true;
}

bool PartsNamed(const std::vector<std::pair<std::string, std::string>>& idsAndNames,
                const std::string& text, std::vector<bool>* chosen, std::string* error,
                std::vector<std::string>* missing) {
  chosen->assign(idsAndNames.size(), Trim(text).empty());
  if (Trim(text).empty()) return true;
  std::vector<std::string> absent;
  for (const std::string& name : Items(text)) {
    if (name.empty()) {
      *error = "--parts \"" + text + "\" has an empty place between commas";
      return false;
    }
    bool found = false;
    for (size_t i = 0; i < idsAndNames.size(); ++i)
      if (Compared(idsAndNames[i].first) == Compared(name) ||
          Compared(idsAndNames[i].second) == Compared(name))
        (*chosen)[i] = found = true;
    if (!found) absent.push_back(name);
  }
  if (absent.empty()) return true;
  *error = "no part";
  for (size_t i = 0; i < absent.size(); ++i)
    *error += std::string(i == 0                  ? " \""
                          : i + 1 < absent.size() ? ", \""
                                                  : " or \"") +
              absent[i] + "\"";
  *error += " in the score (by id or name); its parts are";
  for (size_t i = 0; i < idsAndNames.size(); ++i)
    *error += std::string(i ? "," : "") + " " + idsAndNames[i].first +
              (idsAndNames[i].second.empty() ? "" : " (" + idsAndNames[i].second + ")");
  if (!missing) return false;
  *missing = absent;
  return true;
}
