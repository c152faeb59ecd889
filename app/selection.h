// What the user asked to change, in the file's own terms: the measures as the score prints
// their numbers ("5", "5-", "-8", "3-8", lists "1,3,5-8") and the parts by id or name
// ("P1, Bass"). Turned into host measures and parts for the job; a message when a name or a
// number is not in the score.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The runs of host measures (1-based, first and last) that the text selects among the
// measures numbered as given, in score order with overlaps merged; all measures when the
// text is empty. False with a message saying what is wrong with the text.
bool MeasureRuns(const std::vector<std::string>& numbers, const std::string& text,
                 std::vector<std::pair<int16_t, int16_t>>* runs, std::string* error);

// Which parts the text names, by id or name, separated by commas, spaces around each name
// ignored; every part when the text is empty. False with a message naming what is not there;
// given missing, a name the score lacks is put there (and in the message) instead, and only
// a wrong list is false.
bool PartsNamed(const std::vector<std::pair<std::string, std::string>>& idsAndNames,
                const std::string& text, std::vector<bool>* chosen, std::string* error,
                std::vector<std::string>* missing = nullptr);

// Whether a part (by index) and a host measure are both chosen, as PartsNamed chose the parts
// and the measures are marked by number (0 unused).
inline bool Selected(const std::vector<bool>& parts, const std::vector<bool>& measures,
                     size_t part, int measure) {
  return part < parts.size() && parts[part] && measure >= 1 &&
         static_cast<size_t>(measure) < measures.size() && measures[measure];
}
