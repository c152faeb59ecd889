#include "e2e/host.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace e2e {

const char* const kTaskNames[25] = {"Add Third",
                                    "Add Octave",
                                    "Add Reverse Octave",
                                    "Delete Octaves",
                                    "Delete Outer Note",
                                    "Delete Unisons",
                                    "Drop 2nd",
                                    "Drop 3rd",
                                    "Drop 4th",
                                    "Drop 2nd+4th",
                                    "Keep Lines",
                                    "Keep Specific Line",
                                    "Rotate",
                                    "Transpose Octave",
                                    "Transpose Octave (Chord)",
                                    "Unisons to Octaves",
                                    "Add Second",
                                    "Add Fourth",
                                    "Add Fifth",
                                    "Add Sixth",
                                    "Add Seventh",
                                    "Close Position",
                                    "Voice Leading",
                                    "Explode",
                                    "Reduce"};

// ---- The plug-in module ---------------------------------------------------------------------
namespace {
std::string ProgramFolder() {
  char path[MAX_PATH] = {0};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path, n < MAX_PATH ? n : 0);
  size_t cut = p.find_last_of("\\/");
  return cut == std::string::npos ? std::string(".") : p.substr(0, cut);
}
} // namespace

std::string BesideProgram(const char* name) {
  return ProgramFolder() + "\\" + name;
}

std::string PluginPath() {
  const char* given = getenv("QV_E2E_PLUGIN");
  if (given && *given) return given;
  std::string folder = ProgramFolder();
  size_t cut = folder.find_last_of("\\/");
  std::string parent = cut == std::string::npos ? std::string("..") : folder.substr(0, cut);
  return parent + "\\QVChordShaper.dll";
}

bool LoadPlugin(Plugin* plugin, std::string* error) {
  *plugin = Plugin();
  std::string path = PluginPath();
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module) {
    *error = "LoadLibraryA(" + path + ") failed, error " + std::to_string(GetLastError());
    return false;
  }
  plugin->module = module;
  void* addresses[6];
  for (int i = 0; i < 6; ++i) {
    addresses[i] = reinterpret_cast<void*>(GetProcAddress(module, kPluginEntryNames[i]));
    if (!addresses[i]) {
      *error = std::string("the plug-in lacks the entry point ") + kPluginEntryNames[i];
      UnloadPlugin(plugin);
      return false;
    }
  }
  static_cast<PluginEntries&>(*plugin) = EntriesFrom(addresses);
  return true;
}

void UnloadPlugin(Plugin* plugin) {
  if (plugin->module) FreeLibrary(plugin->module);
  *plugin = Plugin();
}

void* HookImport(HMODULE module, const char* library, const char* function, void* replacement) {
  BYTE* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!dir.VirtualAddress) return nullptr;
  for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name;
       ++d) {
    if (_stricmp(reinterpret_cast<const char*>(base + d->Name), library) != 0) continue;
    DWORD lookup = d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA32*>(base + lookup);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA32*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL32(names->u1.Ordinal)) continue;
      const auto* byName =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
      DWORD old = 0;
      if (!VirtualProtect(&slots->u1.Function, sizeof(DWORD), PAGE_READWRITE, &old)) return nullptr;
      void* previous = reinterpret_cast<void*>(static_cast<uintptr_t>(slots->u1.Function));
      slots->u1.Function = static_cast<DWORD>(reinterpret_cast<uintptr_t>(replacement));
      VirtualProtect(&slots->u1.Function, sizeof(DWORD), old, &old);
      return previous;
    }
  }
  return nullptr;
}

namespace {
std::vector<UINT> beeps;
int reportedScreenHeight = -1;

// The host hears the plug-in's beeps instead of the sound card.
BOOL WINAPI CountBeep(UINT type) {
  beeps.push_back(type);
  return TRUE;
}

int WINAPI FilterMetrics(int index) {
  if (index == SM_CYFULLSCREEN && reportedScreenHeight >= 0) return reportedScreenHeight;
  return GetSystemMetrics(index);
}
} // namespace

const std::vector<UINT>& Beeps() {
  return beeps;
}

void ClearBeeps() {
  beeps.clear();
}

bool HookSystemCalls(HMODULE module) {
  bool beep = HookImport(module, "USER32.dll", "MessageBeep",
                         reinterpret_cast<void*>(&CountBeep)) != nullptr;
  bool metrics = HookImport(module, "USER32.dll", "GetSystemMetrics",
                            reinterpret_cast<void*>(&FilterMetrics)) != nullptr;
  return beep && metrics;
}

void SetReportedScreenHeight(int height) {
  reportedScreenHeight = height;
}

// ---- The host's own window and folder --------------------------------------------------------
HWND HostWindow() {
  static HWND window = nullptr;
  if (window && IsWindow(window)) return window;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "FinaleScoreWindow";
  RegisterClassA(&wc); // fails harmlessly when already registered
  window = CreateWindowExA(0, wc.lpszClassName, "Finale - Untitled", WS_OVERLAPPEDWINDOW, 0, 0,
                           1100, 800, nullptr, nullptr, wc.hInstance, nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  return window;
}

std::string HostFolder() {
  static std::string folder;
  if (!folder.empty()) return folder;
  char temp[MAX_PATH] = {0};
  DWORD n = GetTempPathA(MAX_PATH, temp);
  std::string base(temp, n < MAX_PATH ? n : 0);
  if (base.empty() || (base.back() != '\\' && base.back() != '/')) base += "\\";
  folder = base + "QVChordShaperHost" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

namespace {
std::string OptionsPath() {
  return HostFolder() + "\\qvpluginoptions.txt";
}

// The host's folder goes when the run ends; the plug-in writes nothing into it.
class HostFolderCleanup : public ::testing::Environment {
public:
  void TearDown() override {
    RemoveOptionsFile();
    RemoveDirectoryA(HostFolder().c_str());
  }
};
::testing::Environment* const hostFolderCleanup =
    ::testing::AddGlobalTestEnvironment(new HostFolderCleanup);
} // namespace

void WriteOptionsFile(const std::string& text) {
  FILE* f = fopen(OptionsPath().c_str(), "wb");
  ASSERT_NE(f, nullptr) << OptionsPath();
  fwrite(text.data(), 1, text.size(), f);
  fclose(f);
}

void RemoveOptionsFile() {
  DeleteFileA(OptionsPath().c_str());
}

std::vector<std::string> HostFolderFiles() {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((HostFolder() + "\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(h, &found));
  FindClose(h);
  return names;
}

// ---- The user -------------------------------------------------------------------------------
namespace {
// The host's message loop, as far as there is anything queued: keys meant for the modeless
// tool window go through its dialog manager (Tab, Enter, Escape), the rest is dispatched.
void Deliver() {
  MSG msg;
  for (int i = 0; i < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    HWND tool = hostsim::OpenDialog();
    if (tool && IsDialogMessageA(tool, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}
} // namespace

void Pump() {
  for (int round = 0; round < 3; ++round) {
    Deliver();
    // lets the display's own events (exposure, focus) arrive and be delivered
    MsgWaitForMultipleObjects(0, nullptr, FALSE, round == 0 ? 5 : 0, QS_ALLINPUT);
  }
  Deliver();
}

void PressKey(UINT key) {
  HWND focus = GetFocus();
  ASSERT_NE(focus, nullptr) << "no window has the keyboard";
  PostMessageA(focus, WM_KEYDOWN, key, 1);
  PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
  Pump();
}

namespace {
bool Usable(HWND item) {
  return item && IsWindowVisible(item) && IsWindowEnabled(item);
}
} // namespace

void Press(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  ASSERT_TRUE(Usable(item)) << "item " << id << " cannot be clicked";
  SendMessageA(item, BM_CLICK, 0, 0);
  Pump();
}

void ClickListRow(HWND dialog, int id, int row) {
  HWND list = GetDlgItem(dialog, id);
  ASSERT_TRUE(Usable(list)) << "list " << id << " cannot be clicked";
  RECT client, item;
  GetClientRect(list, &client);
  SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  if (item.top < client.top || item.bottom > client.bottom) { // the scroll bar first
    SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(row), 0);
    ASSERT_NE(SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(row),
                           reinterpret_cast<LPARAM>(&item)),
              LB_ERR);
  }
  LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(list, WM_LBUTTONUP, 0, at);
  Pump();
}

void ActivateHost() {
  SetActiveWindow(HostWindow());
  Pump();
}

void ActivateWindow(HWND window) {
  SetActiveWindow(window);
  Pump();
}

void SizeWindow(HWND window, int width, int height) {
  SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
}

void MoveWindowTo(HWND window, int left, int top) {
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
}

MINMAXINFO TrackingLimits(HWND window) {
  MINMAXINFO info;
  memset(&info, 0xFF, sizeof info); // what the dialog does not fill stays -1
  SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  return info;
}

int Width(const RECT& r) {
  return r.right - r.left;
}

int Height(const RECT& r) {
  return r.bottom - r.top;
}

// ---- Pictures -------------------------------------------------------------------------------
Picture CaptureWindow(HWND window) {
  Picture picture;
  RECT r;
  if (!GetWindowRect(window, &r) || Width(r) <= 0 || Height(r) <= 0) return picture;
  picture.width = Width(r);
  picture.height = Height(r);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height; // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, r.left, r.top,
           SRCCOPY | CAPTUREBLT);
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    picture.pixels.assign(p, p + static_cast<size_t>(picture.width) * picture.height);
    for (uint32_t& px : picture.pixels)
      px &= 0xFFFFFF;
    SelectObject(memory, old);
  } else {
    picture = Picture();
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return picture;
}

bool WriteBmp(const Picture& picture, const std::string& path) {
  if (picture.width <= 0 || picture.height <= 0) return false;
  const int stride = (picture.width * 3 + 3) & ~3;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER head = {};
  file.bfType = 0x4D42; // "BM"
  file.bfOffBits = sizeof file + sizeof head;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(stride) * picture.height;
  head.biSize = sizeof head;
  head.biWidth = picture.width;
  head.biHeight = picture.height; // bottom row first
  head.biPlanes = 1;
  head.biBitCount = 24;
  head.biCompression = BI_RGB;
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = fwrite(&file, sizeof file, 1, f) == 1 && fwrite(&head, sizeof head, 1, f) == 1;
  std::vector<unsigned char> row(static_cast<size_t>(stride), 0);
  for (int y = picture.height - 1; ok && y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) {
      uint32_t px = picture.At(x, y);
      row[3 * x] = static_cast<unsigned char>(px & 0xFF);
      row[3 * x + 1] = static_cast<unsigned char>((px >> 8) & 0xFF);
      row[3 * x + 2] = static_cast<unsigned char>((px >> 16) & 0xFF);
    }
    ok = fwrite(row.data(), 1, row.size(), f) == row.size();
  }
  return fclose(f) == 0 && ok;
}

// ---- A session of the host ------------------------------------------------------------------
void HostSession::SetUp() {
  hostsim::Reset();
  ClearBeeps();
  SetReportedScreenHeight(-1);
  RemoveOptionsFile();
  hostsim::TheHost().finalePath = HostFolder();
  ActivateHost();
  std::string error;
  ASSERT_TRUE(LoadPlugin(&plugin, &error)) << error;
  systemCallsHooked = HookSystemCalls(plugin.module);
  if (StartsPlugin()) StartPlugin();
}

void HostSession::StartPlugin() {
  ASSERT_EQ(plugin.version(kHostVersion), 0x0F000000u);
  uint32_t flags = 0;
  ASSERT_EQ(plugin.init(nullptr, &flags), 1);
  EXTENSIONMENURECORD menu;
  ASSERT_EQ(plugin.enumerate(nullptr, 0, &menu), 1);
}

void HostSession::TearDown() {
  // The user closes the tool window with its close box before the host quits.
  for (int tries = 0; tries < 2 && hostsim::OpenDialog(); ++tries) {
    SendMessageA(hostsim::OpenDialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
  }
  EXPECT_EQ(hostsim::OpenDialogCount(), 0) << "the tool window did not close";
  hostsim::ResetDialogs(); // no window of the plug-in may outlive its code
  if (plugin.terminate) plugin.terminate(nullptr);
  UnloadPlugin(&plugin);
  RemoveOptionsFile();
  SetReportedScreenHeight(-1);
  hostsim::Reset();
}

HWND HostSession::Invoke(int32_t* answer) {
  int32_t a = plugin.invoke(HostWindow(), nullptr, nullptr, nullptr);
  if (answer) *answer = a;
  Pump();
  return hostsim::OpenDialog();
}

void HostSession::MakeScore(int staves, int measures) {
  hostsim::NewDocument(staves, measures);
  if (staves >= 2) {
    hostsim::AddPart({1});
    hostsim::AddPart({2});
  }
}

} // namespace e2e
