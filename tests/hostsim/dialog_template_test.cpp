// Reading dialog templates from resource-script text: the tool window's own template, and what
// the reader does with the rest of the language and with text it cannot read.
#include <gtest/gtest.h>

#include "dialogs.h"
#include "resource.h"

namespace {

using hostsim::DialogItemTemplate;
using hostsim::DialogTemplate;

struct Expected {
  int id;
  const char* windowClass;
  const char* text;
  int x, y, cx, cy;
  uint32_t style; // besides WS_CHILD | WS_VISIBLE
};

TEST(ToolWindowTemplate, HasTheCaptionFrameAndFontOfTheToolWindow) {
  const DialogTemplate* t = hostsim::PluginDialogTemplate(IDD_CHORDSHAPER);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->id, 20128);
  EXPECT_EQ(t->x, 20);
  EXPECT_EQ(t->y, 40);
  EXPECT_EQ(t->cx, 220);
  EXPECT_EQ(t->cy, 120);
  EXPECT_EQ(t->style, 0x90CC0048u);
  EXPECT_EQ(t->exStyle, 0u);
  EXPECT_EQ(t->caption, "QV Chord Shaper");
  EXPECT_EQ(t->fontSize, 8);
  EXPECT_EQ(t->fontName, "MS Sans Serif");
  EXPECT_EQ(t->fontWeight, 0);
  EXPECT_EQ(t->fontItalic, 0);
  EXPECT_EQ(t->fontCharset, 0);
  EXPECT_EQ(hostsim::PluginDialogTemplate(20129), nullptr);
}

TEST(ToolWindowTemplate, HasTheEightControlsInTemplateOrder) {
  const Expected expected[] = {
      {IDC_TASKSLABEL, "Static", "&Tasks (the last nine are new):", 10, 10, 110, 8, SS_LEFT},
      {IDC_TASKLIST, "ListBox", "", 10, 20, 110, 70,
       LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP},
      {IDC_TOPRADIO, "Button", "Top", 130, 20, 85, 8, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP},
      {IDC_BOTTOMRADIO, "Button", "Bottom", 130, 30, 85, 8, BS_AUTORADIOBUTTON | WS_TABSTOP},
      {IDC_DESCRIPTION, "Static", "Text", 125, 42, 85, 56, SS_LEFT},
      {IDC_RESPACE, "Button", "Respace Music", 10, 103, 80, 8, BS_AUTOCHECKBOX | WS_TABSTOP},
      {1, "Button", "&Apply", 95, 100, 40, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
      {2, "Button", "&Close", 145, 100, 40, 14, BS_PUSHBUTTON | WS_TABSTOP},
  };
  const DialogTemplate* t = hostsim::PluginDialogTemplate(IDD_CHORDSHAPER);
  ASSERT_NE(t, nullptr);
  ASSERT_EQ(t->items.size(), 8u);
  for (size_t i = 0; i < 8; ++i) {
    const DialogItemTemplate& item = t->items[i];
    const Expected& e = expected[i];
    SCOPED_TRACE(e.id);
    EXPECT_EQ(item.id, e.id);
    EXPECT_EQ(item.windowClass, e.windowClass);
    EXPECT_EQ(item.text, e.text);
    EXPECT_EQ(item.x, e.x);
    EXPECT_EQ(item.y, e.y);
    EXPECT_EQ(item.cx, e.cx);
    EXPECT_EQ(item.cy, e.cy);
    EXPECT_EQ(item.style, e.style | WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(item.exStyle, 0u);
  }
}

// ---- The reader on other scripts ------------------------------------------------------------
std::vector<DialogTemplate> Parse(const std::string& script, std::string* error = nullptr,
                                  bool* ok = nullptr) {
  std::vector<DialogTemplate> out;
  std::map<std::string, std::string> includes = {
      {"ids.h", "#pragma once\n#define IDD_TEST 300\n#define IDC_LIST (40 + 2)\n"
                "#define IDC_OTHER IDC_LIST+1\n#define MACRO(x) x\n"}};
  std::string message;
  bool result = hostsim::ParseDialogTemplates(script, includes, &out, &message);
  if (error) *error = message;
  if (ok) *ok = result;
  return out;
}

TEST(DialogTemplateReader, AppliesTheResourceCompilersDefaultStyles) {
  auto dialogs = Parse("7 DIALOGEX 1, 2, 30, 40\n"
                       "CAPTION \"c\"\nFONT 9, \"Arial\"\n"
                       "BEGIN\n"
                       "  CONTROL \"a\", 5, \"Button\", NOT WS_VISIBLE | BS_CHECKBOX, 1, 2, 3, 4\n"
                       "  CONTROL \"b\", 6, \"Edit\", WS_BORDER, 1, 2, 3, 4, 0x200\n"
                       "END\n");
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].id, 7);
  EXPECT_EQ(dialogs[0].style,
            static_cast<uint32_t>(WS_POPUP | WS_BORDER | WS_SYSMENU | WS_CAPTION | DS_SETFONT));
  EXPECT_EQ(dialogs[0].fontSize, 9);
  EXPECT_EQ(dialogs[0].fontWeight, 0);
  ASSERT_EQ(dialogs[0].items.size(), 2u);
  EXPECT_EQ(dialogs[0].items[0].style, static_cast<uint32_t>(WS_CHILD | BS_CHECKBOX));
  EXPECT_EQ(dialogs[0].items[1].style, static_cast<uint32_t>(WS_CHILD | WS_VISIBLE | WS_BORDER));
  EXPECT_EQ(dialogs[0].items[1].exStyle, 0x200u);
}

TEST(DialogTemplateReader, ResolvesNamesFromIncludedHeadersAndSkipsOtherResources) {
  auto dialogs = Parse("/* a block\n comment */\n#include <windows.h>\n#include \"ids.h\"\n"
                       "LANGUAGE 9, 1\n"
                       "1 VERSIONINFO\n FILEVERSION 1,0,0,0\nBEGIN\n BLOCK \"x\"\n BEGIN\n"
                       "  VALUE \"a\", \"b\"\n END\nEND\n"
                       "2 ICON \"app.ico\"\n"
                       "STRINGTABLE\nBEGIN\n 1 \"one\"\nEND\n"
                       "IDD_TEST DIALOG 0, 0, 0x10, 10 // the test dialog\n"
                       "STYLE WS_CHILD | DS_SETFONT\n"
                       "{\n"
                       "  CONTROL \"say \"\"hi\"\"\", IDC_LIST, \"ListBox\", 0, 0, 0, 1, 1\n"
                       "  CONTROL \"\", IDC_OTHER, \"Static\", 0, 0, 0, 1, 1\n"
                       "}\n"
                       "named DIALOGEX 0, 0, 1, 1\nBEGIN\nEND\n");
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[0].id, 300);
  EXPECT_EQ(dialogs[0].cx, 16);
  EXPECT_EQ(dialogs[0].style, static_cast<uint32_t>(WS_CHILD | DS_SETFONT));
  ASSERT_EQ(dialogs[0].items.size(), 2u);
  EXPECT_EQ(dialogs[0].items[0].id, 42);
  EXPECT_EQ(dialogs[0].items[0].text, "say \"hi\"");
  EXPECT_EQ(dialogs[0].items[1].id, 43);
  EXPECT_EQ(dialogs[1].id, -1); // known by its name only
}

TEST(DialogTemplateReader, RefusesTextItCannotReadAndNamesTheLine) {
  const char* bad[] = {
      "1 DIALOGEX 0, 0, 1, 1\nBEGIN\n  CONTROL \"open, 1, \"Button\", 0, 0, 0, 1, 1\nEND\n",
      "1 DIALOGEX 0, 0, 1, 1\nSTYLE WS_NOSUCHSTYLE\nBEGIN\nEND\n",
      "1 DIALOGEX 0, 0, 1, 1\nBEGIN\n  LTEXT \"a\", 1, 0, 0, 1, 1\nEND\n",
      "1 DIALOGEX 0, 0, 1, 1\nBEGIN\n  CONTROL \"a\", 1, \"Button\", 0, 0, 0, 1\nEND\n",
      "1 DIALOGEX 0, 0, 1, 1\nBEGIN\n  CONTROL \"a\", 1, \"Button\", 0, 0, 0, 1, 1\n",
      "#include \"missing.h\"\n",
      "1 DIALOGEX 0, 0, 1, 1 /* never closed\n",
      "1 DIALOGEX 0, 0, 99999999999, 1\nBEGIN\nEND\n",
      "1 VERSIONINFO\nBEGIN\n",
  };
  for (const char* script : bad) {
    SCOPED_TRACE(script);
    std::string error;
    bool ok = true;
    auto dialogs = Parse(script, &error, &ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(dialogs.empty());
    EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
  }
  std::string error;
  bool ok = false;
  Parse("1 DIALOGEX 0, 0, 1, 1\nBEGIN\nEND\n", &error, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(error, "");
}

TEST(DialogUnits, BecomePixelsWithTheNativeBaseUnitsRoundedToNearest) {
  EXPECT_EQ(hostsim::DialogUnitsToPixelsX(4), 6);
  EXPECT_EQ(hostsim::DialogUnitsToPixelsX(1), 2); // 1.5 rounds up
  EXPECT_EQ(hostsim::DialogUnitsToPixelsX(95), 143);
  EXPECT_EQ(hostsim::DialogUnitsToPixelsY(8), 13);
  EXPECT_EQ(hostsim::DialogUnitsToPixelsY(70), 114);  // 113.75
  EXPECT_EQ(hostsim::DialogUnitsToPixelsY(-20), -33); // halves away from zero
}

} // namespace
