// Text that came from a file or a path, made safe to print on a terminal: a score's part
// name, a measure number or a file's name cannot move the cursor, set the window's title or
// its colours. One function for everything the command prints of them.
#pragma once
#include <string>

// Control characters (C0, DEL, C1) shown as \xNN (a C1 character as \u00NN), and so a whole
// escape sequence as harmless text, as are bytes that are not UTF-8; lines keeps line breaks,
// for a message or a list of several lines.
std::string Printable(const std::string& text, bool lines = false);
