#include "winshim.h"
#include "commctrl.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <strings.h>
#include <vector>

namespace {

// ---- Modules --------------------------------------------------------------------------------
struct Module {
  std::map<std::string, void*> procs; // exported name -> address
};

struct CaseLess {
  bool operator()(const std::string& a, const std::string& b) const {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  }
};

std::map<std::string, std::unique_ptr<Module>, CaseLess>& Modules() {
  static std::map<std::string, std::unique_ptr<Module>, CaseLess> modules;
  return modules;
}

int moduleLookups = 0;
std::map<std::string, int>& ProcLookups() {
  static std::map<std::string, int> counts;
  return counts;
}

// ---- Windows --------------------------------------------------------------------------------
struct Window {
  std::string windowClass;    // class name as made
  std::string text;           // window text (caption of a top-level window)
  DWORD style = 0;            // WS_VISIBLE and WS_DISABLED are visibility and enabled state
  DWORD exStyle = 0;          // extended style, kept only
  HWND parent = nullptr;      // child: its parent; top-level: its owner
  int id = 0;                 // dialog item id
  RECT rect = {0, 0, 0, 0};   // outer: parent's client coordinates (child) or screen
  std::vector<HWND> children; // child windows in creation order
  bool destroying = false;    // DestroyWindow has begun
  WinShimHandler handler = nullptr;
  void* handlerData = nullptr;
  int check = BST_UNCHECKED;        // buttons
  std::vector<std::string> rows;    // list and combo boxes
  int cursel = -1;                  // list and combo boxes
  int selStart = 0, selEnd = 0;     // edit controls
  int textLimit = 30000;            // edit controls
  int rangeMin = 100, rangeMax = 0; // up-down controls
};

std::map<uintptr_t, std::unique_ptr<Window>>& Windows() {
  static std::map<uintptr_t, std::unique_ptr<Window>> windows;
  return windows;
}
// Handles are never reused, so a stale handle finds no window.
uintptr_t nextWindow = 0x10010;
HWND activeWindow = nullptr;

Window* Find(HWND handle) {
  auto it = Windows().find(reinterpret_cast<uintptr_t>(handle));
  return it == Windows().end() ? nullptr : it->second.get();
}

bool IsChild(const Window& w) {
  return (w.style & WS_CHILD) != 0;
}

bool ClassIs(const Window& w, const char* name) {
  return strcasecmp(w.windowClass.c_str(), name) == 0;
}

// Sends a message to a window's handler, if it has one. Nothing of the window is held across
// the call: the handler may change or destroy it.
LRESULT Notify(HWND handle, UINT message, WPARAM wparam, LPARAM lparam) {
  Window* w = Find(handle);
  if (!w || !w->handler) return 0;
  WinShimHandler handler = w->handler;
  void* data = w->handlerData;
  return handler(data, handle, message, wparam, lparam);
}

// ---- System metrics -------------------------------------------------------------------------
std::map<int, int> DefaultMetrics() {
  return {{SM_CXSCREEN, 1024},     {SM_CYSCREEN, 768},     {SM_CXVSCROLL, 16},
          {SM_CYHSCROLL, 16},      {SM_CYCAPTION, 19},     {SM_CXBORDER, 1},
          {SM_CYBORDER, 1},        {SM_CXDLGFRAME, 3},     {SM_CYDLGFRAME, 3},
          {SM_CXFULLSCREEN, 1024}, {SM_CYFULLSCREEN, 719}, {SM_CXFRAME, 4},
          {SM_CYFRAME, 4},         {SM_CXMINTRACK, 112},   {SM_CYMINTRACK, 27},
          {SM_CXMAXTRACK, 1032},   {SM_CYMAXTRACK, 776}};
}
std::map<int, int>& Metrics() {
  static std::map<int, int> metrics = DefaultMetrics();
  return metrics;
}
int Metric(int index) {
  auto it = Metrics().find(index);
  return it == Metrics().end() ? 0 : it->second;
}

// ---- Geometry -------------------------------------------------------------------------------
// How far the client area of a window with this style lies inside its outer rectangle on each
// side, for its frame and caption.
RECT FrameInsets(DWORD style) {
  int fx = 0, fy = 0;
  if (style & WS_THICKFRAME) {
    fx = Metric(SM_CXFRAME);
    fy = Metric(SM_CYFRAME);
  } else if (style & WS_DLGFRAME) {
    fx = Metric(SM_CXDLGFRAME);
    fy = Metric(SM_CYDLGFRAME);
  } else if (style & WS_BORDER) {
    fx = Metric(SM_CXBORDER);
    fy = Metric(SM_CYBORDER);
  }
  int caption = (style & WS_CAPTION) == WS_CAPTION ? Metric(SM_CYCAPTION) : 0;
  return {fx, fy + caption, fx, fy};
}

// The same with the scroll bars the window has.
RECT Insets(const Window& w) {
  RECT in = FrameInsets(w.style);
  if (w.style & WS_VSCROLL) in.right += Metric(SM_CXVSCROLL);
  if (w.style & WS_HSCROLL) in.bottom += Metric(SM_CYHSCROLL);
  return in;
}

int Width(const RECT& r) {
  return r.right - r.left;
}
int Height(const RECT& r) {
  return r.bottom - r.top;
}

POINT ClientSize(const Window& w) {
  RECT in = Insets(w);
  return {std::max(0, Width(w.rect) - in.left - in.right),
          std::max(0, Height(w.rect) - in.top - in.bottom)};
}

POINT ClientOrigin(const Window& w);

RECT ScreenRect(const Window& w) {
  RECT r = w.rect;
  const Window* parent = IsChild(w) ? Find(w.parent) : nullptr;
  if (parent) {
    POINT origin = ClientOrigin(*parent);
    r.left += origin.x;
    r.right += origin.x;
    r.top += origin.y;
    r.bottom += origin.y;
  }
  return r;
}

POINT ClientOrigin(const Window& w) {
  RECT screen = ScreenRect(w);
  RECT in = Insets(w);
  return {screen.left + in.left, screen.top + in.top};
}

// ---- Activation -----------------------------------------------------------------------------
// Makes a window (or none) the active one: the old one hears WA_INACTIVE, the new one WA_ACTIVE.
HWND Activate(HWND handle) {
  HWND previous = activeWindow;
  if (handle == previous) return previous;
  activeWindow = handle;
  if (previous) Notify(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(handle));
  if (handle && activeWindow == handle)
    Notify(handle, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
  return previous;
}

// The window to activate when an active window goes: its owner, when that is still there.
HWND Successor(const Window& w) {
  const Window* owner = IsChild(w) ? nullptr : Find(w.parent);
  return owner && !owner->destroying ? w.parent : nullptr;
}

// ---- Placement ------------------------------------------------------------------------------
int directPlacements = 0;
int batchesApplied = 0;
int lastBatchSize = 0;

// Moves and sizes as SetWindowPos does: a window with a sizing frame (or an overlapped one)
// asks its handler for its tracking limits and is kept within them; a changed client size is
// reported with WM_SIZE; without SWP_NOACTIVATE a top-level window becomes active.
BOOL Place(HWND handle, int x, int y, int cx, int cy, UINT flags) {
  Window* w = Find(handle);
  if (!w) return FALSE;
  int left = (flags & SWP_NOMOVE) ? w->rect.left : x;
  int top = (flags & SWP_NOMOVE) ? w->rect.top : y;
  int width = (flags & SWP_NOSIZE) ? Width(w->rect) : std::max(0, cx);
  int height = (flags & SWP_NOSIZE) ? Height(w->rect) : std::max(0, cy);
  if (!(flags & SWP_NOSIZE) &&
      ((w->style & WS_THICKFRAME) || !(w->style & (WS_POPUP | WS_CHILD)))) {
    MINMAXINFO info = {};
    RECT in = Insets(*w);
    info.ptMaxSize = {Metric(SM_CXSCREEN) + 2 * in.left, Metric(SM_CYSCREEN) + 2 * in.left};
    info.ptMaxPosition = {-in.left, -in.left};
    info.ptMinTrackSize = {Metric(SM_CXMINTRACK), Metric(SM_CYMINTRACK)};
    info.ptMaxTrackSize = {Metric(SM_CXMAXTRACK), Metric(SM_CYMAXTRACK)};
    Notify(handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    w = Find(handle);
    if (!w) return FALSE;
    info.ptMaxTrackSize.x = std::max(info.ptMaxTrackSize.x, info.ptMinTrackSize.x);
    info.ptMaxTrackSize.y = std::max(info.ptMaxTrackSize.y, info.ptMinTrackSize.y);
    width = std::max(std::min(width, static_cast<int>(info.ptMaxTrackSize.x)),
                     static_cast<int>(info.ptMinTrackSize.x));
    height = std::max(std::min(height, static_cast<int>(info.ptMaxTrackSize.y)),
                      static_cast<int>(info.ptMinTrackSize.y));
  }
  POINT oldClient = ClientSize(*w);
  w->rect = {left, top, left + width, top + height};
  if (flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
  if (flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
  POINT client = ClientSize(*w);
  bool topLevel = !IsChild(*w);
  if (client.x != oldClient.x || client.y != oldClient.y)
    Notify(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.x, client.y));
  if (topLevel && !(flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)) && IsWindowVisible(handle))
    Activate(handle);
  return TRUE;
}

struct BatchEntry {
  HWND window;
  int x, y, cx, cy;
  UINT flags;
};
struct Batch {
  std::vector<BatchEntry> entries;
  int defers = 0; // DeferWindowPos calls on this batch
};
std::map<uintptr_t, Batch>& Batches() {
  static std::map<uintptr_t, Batch> batches;
  return batches;
}
uintptr_t nextBatch = 0x70010;
int failDeferStep = -1;

// ---- Lists ----------------------------------------------------------------------------------
// Inserts a row; index -1 appends, sorted lists find their own place. Answers the row's index
// or -1 when the index lies beyond the end.
int InsertRow(Window& w, int index, const char* text, bool sorted) {
  if (!text) return -1;
  int count = static_cast<int>(w.rows.size());
  if (sorted) {
    index = 0;
    while (index < count && strcasecmp(w.rows[index].c_str(), text) <= 0)
      ++index;
  } else if (index == -1) {
    index = count;
  } else if (index < 0 || index > count) {
    return -1;
  }
  w.rows.insert(w.rows.begin() + index, text);
  if (w.cursel >= index) ++w.cursel;
  return index;
}

int DeleteRow(Window& w, int index) {
  if (index < 0 || index >= static_cast<int>(w.rows.size())) return -1;
  w.rows.erase(w.rows.begin() + index);
  if (w.cursel == index)
    w.cursel = -1;
  else if (w.cursel > index)
    --w.cursel;
  return static_cast<int>(w.rows.size());
}

int CopyRow(const Window& w, int index, char* buffer) {
  if (index < 0 || index >= static_cast<int>(w.rows.size()) || !buffer) return -1;
  const std::string& row = w.rows[index];
  memcpy(buffer, row.c_str(), row.size() + 1);
  return static_cast<int>(row.size());
}

int RowLength(const Window& w, int index) {
  if (index < 0 || index >= static_cast<int>(w.rows.size())) return -1;
  return static_cast<int>(w.rows[index].size());
}

LRESULT ListBoxMessage(Window& w, UINT message, WPARAM wparam, LPARAM lparam, bool* handled) {
  int index = static_cast<int>(wparam);
  const char* text = reinterpret_cast<const char*>(lparam);
  *handled = true;
  switch (message) {
  case LB_ADDSTRING:
    return InsertRow(w, -1, text, (w.style & LBS_SORT) != 0);
  case LB_INSERTSTRING:
    return InsertRow(w, index, text, false);
  case LB_DELETESTRING:
    return DeleteRow(w, index);
  case LB_RESETCONTENT:
    w.rows.clear();
    w.cursel = -1;
    return TRUE;
  case LB_SETCURSEL:
    if (index < -1 || index >= static_cast<int>(w.rows.size())) return LB_ERR;
    w.cursel = index;
    return w.cursel;
  case LB_GETCURSEL:
    return w.cursel;
  case LB_GETTEXT:
    return CopyRow(w, index, reinterpret_cast<char*>(lparam));
  case LB_GETTEXTLEN:
    return RowLength(w, index);
  case LB_GETCOUNT:
    return static_cast<LRESULT>(w.rows.size());
  }
  *handled = false;
  return 0;
}

LRESULT ComboBoxMessage(Window& w, UINT message, WPARAM wparam, LPARAM lparam, bool* handled) {
  int index = static_cast<int>(wparam);
  const char* text = reinterpret_cast<const char*>(lparam);
  *handled = true;
  switch (message) {
  case CB_ADDSTRING:
    return InsertRow(w, -1, text, (w.style & CBS_SORT) != 0);
  case CB_INSERTSTRING:
    return InsertRow(w, index, text, false);
  case CB_DELETESTRING:
    return DeleteRow(w, index);
  case CB_RESETCONTENT:
    w.rows.clear();
    w.cursel = -1;
    return CB_OKAY;
  case CB_SETCURSEL: // a combo box clears its selection for an index it does not have
    w.cursel = (index >= 0 && index < static_cast<int>(w.rows.size())) ? index : -1;
    return w.cursel;
  case CB_GETCURSEL:
    return w.cursel;
  case CB_GETLBTEXT:
    return CopyRow(w, index, reinterpret_cast<char*>(lparam));
  case CB_GETLBTEXTLEN:
    return RowLength(w, index);
  case CB_GETCOUNT:
    return static_cast<LRESULT>(w.rows.size());
  }
  *handled = false;
  return 0;
}

// ---- Other controls -------------------------------------------------------------------------
// The highest check state a button of this style can show.
int MaxCheck(DWORD style) {
  switch (style & BS_TYPEMASK) {
  case BS_CHECKBOX:
  case BS_AUTOCHECKBOX:
  case BS_RADIOBUTTON:
  case BS_AUTORADIOBUTTON:
    return BST_CHECKED;
  case BS_3STATE:
  case BS_AUTO3STATE:
    return BST_INDETERMINATE;
  default:
    return BST_UNCHECKED;
  }
}

LRESULT EditMessage(Window& w, UINT message, WPARAM wparam, LPARAM lparam, bool* handled) {
  *handled = true;
  int length = static_cast<int>(w.text.size());
  switch (message) {
  case EM_SETSEL: {
    int start = static_cast<int>(wparam), end = static_cast<int>(lparam);
    if (start == -1) { // removes the selection
      w.selStart = w.selEnd = std::min(w.selEnd, length);
      return 0;
    }
    if (end < 0 || end > length) end = length;
    start = std::max(0, std::min(start, length));
    w.selStart = std::min(start, end);
    w.selEnd = std::max(start, end);
    return 0;
  }
  case EM_GETSEL:
    if (wparam) *reinterpret_cast<DWORD*>(wparam) = static_cast<DWORD>(w.selStart);
    if (lparam) *reinterpret_cast<DWORD*>(lparam) = static_cast<DWORD>(w.selEnd);
    return MAKELRESULT(w.selStart, w.selEnd);
  case EM_LIMITTEXT:
    w.textLimit = wparam ? static_cast<int>(wparam) : 0x7FFFFFFE;
    return 0;
  case EM_GETLIMITTEXT:
    return w.textLimit;
  case EM_SETREADONLY:
    if (wparam)
      w.style |= ES_READONLY;
    else
      w.style &= ~ES_READONLY;
    return TRUE;
  }
  *handled = false;
  return 0;
}

LRESULT UpDownMessage(Window& w, UINT message, LPARAM lparam, bool* handled) {
  *handled = true;
  switch (message) {
  case UDM_SETRANGE:
    w.rangeMax = static_cast<int16_t>(LOWORD(lparam));
    w.rangeMin = static_cast<int16_t>(HIWORD(lparam));
    return 0;
  case UDM_GETRANGE:
    return MAKELRESULT(w.rangeMax, w.rangeMin);
  }
  *handled = false;
  return 0;
}

// ---- Sounds and message boxes ---------------------------------------------------------------
std::map<UINT, int>& BeepsPlayed() {
  static std::map<UINT, int> played;
  return played;
}
std::set<UINT>& FailingBeeps() {
  static std::set<UINT> failing;
  return failing;
}
int beepCalls = 0;

int messageBoxAnswer = 0;
int messageBoxCount = 0;
std::string& LastBoxText() {
  static std::string text;
  return text;
}
std::string& LastBoxCaption() {
  static std::string caption;
  return caption;
}
UINT lastBoxType = 0;
HWND lastBoxOwner = nullptr;

// ---- UTF-8 ----------------------------------------------------------------------------------
// Decodes one code point from s[0..n). Answers the number of bytes taken; an ill-formed
// sequence gives U+FFFD for its longest well-formed start (at least one byte) and *bad.
int DecodeUtf8(const unsigned char* s, int n, uint32_t* cp, bool* bad) {
  *bad = false;
  unsigned char b = s[0];
  if (b < 0x80) {
    *cp = b;
    return 1;
  }
  int need;
  uint32_t value;
  unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
  if (b >= 0xC2 && b <= 0xDF) {
    need = 1;
    value = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    need = 2;
    value = b & 0x0F;
    if (b == 0xE0) lo = 0xA0;
    if (b == 0xED) hi = 0x9F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    need = 3;
    value = b & 0x07;
    if (b == 0xF0) lo = 0x90;
    if (b == 0xF4) hi = 0x8F;
  } else {
    *cp = 0xFFFD;
    *bad = true;
    return 1;
  }
  int taken = 1;
  for (int i = 0; i < need; ++i) {
    if (taken >= n) break;
    unsigned char c = s[taken];
    unsigned char min = i == 0 ? lo : 0x80, max = i == 0 ? hi : 0xBF;
    if (c < min || c > max) break;
    value = (value << 6) | (c & 0x3F);
    ++taken;
  }
  if (taken != need + 1) {
    *cp = 0xFFFD;
    *bad = true;
    return taken;
  }
  *cp = value;
  return taken;
}

} // namespace

extern "C" {

// ---- Modules --------------------------------------------------------------------------------
HMODULE WinShim_RegisterModule(const char* name) {
  std::unique_ptr<Module>& m = Modules()[name];
  if (!m) m.reset(new Module);
  return reinterpret_cast<HMODULE>(m.get());
}

void WinShim_UnregisterModule(const char* name) {
  Modules().erase(name);
}

void WinShim_RegisterProc(HMODULE module, const char* name, void* proc) {
  if (module) reinterpret_cast<Module*>(module)->procs[name] = proc;
}

void WinShim_RemoveProc(HMODULE module, const char* name) {
  if (module) reinterpret_cast<Module*>(module)->procs.erase(name);
}

int WinShim_ModuleLookups(void) {
  return moduleLookups;
}

int WinShim_ProcLookups(const char* name) {
  auto it = ProcLookups().find(name);
  return it == ProcLookups().end() ? 0 : it->second;
}

void WinShim_ResetCounters(void) {
  moduleLookups = 0;
  ProcLookups().clear();
  BeepsPlayed().clear();
  beepCalls = 0;
  messageBoxCount = 0;
  LastBoxText().clear();
  LastBoxCaption().clear();
  lastBoxType = 0;
  lastBoxOwner = nullptr;
  batchesApplied = 0;
  lastBatchSize = 0;
  directPlacements = 0;
}

HMODULE GetModuleHandleA(LPCSTR name) {
  ++moduleLookups;
  if (!name) return nullptr;
  auto it = Modules().find(name);
  return it == Modules().end() ? nullptr : reinterpret_cast<HMODULE>(it->second.get());
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  if (!name) return nullptr;
  ++ProcLookups()[name];
  if (!module) return nullptr;
  auto& procs = reinterpret_cast<Module*>(module)->procs;
  auto it = procs.find(name);
  return it == procs.end() ? nullptr : reinterpret_cast<FARPROC>(it->second);
}

// ---- Test control of the window model -------------------------------------------------------
HWND WinShim_CreateWindow(const char* windowClass, const char* text, DWORD style, DWORD exStyle,
                          int x, int y, int width, int height, HWND parent, int id) {
  Window* parentWindow = parent ? Find(parent) : nullptr;
  if ((style & WS_CHILD) ? !parentWindow : (parent && !parentWindow)) return nullptr;
  std::unique_ptr<Window> w(new Window);
  w->windowClass = windowClass ? windowClass : "";
  w->text = text ? text : "";
  w->style = style;
  w->exStyle = exStyle;
  w->parent = parent;
  w->id = id;
  w->rect = {x, y, x + std::max(0, width), y + std::max(0, height)};
  HWND handle = reinterpret_cast<HWND>(nextWindow);
  nextWindow += 4;
  Windows()[reinterpret_cast<uintptr_t>(handle)] = std::move(w);
  if (style & WS_CHILD) parentWindow->children.push_back(handle);
  return handle;
}

void WinShim_SetHandler(HWND window, WinShimHandler handler, void* data) {
  if (Window* w = Find(window)) {
    w->handler = handler;
    w->handlerData = data;
  }
}

const char* WinShim_WindowClass(HWND window) {
  Window* w = Find(window);
  return w ? w->windowClass.c_str() : "";
}

int WinShim_WindowCount(void) {
  return static_cast<int>(Windows().size());
}

void WinShim_SetSystemMetric(int index, int value) {
  Metrics()[index] = value;
}

void WinShim_FailDeferStep(int step) {
  failDeferStep = step;
}
int WinShim_BatchesApplied(void) {
  return batchesApplied;
}
int WinShim_LastBatchSize(void) {
  return lastBatchSize;
}
int WinShim_SetWindowPosCalls(void) {
  return directPlacements;
}

int WinShim_BeepsPlayed(UINT type) {
  auto it = BeepsPlayed().find(type);
  return it == BeepsPlayed().end() ? 0 : it->second;
}
int WinShim_BeepCalls(void) {
  return beepCalls;
}
void WinShim_FailBeep(UINT type, BOOL fail) {
  if (fail)
    FailingBeeps().insert(type);
  else
    FailingBeeps().erase(type);
}

void WinShim_SetMessageBoxAnswer(int answer) {
  messageBoxAnswer = answer;
}
int WinShim_MessageBoxCount(void) {
  return messageBoxCount;
}
const char* WinShim_LastMessageBoxText(void) {
  return LastBoxText().c_str();
}
const char* WinShim_LastMessageBoxCaption(void) {
  return LastBoxCaption().c_str();
}
UINT WinShim_LastMessageBoxType(void) {
  return lastBoxType;
}
HWND WinShim_LastMessageBoxOwner(void) {
  return lastBoxOwner;
}

void WinShim_Reset(void) {
  Windows().clear();
  Batches().clear();
  activeWindow = nullptr;
  Metrics() = DefaultMetrics();
  failDeferStep = -1;
  FailingBeeps().clear();
  messageBoxAnswer = 0;
  WinShim_ResetCounters();
}

// ---- Windows --------------------------------------------------------------------------------
BOOL IsWindow(HWND window) {
  return Find(window) != nullptr;
}

BOOL DestroyWindow(HWND window) {
  Window* w = Find(window);
  if (!w || w->destroying) return FALSE;
  // The window, its children and the windows it owns, parents before their children.
  std::vector<HWND> doomed = {window};
  for (size_t i = 0; i < doomed.size(); ++i)
    for (auto& entry : Windows())
      if (entry.second->parent == doomed[i] && !entry.second->destroying) {
        HWND h = reinterpret_cast<HWND>(entry.first);
        if (std::find(doomed.begin(), doomed.end(), h) == doomed.end()) doomed.push_back(h);
      }
  for (HWND h : doomed)
    Find(h)->destroying = true;
  if (std::find(doomed.begin(), doomed.end(), activeWindow) != doomed.end())
    Activate(Successor(*w));
  for (HWND h : doomed)
    Notify(h, WM_DESTROY, 0, 0);
  w = Find(window);
  if (w && IsChild(*w))
    if (Window* parent = Find(w->parent)) {
      auto& siblings = parent->children;
      siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    }
  for (HWND h : doomed)
    Windows().erase(reinterpret_cast<uintptr_t>(h));
  if (std::find(doomed.begin(), doomed.end(), activeWindow) != doomed.end()) activeWindow = nullptr;
  return TRUE;
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
  Window* w = Find(window);
  if (!w || !rect) return FALSE;
  *rect = ScreenRect(*w);
  return TRUE;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
  Window* w = Find(window);
  if (!w || !rect) return FALSE;
  POINT size = ClientSize(*w);
  *rect = {0, 0, size.x, size.y};
  return TRUE;
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL, DWORD) {
  if (!rect) return FALSE;
  RECT in = FrameInsets(style);
  rect->left -= in.left;
  rect->top -= in.top;
  rect->right += in.right;
  rect->bottom += in.bottom;
  return TRUE;
}

BOOL ScreenToClient(HWND window, LPPOINT point) {
  Window* w = Find(window);
  if (!w || !point) return FALSE;
  POINT origin = ClientOrigin(*w);
  point->x -= origin.x;
  point->y -= origin.y;
  return TRUE;
}

BOOL SetWindowPos(HWND window, HWND, int x, int y, int cx, int cy, UINT flags) {
  if (!Find(window)) return FALSE;
  ++directPlacements;
  return Place(window, x, y, cx, cy, flags);
}

HDWP BeginDeferWindowPos(int count) {
  if (count < 0 || failDeferStep == 0) return nullptr;
  uintptr_t handle = nextBatch;
  nextBatch += 4;
  Batches()[handle] = Batch();
  return reinterpret_cast<HDWP>(handle);
}

HDWP DeferWindowPos(HDWP batch, HWND window, HWND, int x, int y, int cx, int cy, UINT flags) {
  auto it = Batches().find(reinterpret_cast<uintptr_t>(batch));
  if (it == Batches().end()) return nullptr;
  ++it->second.defers;
  if (!Find(window) || it->second.defers == failDeferStep) {
    Batches().erase(it); // a failed batch is gone, nothing of it is applied
    return nullptr;
  }
  it->second.entries.push_back({window, x, y, cx, cy, flags});
  return batch;
}

BOOL EndDeferWindowPos(HDWP batch) {
  auto it = Batches().find(reinterpret_cast<uintptr_t>(batch));
  if (it == Batches().end()) return FALSE;
  std::vector<BatchEntry> entries = std::move(it->second.entries);
  Batches().erase(it);
  for (const BatchEntry& e : entries)
    Place(e.window, e.x, e.y, e.cx, e.cy, e.flags);
  ++batchesApplied;
  lastBatchSize = static_cast<int>(entries.size());
  return TRUE;
}

BOOL ShowWindow(HWND window, int command) {
  Window* w = Find(window);
  if (!w) return FALSE;
  bool was = (w->style & WS_VISIBLE) != 0;
  bool show = command != SW_HIDE;
  if (show != was) {
    Notify(window, WM_SHOWWINDOW, show, 0); // told before it changes, as Windows does
    w = Find(window);
    if (!w) return was;
    if (show)
      w->style |= WS_VISIBLE;
    else
      w->style &= ~WS_VISIBLE;
  }
  if (IsChild(*w)) return was;
  if (!show && activeWindow == window) {
    Activate(Successor(*w));
  } else if (show && command != SW_SHOWNOACTIVATE && command != SW_SHOWNA &&
             command != SW_MINIMIZE && command != SW_SHOWMINNOACTIVE) {
    Activate(window);
  }
  return was;
}

BOOL IsWindowVisible(HWND window) {
  for (Window* w = Find(window); w; w = Find(w->parent)) {
    if (!(w->style & WS_VISIBLE)) return FALSE;
    if (!IsChild(*w)) return TRUE;
  }
  return FALSE;
}

BOOL EnableWindow(HWND window, BOOL enable) {
  Window* w = Find(window);
  if (!w) return FALSE;
  BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
  if (enable)
    w->style &= ~WS_DISABLED;
  else
    w->style |= WS_DISABLED;
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND window) {
  Window* w = Find(window);
  return w && !(w->style & WS_DISABLED);
}

HWND SetActiveWindow(HWND window) {
  if (window) {
    Window* w = Find(window);
    if (!w) return nullptr;
    if (IsChild(*w)) return activeWindow; // only top-level windows can be active
  }
  return Activate(window);
}

HWND GetActiveWindow(void) {
  return activeWindow;
}

LONG GetWindowLongA(HWND window, int index) {
  Window* w = Find(window);
  if (!w) return 0;
  switch (index) {
  case GWL_STYLE:
    return static_cast<LONG>(w->style);
  case GWL_EXSTYLE:
    return static_cast<LONG>(w->exStyle);
  case GWL_ID:
    return w->id;
  }
  return 0;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
  Window* w = Find(window);
  if (!w) return FALSE;
  w->text = text ? text : "";
  return TRUE;
}

int GetWindowTextA(HWND window, LPSTR buffer, int capacity) {
  if (!buffer || capacity <= 0) return 0;
  buffer[0] = 0;
  Window* w = Find(window);
  if (!w) return 0;
  int n = std::min(static_cast<int>(w->text.size()), capacity - 1);
  memcpy(buffer, w->text.data(), n);
  buffer[n] = 0;
  return n;
}

int GetWindowTextLengthA(HWND window) {
  Window* w = Find(window);
  return w ? static_cast<int>(w->text.size()) : 0;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Window* w = Find(window);
  if (!w) return 0;
  switch (message) {
  case WM_SETTEXT:
    return SetWindowTextA(window, reinterpret_cast<LPCSTR>(lparam));
  case WM_GETTEXT:
    return GetWindowTextA(window, reinterpret_cast<LPSTR>(lparam), static_cast<int>(wparam));
  case WM_GETTEXTLENGTH:
    return GetWindowTextLengthA(window);
  }
  bool handled = false;
  LRESULT result = 0;
  if (ClassIs(*w, "Button")) {
    if (message == BM_GETCHECK) return w->check;
    if (message == BM_SETCHECK) {
      w->check = wparam > static_cast<WPARAM>(MaxCheck(w->style)) ? MaxCheck(w->style)
                                                                  : static_cast<int>(wparam);
      return 0;
    }
  } else if (ClassIs(*w, "ListBox")) {
    result = ListBoxMessage(*w, message, wparam, lparam, &handled);
  } else if (ClassIs(*w, "ComboBox")) {
    result = ComboBoxMessage(*w, message, wparam, lparam, &handled);
  } else if (ClassIs(*w, "Edit")) {
    result = EditMessage(*w, message, wparam, lparam, &handled);
  } else if (ClassIs(*w, "msctls_updown32")) {
    result = UpDownMessage(*w, message, lparam, &handled);
  }
  return handled ? result : Notify(window, message, wparam, lparam);
}

int GetSystemMetrics(int index) {
  return Metric(index);
}

// ---- Dialog items ---------------------------------------------------------------------------
HWND GetDlgItem(HWND dialog, int id) {
  Window* w = Find(dialog);
  if (!w) return nullptr;
  for (HWND child : w->children) {
    Window* c = Find(child);
    if (c && c->id == id) return child;
  }
  return nullptr;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wparam, LPARAM lparam) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SendMessageA(item, message, wparam, lparam) : 0;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  return static_cast<UINT>(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) return FALSE;
  SendMessageA(item, BM_SETCHECK, check, 0);
  return TRUE;
}

// Reads the item's text as a decimal number: leading blanks, a minus sign when signed, then
// digits up to the first other character. No digits, or a value out of range, fails with 0.
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
  if (translated) *translated = FALSE;
  HWND item = GetDlgItem(dialog, id);
  if (!item) return 0;
  const std::string& text = Find(item)->text;
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
    ++i;
  bool negative = false;
  if (isSigned && i < text.size() && text[i] == '-') {
    negative = true;
    ++i;
  }
  long long value = 0;
  size_t digits = 0;
  const long long limit = isSigned ? (negative ? 2147483648LL : 2147483647LL) : 4294967295LL;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
    value = value * 10 + (text[i] - '0');
    if (value > limit) return 0;
  }
  if (!digits) return 0;
  if (translated) *translated = TRUE;
  return static_cast<UINT>(negative ? -value : value);
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
  char text[16];
  if (isSigned)
    snprintf(text, sizeof text, "%d", static_cast<int>(value));
  else
    snprintf(text, sizeof text, "%u", value);
  return SetWindowTextA(GetDlgItem(dialog, id), text);
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int capacity) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) {
    if (buffer && capacity > 0) buffer[0] = 0;
    return 0;
  }
  return static_cast<UINT>(GetWindowTextA(item, buffer, capacity));
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  return SetWindowTextA(GetDlgItem(dialog, id), text);
}

// ---- Sounds, message boxes, string resources, text conversion --------------------------------
BOOL MessageBeep(UINT type) {
  ++beepCalls;
  if (FailingBeeps().count(type)) return FALSE;
  ++BeepsPlayed()[type];
  return TRUE;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  ++messageBoxCount;
  LastBoxText() = text ? text : "";
  LastBoxCaption() = caption ? caption : "Error"; // the title Windows shows for none
  lastBoxType = type;
  lastBoxOwner = owner;
  if (messageBoxAnswer) return messageBoxAnswer;
  switch (type & MB_TYPEMASK) {
  case MB_YESNO:
  case MB_YESNOCANCEL:
    return IDYES;
  case MB_ABORTRETRYIGNORE:
    return IDABORT;
  case MB_RETRYCANCEL:
    return IDRETRY;
  default:
    return IDOK;
  }
}

// The native build carries no string resources.
int LoadStringA(HINSTANCE, UINT, LPSTR buffer, int capacity) {
  if (buffer && capacity > 0) buffer[0] = 0;
  return 0;
}

// UTF-8 only. A length of -1 takes the text up to and including its terminator; a capacity of
// 0 asks for the units needed. Ill-formed input becomes U+FFFD, or fails with
// MB_ERR_INVALID_CHARS; a buffer too small fails.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR out,
                        int capacity) {
  if (codePage != CP_UTF8 || !text || length == 0 || length < -1 || capacity < 0) return 0;
  if (capacity > 0 && !out) return 0;
  int n = length == -1 ? static_cast<int>(strlen(text)) + 1 : length;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  int units = 0;
  for (int i = 0; i < n;) {
    uint32_t cp;
    bool bad;
    i += DecodeUtf8(s + i, n - i, &cp, &bad);
    if (bad && (flags & MB_ERR_INVALID_CHARS)) return 0;
    int need = cp >= 0x10000 ? 2 : 1;
    if (capacity > 0) {
      if (units + need > capacity) return 0;
      if (need == 2) {
        out[units] = static_cast<WCHAR>(0xD800 + ((cp - 0x10000) >> 10));
        out[units + 1] = static_cast<WCHAR>(0xDC00 + ((cp - 0x10000) & 0x3FF));
      } else {
        out[units] = static_cast<WCHAR>(cp);
      }
    }
    units += need;
  }
  return units;
}

} // extern "C"
