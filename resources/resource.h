// Resource identifiers shared by the plug-in's code and its .rc file.
#pragma once
#define IDD_CHORDSHAPER 20128
