// Resource identifiers shared by the plug-in's code, its .rc file, the hosts and the tests.
#pragma once
#define IDD_CHORDSHAPER 20128

// The tool window's controls; Apply and Close have the ids of OK and Cancel.
#define IDC_APPLY 1
#define IDC_CLOSE 2
#define IDC_TASKSLABEL 101
#define IDC_TASKLIST 102
#define IDC_TOPRADIO 103
#define IDC_BOTTOMRADIO 104
#define IDC_DESCRIPTION 105
#define IDC_RESPACE 106
