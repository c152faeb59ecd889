// A task named as people type it: without regard to case, spaces or punctuation, "2nd" or
// "2" or "second" alike ("drop2", "drop 2", "Drop-2-4"), or by the start of its name, word by
// word ("add sec", "tr oct ch"), when only one task starts so. The names are whatever the
// plug-in's task list holds.
#pragma once
#include <string>
#include <vector>

// The name's form for comparing: lower-case words and numbers run together, ordinal endings
// and number words as digits ("Drop 2nd+4th" and "drop-2-4" both "drop24").
std::string TaskKey(const std::string& name);

// The index in names of the task typed. -1 with a message when none or several match: the
// names it starts or has in them when there are some, then the close names, else every name.
int MatchTask(const std::vector<std::string>& names, const std::string& typed, std::string* error);
