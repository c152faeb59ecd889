#include "fcsettings.h"

#include <cstring>

#include "core/finaleversion.h"
#include "fcfilestream.h"
#include "fxbridge.h"

namespace {

// Sets out to count units of line from start. The string grows once to the full length and
// then takes every unit, so a value of megabytes is copied in linear time.
void CopyUnits(FCString* line, int start, int count, FCString* out) {
  out->SetCString("");
  if (count <= 0) return;
  char* placeholder = new char[count + 1];
  memset(placeholder, 'x', count);
  placeholder[count] = 0;
  out->Append(placeholder);
  delete[] placeholder;
  for (int i = 0; i < count; ++i)
    out->SetItemAt(i, line->GetItemAt(start + i));
}

} // namespace

bool ParseSettingsLine(FCString* line, FCString* key, FCString* value) {
  if (!line || !key || !value) return false;
  int length = line->GetLength();
  int equals = -1;
  for (int i = 0; i < length; ++i) {
    if (line->GetItemAt(i) == '=') {
      equals = i;
      break;
    }
  }
  if (equals <= 0) return false;
  CopyUnits(line, 0, equals, key);
  CopyUnits(line, equals + 1, length - equals - 1, value);
  key->TrimWhitespace();
  value->TrimWhitespace();
  return true;
}

bool FCSettingsPairs::AddFromLine(FCString* line) {
  FCString key, value;
  if (!ParseSettingsLine(line, &key, &value)) return false;
  Add(new FCSettingsPair(&key, &value));
  return true;
}

FCSettingsPair* FCSettingsPairs::Find(const char* key) const {
  if (!key) return nullptr;
  for (int i = 0; i < GetCount(); ++i) {
    FCSettingsPair* pair = GetItemAt(i);
    if (pair && _stricmp(pair->GetKey()->GetCString(), key) == 0) return pair;
  }
  return nullptr;
}

FCSettingsPair* LoadQVOptionsPair(FCString* key, bool prefs) {
  // Newer hosts keep the shared plug-in files under another folder kind.
  fourbyte kind = GetFinaleFrameworkVersion() < 0x10000000 ? 7 : 15;
  char folder[260];
  memset(folder, 0, sizeof folder);
  FX_GetFinalePath(kind, folder);
  folder[sizeof folder - 1] = 0; // the host's answer is not trusted to end within the buffer

  if (!key) return nullptr;
  FCTextFileStream stream;
  stream.SetDefaultFolder(folder);
  stream.GetFileName()->SetCString(prefs ? "qvpluginprefs.txt" : "qvpluginoptions.txt");
  if (!stream.OpenRead()) return nullptr;

  // Lines are parsed one at a time and the look-up ends at the first setting of the key, which
  // wins anyway: a file of any size is looked through in linear time, holding one line.
  FCString wanted;
  wanted.Append(key);
  const char* wantedkey = wanted.GetCString();
  FCSettingsPair* result = nullptr;
  while (!result) {
    FCString* line = stream.ReadString();
    if (!line) break;
    FCString linekey, linevalue;
    if (ParseSettingsLine(line, &linekey, &linevalue) &&
        _stricmp(linekey.GetCString(), wantedkey) == 0)
      result = new FCSettingsPair(&linekey, &linevalue);
    delete line;
  }
  stream.Close();
  return result;
}
