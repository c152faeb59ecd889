// Win32 stand-in for non-Windows builds: the types, constants and functions the plug-in
// calls, over an in-memory model (winshim.cpp). Only what the framework uses is here.
#pragma once
#include <cstdint>

#define WINAPI
#define CALLBACK
#define __stdcall
#define __declspec(x)

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef uint32_t UINT;
typedef int32_t LONG;
typedef intptr_t LONG_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t INT_PTR;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef char CHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef void* LPVOID;

struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
struct HWND__;
typedef HWND__* HWND;
typedef INT_PTR(WINAPI* FARPROC)();

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

extern "C" {
HMODULE GetModuleHandleA(LPCSTR name);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
}

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOW 5

extern "C" {
HWND GetDlgItem(HWND dialog, int id);
BOOL ShowWindow(HWND window, int command);
}

extern "C" {
int LoadStringA(HINSTANCE module, UINT id, LPSTR buffer, int capacity);
}

// The runtime and code-page functions of the settings files.
#include "stdlib_win.h"
