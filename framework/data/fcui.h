// The host's main window and the host's user-interface services: menu commands, redraw,
// message boxes, the warning beep, screen metrics and the document window in front.
#pragma once
#include <cstddef>
#include "core/fcbase.h"

class FCString;

#pragma pack(push, 1)
// What FX_GetCurrentWindowInfo fills in for the document window in front. The plug-in hands
// the host a zeroed block of EWINDOWINFO_BUFFERSIZE bytes, so that a host writing a longer
// record still writes inside it, and reads only these fields back.
struct EWINDOWINFO {
  twobyte document; // 0x00: id of the document shown
  twobyte viewmode; // 0x02: 0 scroll view, 1 page view, 2 studio view
  twobyte page;     // 0x04: page shown in page view, from 1; 0 in the other views
  twobyte measure;  // 0x06: first measure shown
  twobyte zoom;     // 0x08: zoom in percent; 0 when the host gives none
  twobyte unused0A; // 0x0A: not used by the plug-in
  HWND window;      // 0x0C: the document window (pointer-wide)
};
#pragma pack(pop)
const int EWINDOWINFO_BUFFERSIZE = 256;
const twobyte WINDOWINFO_PAGEVIEW = 1;
static_assert(sizeof(EWINDOWINFO) <= EWINDOWINFO_BUFFERSIZE, "the window record fits the block");
static_assert(offsetof(EWINDOWINFO, zoom) == 0x08, "zoom at 0x08");
static_assert(offsetof(EWINDOWINFO, window) == 0x0C, "window at 0x0C");

class FCUI : public __FCBase {
public:
  // The commands MenuCommand runs, by the host menu item each one sends.
  // Fixed to int, so that a caller's value outside the table is still a value MenuCommand can
  // refuse rather than undefined.
  enum MENU_COMMANDS : int {
    MENUCMD_NONE = 0,    // host item 0: no command
    MENUCMD_RESPACE = 1, // host item 12106: respace the music of the selection
    MENUCMD_ITEM12112,   // 2
    MENUCMD_ITEM10602,   // 3
    MENUCMD_ITEM35622,   // 4
    MENUCMD_ITEM10611,   // 5
    MENUCMD_ITEM10612,   // 6
    MENUCMD_ITEM10613,   // 7
    MENUCMD_ITEM10614,   // 8
    MENUCMD_ITEM10615,   // 9
    MENUCMD_ITEM10616,   // 10
    MENUCMD_ITEM10617,   // 11
    MENUCMD_ITEM10618,   // 12
    MENUCMD_ITEM10619    // 13
  };

  explicit FCUI(HWND window) : _hWindow(window) {}
  const char* ClassName() override { return "FCUI"; }
  virtual ~FCUI() {}

  HWND GetWindowHandle() const { return _hWindow; }

  // Runs the host item of the command; true when the host ran it. Values outside 1..13
  // answer false and send nothing.
  bool MenuCommand(MENU_COMMANDS command);
  // Has the host redraw the music of the current selection's area.
  void RedrawDocument();
  // The warning sound, or the plain beep when that cannot be played.
  int Beep();
  int GetScreenHeight();
  int GetScreenWidth();

  // Message boxes owned by the active window; windowshading is off while one is up.
  void AlertError(const char* message, const char* caption = nullptr);
  void AlertError(FCString* message, FCString* caption = nullptr);
  // 0 for Yes, 1 for No, 2 otherwise.
  int AlertYesNo(const char* message, const char* caption = nullptr);
  int AlertYesNo(FCString* message, FCString* caption = nullptr);
  void AlertNeutral(const char* message, const char* caption = nullptr);
  void AlertNeutral(FCString* message, FCString* caption = nullptr);
  void AlertInfo(const char* message, const char* caption = nullptr);
  void AlertInfo(FCString* message, FCString* caption = nullptr);

  // The document window in front, as the host describes it.
  bool IsPageView();
  int GetCurrentPage();
  int GetCurrentMeasure();
  int GetZoomLevel(); // 100 when the host gives none
  HWND GetDocumentWindow();

  // Scrolls to a measure on a staff; staff 0 takes the first staff (1 to 101) that exists.
  // False when no staff is found or the host does not scroll.
  bool MoveToMeasure(int measure, int staff);
  // The host's choosers for text expressions and articulations, with item preselected.
  // Answer the item chosen, 0 when cancelled.
  int DisplayTextExpressionDialog(unsigned short item);
  int DisplayArticulationDialog(unsigned short item);

private:
  // Fills info from the host; false (info zeroed) when the host gives nothing.
  bool _GetWindowInfo(EWINDOWINFO* info);
  int _MessageBox(const char* message, const char* caption, const char* defaultcaption, UINT style);
  int _SelectionDialog(twobyte kind, unsigned short item);

  HWND _hWindow; // the host's main window; not owned
};
