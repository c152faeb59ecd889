// Text files in a folder the host names: opened, read line by line, written, closed.
#pragma once
#include <cstdio>

#include "core/fcbase.h"
#include "core/fcstring.h"

class FCStrings;
class FCSettingsPairs;

// An abstract file in a folder: the folder is the string when set, otherwise the fixed array.
class FCFileStream : public __FCBase {
public:
  FCFileStream();
  virtual ~FCFileStream();

  virtual bool OpenRead() = 0;
  virtual bool OpenWrite() = 0;

  // Folder, a backslash and the file name; always true.
  bool _MakeFullPath(FCString* path);
  // Opens the full path with the runtime's fopen in the given mode; true when it opened.
  bool OpenFile(const char* mode);
  // False when nothing is open.
  bool Close();

  bool IsOpen() const { return _pFile != nullptr; }
  // Copies a zero-terminated folder path into the fixed array, cut to fit with its terminator.
  void SetDefaultFolder(const char* folder);
  FCString* GetFolder() { return &_folder; }
  FCString* GetFileName() { return &_filename; }

protected:
  char _defaultfolder[260]; // zero-terminated 8-bit folder path; all zero when made
  FCString _folder;         // used instead of the fixed array when not empty
  FCString _filename;       // the file's name inside the folder
  FILE* _pFile;             // the open runtime stream, or null
};

// A line-oriented 8-bit text file.
class FCTextFileStream : public FCFileStream {
public:
  bool OpenRead() override;
  bool OpenWrite() override;
  // One line without its line end; null when nothing is open or at the end of the file.
  virtual FCString* ReadString(); // caller owns

  FCStrings* ReadStrings(); // caller owns; null when nothing is open
  bool WriteStrings(FCStrings* strings);
  bool WriteText(FCString* text);
  bool WriteSettingsPairs(FCSettingsPairs* pairs);
};

// The same file read as UTF-8; the line end stays in the string.
class FCTextFileUTF8Stream : public FCTextFileStream {
public:
  FCString* ReadString() override;
};
