// Strings under operations with arbitrary indexes and counts, checked against a plain model:
// nothing is read or written outside the string, and every answer matches the model's.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "core/fcstrings.h"
#include "core/fcstring.h"
#include "fuzzcheck.h"

namespace {

typedef std::basic_string<twobyte> Units;

Units UnitsOf(FCString& s) {
  Units out;
  for (int i = 0; i < s.GetLength(); ++i)
    out.push_back(s.GetItemAt(i));
  return out;
}

// Bytes widen by sign extension.
Units Widened(const std::string& text) {
  Units out;
  for (char c : text)
    out.push_back(static_cast<twobyte>(static_cast<signed char>(c)));
  return out;
}

bool Valid(int index, const Units& model) {
  return index >= 0 && index < static_cast<int>(model.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  FCString s;
  Units model;
  while (in.remaining_bytes() > 0) {
    int index = in.ConsumeIntegral<int>();
    int count = in.ConsumeIntegral<int>();
    std::string text = in.ConsumeRandomLengthString(64);
    switch (in.ConsumeIntegralInRange(0, 13)) {
    case 0:
      s.Append(text.c_str());
      model += Widened(text.c_str());
      break;
    case 1:
      s.Append(static_cast<twobyte>(count));
      model.push_back(static_cast<twobyte>(count));
      break;
    case 2: {
      bool ok = s.DeleteCharactersAt(index, count);
      bool fits =
          Valid(index, model) && count > 0 && count <= static_cast<int>(model.size()) - index;
      FUZZ_CHECK(ok == fits);
      if (fits) model.erase(index, count);
      break;
    }
    case 3:
      s.Insert(text.c_str(), index);
      if (index >= 0 && index <= static_cast<int>(model.size()))
        model.insert(index, Widened(text.c_str()));
      break;
    case 4: {
      FCString out("x");
      bool ok = s.MakeSubString(index, count, &out);
      FUZZ_CHECK(ok == (Valid(index, model) && count >= 0));
      if (ok) FUZZ_CHECK(UnitsOf(out) == model.substr(index, count));
      break;
    }
    case 5:
      s.SetItemAt(index, static_cast<twobyte>(count));
      if (Valid(index, model)) model[index] = static_cast<twobyte>(count);
      break;
    case 6:
      FUZZ_CHECK(s.GetItemAt(index) == (Valid(index, model) ? model[index] : 0));
      break;
    case 7:
      s.IsCharacter(index, text.c_str());
      s.IsDigit(index);
      s.IsWhitespace(index);
      s.IsCharacter(index, static_cast<twobyte>(count));
      break;
    case 8:
      s.GetInteger(index);
      s.GetFloat(index);
      break;
    case 9: {
      std::string to = in.ConsumeRandomLengthString(8);
      s.Replace(text.c_str(), to.c_str());
      model = UnitsOf(s);
      break;
    }
    case 10:
      s.TrimWhitespace();
      model = UnitsOf(s);
      break;
    case 11: {
      FCStrings* rows = s.CreateStringRows();
      FCStrings* tokens = s.CreateParsedStrings(text.c_str());
      delete rows;
      delete tokens;
      break;
    }
    case 12: {
      std::vector<twobyte> copy(model.size() + 1);
      s.GetUnicodeString(copy.data());
      FUZZ_CHECK(Units(copy.data(), model.size()) == model && copy[model.size()] == 0);
      break;
    }
    default: {
      FCString other(text.c_str());
      s.StartsWith(&other);
      s.EndsWith(text.c_str());
      int position = -1;
      if (s.Contains(&other, &position))
        FUZZ_CHECK(position >= 0 && position + other.GetLength() <= s.GetLength());
      s.Append(&s); // a string appended to itself doubles
      model += model;
      break;
    }
    }
    FUZZ_CHECK(UnitsOf(s) == model);
    FUZZ_CHECK(static_cast<int>(strlen(s.GetCString())) <= s.GetLength());
    // Replace rebuilds the string for each match: long strings only slow the search down.
    if (model.size() > 256) {
      s.SetCString("");
      model.clear();
    }
  }
  return 0;
}
