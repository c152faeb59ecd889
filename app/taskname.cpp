#include "taskname.h"

#include <algorithm>
#include <cctype>

namespace {

// Number words as the digits they stand for, so that "Add Second" and "add 2nd" meet.
const char* const kNumberWords[][2] = {{"first", "1"},   {"second", "2"}, {"third", "3"},
                                       {"fourth", "4"},  {"fifth", "5"},  {"sixth", "6"},
                                       {"seventh", "7"}, {"ninth", "9"}};

size_t Distance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j)
    row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t up = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = up;
    }
  }
  return row[b.size()];
}

std::string List(const std::vector<std::string>& names, const std::vector<size_t>& which) {
  std::string s;
  for (size_t i : which)
    s += "\n  " + names[i];
  return s;
}

} // namespace

std::string TaskKey(const std::string& name) {
  std::vector<std::string> words;
  std::string word;
  auto flush = [&] {
    if (!word.empty()) words.push_back(word);
    word.clear();
  };
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (!isalnum(c)) {
      flush();
      continue;
    }
    // letters and digits are separate words: "drop2" is "drop" "2"
    if (!word.empty() && (isdigit(c) != 0) != (isdigit(static_cast<unsigned char>(word[0])) != 0))
      flush();
    word += static_cast<char>(tolower(c));
  }
  flush();
  std::string key;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    bool ordinal = (w == "st" || w == "nd" || w == "rd" || w == "th") && i > 0 &&
                   isdigit(static_cast<unsigned char>(words[i - 1][0]));
    if (ordinal) continue;
    std::string part = w;
    for (const auto& n : kNumberWords)
      if (w == n[0]) part = n[1];
    key += part;
  }
  return key;
}

int MatchTask(const std::vector<std::string>& names, const std::string& typed, std::string* error) {
  std::string key = TaskKey(typed);
  std::vector<size_t> starts;
  for (size_t i = 0; i < names.size() && !key.empty(); ++i) {
    std::string k = TaskKey(names[i]);
    if (k == key) return static_cast<int>(i);
    if (k.compare(0, key.size(), key) == 0) starts.push_back(i);
  }
  if (starts.size() == 1) return static_cast<int>(starts[0]);
  if (starts.size() > 1) {
    *error = "task \"" + typed +
             "\" could be any of these; give more of its name:" + List(names, starts);
    return -1;
  }
  // Close names: a few letters off, or sharing the first word.
  std::vector<size_t> close;
  for (size_t i = 0; i < names.size() && !key.empty(); ++i) {
    std::string k = TaskKey(names[i]);
    size_t allowed = std::max<size_t>(2, key.size() / 4);
    size_t firstWord = std::min(k.size(), key.size());
    while (firstWord > 0 && k.compare(0, firstWord, key, 0, firstWord) != 0)
      --firstWord;
    if (Distance(k, key) <= allowed || Distance(k.substr(0, key.size()), key) <= allowed / 2 ||
        firstWord >= 4)
      close.push_back(i);
  }
  if (!close.empty()) {
    *error = "no task \"" + typed + "\"; the nearest names:" + List(names, close);
    return -1;
  }
  std::vector<size_t> all;
  for (size_t i = 0; i < names.size(); ++i)
    all.push_back(i);
  *error = "no task \"" + typed + "\"; the tasks are:" + List(names, all);
  return -1;
}
