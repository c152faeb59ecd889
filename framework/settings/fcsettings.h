// Key/value settings and the look-up in the shared plug-in settings files.
#pragma once
#include "core/fcbase.h"
#include "core/fccollection.h"
#include "core/fcstring.h"

// One setting: a key and its value.
class FCSettingsPair : public __FCBase {
public:
  FCSettingsPair() {}
  // Copies both texts; each grows once to its full length (a value may be megabytes long).
  FCSettingsPair(FCString* key, FCString* value) {
    _key.Append(key);
    _value.Append(value);
  }
  FCString* GetKey() { return &_key; }
  FCString* GetValue() { return &_value; }

private:
  FCString _key;   // the name before the first "=", trimmed
  FCString _value; // everything after the first "=", trimmed
};

// An owning list of settings in file order.
class FCSettingsPairs : public __FCCollection {
public:
  const char* ClassName() override { return "FCSettingsPairs"; }
  FCSettingsPair* GetItemAt(int index) const {
    return static_cast<FCSettingsPair*>(__FCCollection::GetItemAt(index));
  }
  // Adds the setting a line holds; false (nothing added) for a line that holds none.
  bool AddFromLine(FCString* line);
  // The first pair whose key equals the given one without regard to letter case, or null.
  FCSettingsPair* Find(const char* key) const;
};

// Splits a settings line at its first "="; false for a line without one or starting with it.
bool ParseSettingsLine(FCString* line, FCString* key, FCString* value);

// The first setting named key in "qvpluginprefs.txt" (prefs true) or "qvpluginoptions.txt"
// (prefs false) in the host's folder; a new pair the caller deletes, or null.
FCSettingsPair* LoadQVOptionsPair(FCString* key, bool prefs);
