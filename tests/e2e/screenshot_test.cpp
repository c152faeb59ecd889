// A picture of the open tool window as the screen shows it, kept beside this program as
// toolwindow.bmp (./test turns it into toolwindow.png) so that a person can look at it.
#include "e2e/host.h"

#include <algorithm>

using namespace e2e;

namespace {

// A system colour as a captured pixel (0x00RRGGBB).
uint32_t Pixel(int systemColour) {
  COLORREF c = GetSysColor(systemColour);
  return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) |
         GetBValue(c);
}

// How many pixels of a rectangle (in picture coordinates) have this colour.
int Count(const Picture& p, const RECT& r, uint32_t colour) {
  int n = 0;
  for (int y = std::max<LONG>(r.top, 0); y < std::min<LONG>(r.bottom, p.height); ++y)
    for (int x = std::max<LONG>(r.left, 0); x < std::min<LONG>(r.right, p.width); ++x)
      if (p.At(x, y) == colour) ++n;
  return n;
}

class Screenshot : public HostSession {};

} // namespace

TEST_F(Screenshot, TheOpenToolWindowIsOnTheScreenAndKeptAsAPicture) {
  MakeScore(2, 2);
  hostsim::EntrySpec chord;
  chord.notes = {{0}, {4}};
  hostsim::AddEntry(1, 1, 0, chord);
  hostsim::SetSelection(1, 1, 0, 1, 1, REGION_TO_END);
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  // "Reduce", the last row: the list scrolled to its end shows every row whole, and both
  // directions are shown
  ClickListRow(dialog, IDC_TASKLIST, 24);
  RedrawWindow(dialog, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();

  Picture picture = CaptureWindow(dialog);
  RECT outer = hostsim::OuterRect(dialog);
  ASSERT_EQ(picture.width, Width(outer));
  ASSERT_EQ(picture.height, Height(outer));

  // Where the parts of the window lie in the picture.
  POINT origin = {0, 0};
  ClientToScreen(dialog, &origin);
  auto inPicture = [&](RECT r) {
    OffsetRect(&r, origin.x - outer.left, origin.y - outer.top);
    return r;
  };
  RECT list = inPicture(hostsim::ItemRect(dialog, IDC_TASKLIST));
  InflateRect(&list, -3, -3);
  RECT client = inPicture(hostsim::ClientRect(dialog));
  RECT caption = {0, 0, picture.width, origin.y - outer.top};

  // the list shows its rows on the window colour, the chosen one highlighted
  const int listArea = Width(list) * Height(list);
  EXPECT_GT(Count(picture, list, Pixel(COLOR_WINDOW)), listArea / 3) << "no list box";
  EXPECT_GT(Count(picture, list, Pixel(COLOR_HIGHLIGHT)), 0) << "no chosen row";
  EXPECT_LT(Count(picture, list, Pixel(COLOR_WINDOW)), listArea) << "no text in the list";
  // the dialog's face around the controls, and a caption bar above it
  EXPECT_GT(Count(picture, client, Pixel(COLOR_BTNFACE)), Width(client) * Height(client) / 3);
  EXPECT_GT(Height(caption), 0);
  EXPECT_LT(Count(picture, caption, Pixel(COLOR_BTNFACE)), Width(caption) * Height(caption))
      << "the caption bar is not drawn";

  EXPECT_TRUE(WriteBmp(picture, BesideProgram("toolwindow.bmp")));
}
