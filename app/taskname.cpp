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

// The name's words: lower case, letters and digits apart ("drop2" is "drop" "2"), ordinal
// endings dropped and number words as digits ("Drop 2nd+4th": drop 2 4).
std::vector<std::string> Words(const std::string& name) {
  std::vector<std::string> words;
  std::string word;
  auto flush = [&] {
    bool ordinal = (word == "st" || word == "nd" || word == "rd" || word == "th") &&
                   !words.empty() && isdigit(static_cast<unsigned char>(words.back()[0]));
    for (const auto& n : kNumberWords)
      if (word == n[0]) word = n[1];
    if (!word.empty() && !ordinal) words.push_back(word);
    word.clear();
  };
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (!isalnum(c)) {
      flush();
      continue;
    }
    if (!word.empty() && (isdigit(c) != 0) != (isdigit(static_cast<unsigned char>(word[0])) != 0))
      flush();
    word += static_cast<char>(tolower(c));
  }
  flush();
  return words;
}

// Whether a word typed stands for a word of a name: the same, or its start ("sec" for
// "second", which the name holds as "2"). A number stands only for itself.
bool Starts(const std::string& typed, const std::string& word) {
  if (typed == word) return true;
  if (isdigit(static_cast<unsigned char>(typed[0]))) return false;
  if (word.compare(0, typed.size(), typed) == 0) return true;
  for (const auto& n : kNumberWords)
    if (word == n[1] && std::string(n[0]).compare(0, typed.size(), typed) == 0) return true;
  return false;
}

// Whether the words typed start the name's words from its word at.
bool StartsAt(const std::vector<std::string>& typed, const std::vector<std::string>& name,
              size_t at) {
  if (typed.empty() || at + typed.size() > name.size()) return false;
  for (size_t i = 0; i < typed.size(); ++i)
    if (!Starts(typed[i], name[at + i])) return false;
  return true;
}

} // namespace

std::string TaskKey(const std::string& name) {
  std::string key;
  for (const std::string& w : Words(name))
    key += w;
  return key;
}

int MatchTask(const std::vector<std::string>& names, const std::string& typed, std::string* error) {
  std::string key = TaskKey(typed);
  std::vector<std::string> words = Words(typed);
  std::vector<size_t> starts, inside;
  for (size_t i = 0; i < names.size() && !key.empty(); ++i) {
    std::string k = TaskKey(names[i]);
    if (k == key) return static_cast<int>(i);
    std::vector<std::string> nameWords = Words(names[i]);
    if (k.compare(0, key.size(), key) == 0 || StartsAt(words, nameWords, 0)) {
      starts.push_back(i);
      continue;
    }
    for (size_t at = 1; at < nameWords.size(); ++at)
      if (StartsAt(words, nameWords, at)) {
        inside.push_back(i);
        break;
      }
  }
  if (starts.size() == 1) return static_cast<int>(starts[0]);
  if (starts.size() > 1) {
    *error = "task \"" + typed +
             "\" could be any of these; give more of its name:" + List(names, starts);
    return -1;
  }
  // Words from inside names are offered, not taken: "2nd" is in three of them.
  if (!inside.empty()) {
    *error = "no task name starts with \"" + typed + "\"; the names with it:" + List(names, inside);
    return -1;
  }
  // Close names: a few letters off, or sharing the first word; a name or two letters long
  // is near nothing.
  std::vector<size_t> close;
  for (size_t i = 0; i < names.size() && key.size() > 2; ++i) {
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
