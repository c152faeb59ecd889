// The Windows C runtime function the plug-in's settings files use that the native C library
// lacks: the case-insensitive comparison of 8-bit texts.
#pragma once

extern "C" {
// Compares two 8-bit texts with the letters A to Z equal to a to z; other bytes as they are.
// Answers less than, equal to or greater than 0, as strcmp does.
int _stricmp(const char* a, const char* b);
}
