// Makes windows for tests that run against both the Win32 stand-in (natively) and the real
// window manager (32-bit build under Wine), so that both answer the same expectations.
#pragma once
#include <windows.h>

#include <cstring>
#include <vector>

#ifndef _WIN32
#include "winshim.h"
#endif

namespace testwin {

// A top-level window owned by parent, or with WS_CHILD a child of parent with this id. The
// class "Frame" is a plain window class; the others are the system's control classes.
inline HWND Make(const char* windowClass, const char* text, DWORD style, int x, int y, int width,
                 int height, HWND parent = nullptr, int id = 0) {
#ifdef _WIN32
  static bool registered = false;
  if (!registered) {
    WNDCLASSA frame = {};
    frame.lpfnWndProc = DefWindowProcA;
    frame.hInstance = GetModuleHandleA(nullptr);
    frame.lpszClassName = "QVTestFrame";
    registered = RegisterClassA(&frame) != 0;
  }
  const char* name = strcmp(windowClass, "Frame") == 0 ? "QVTestFrame" : windowClass;
  HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
  return CreateWindowExA(0, name, text, style, x, y, width, height, parent, menu,
                         GetModuleHandleA(nullptr), nullptr);
#else
  return WinShim_CreateWindow(windowClass, text, style, 0, x, y, width, height, parent, id);
#endif
}

// Destroys the top-level windows a test made, when it ends.
struct Windows {
  std::vector<HWND> made;
  HWND Top(const char* text, DWORD style, int x, int y, int width, int height,
           HWND owner = nullptr) {
    HWND h = Make("Frame", text, style, x, y, width, height, owner);
    made.push_back(h);
    return h;
  }
  ~Windows() {
    for (HWND h : made)
      if (IsWindow(h)) DestroyWindow(h);
  }
};

inline int Width(const RECT& r) {
  return r.right - r.left;
}
inline int Height(const RECT& r) {
  return r.bottom - r.top;
}
// A windowshaded window's outer height: its caption and a border above and below.
inline int ShadedHeight() {
  return GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYBORDER);
}

} // namespace testwin
