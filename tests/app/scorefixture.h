// Running the score job on the hand-made scores of tests/musicxml/files with the real plug-in
// module, and reading the result back: the chords of a part as note names, schema validity.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "scorejob.h"
#include "support/generatedscore.h"

namespace scoretest {

inline std::string FilePath(const std::string& name) {
  return std::string(QV_SOURCE_DIR) + "/tests/musicxml/files/" + name;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return bytes;
  uint8_t buffer[1 << 16];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
    bytes.insert(bytes.end(), buffer, buffer + n);
  fclose(f);
  return bytes;
}

// The plug-in module loaded as the host loads it.
inline const PluginEntries& Plugin() {
  static PluginEntries entries = [] {
    PluginEntries loaded;
    std::string error;
    LoadPlugin(QV_PLUGIN_PATH, &loaded, &error);
    return loaded;
  }();
  return entries;
}

inline ScoreJobResult RunFile(const std::string& file, const std::string& task, bool bottom = false,
                              ScoreJobOptions o = ScoreJobOptions()) {
  o.task = task;
  o.bottom = bottom;
  return RunScoreJob(ReadBytes(FilePath(file)), file, o, Plugin());
}

// A part as a short text: its name and each staff's measures, split by "|". An entry is its
// notes joined by "+" ("r" for a rest) and its length (e eighth, q quarter, h half, w whole, a
// dot adding half), a grace note led by "g": "C4+Eb4q rq gD5e F#3h.".
struct WrittenPart {
  std::string name;
  std::vector<std::string> staves;
};

// A score of such parts in the time given ("3/2"), four divisions to the quarter; a staff's
// entries are its voice, numbered as the staff.
inline std::string WrittenScore(const std::string& time, const std::vector<WrittenPart>& parts) {
  auto measures = [](const std::string& staff) {
    std::vector<std::vector<std::string>> out(1);
    std::istringstream in(staff);
    for (std::string t; in >> t;)
      t == "|" ? out.push_back({}) : out.back().push_back(t);
    return out;
  };
  std::string s = "<score-partwise version=\"4.0\"><part-list>", body;
  for (size_t p = 0; p < parts.size(); ++p) {
    std::string id = "P" + std::to_string(p + 1);
    s += "<score-part id=\"" + id + "\"><part-name>" + parts[p].name + "</part-name></score-part>";
    body += "<part id=\"" + id + "\">";
    std::vector<std::vector<std::vector<std::string>>> staves;
    for (const std::string& staff : parts[p].staves)
      staves.push_back(measures(staff));
    for (size_t m = 0; m < staves[0].size(); ++m) {
      body += "<measure number=\"" + std::to_string(m + 1) + "\">";
      if (m == 0)
        body += "<attributes><divisions>4</divisions><key><fifths>0</fifths></key><time><beats>" +
                time.substr(0, time.find('/')) + "</beats><beat-type>" +
                time.substr(time.find('/') + 1) + "</beat-type></time><staves>" +
                std::to_string(staves.size()) + "</staves></attributes>";
      for (size_t st = 0; st < staves.size(); ++st) {
        int length = 0;
        for (std::string t : staves[st][m]) {
          bool grace = t[0] == 'g', dot = t.back() == '.';
          if (dot) t.pop_back();
          char type = t.back();
          int d = std::string("eqhw").find(type);
          int duration = (2 << d) * (dot ? 3 : 2) / 2;
          std::istringstream notes(t.substr(grace, t.size() - grace - 1));
          bool chord = false;
          for (std::string n; std::getline(notes, n, '+'); chord = true) {
            body += std::string("<note>") + (grace ? "<grace/>" : "") + (chord ? "<chord/>" : "");
            if (n == "r") {
              body += "<rest/>";
            } else {
              int alter = static_cast<int>(std::count(n.begin(), n.end(), '#') -
                                           std::count(n.begin() + 1, n.end(), 'b'));
              body += "<pitch><step>" + n.substr(0, 1) + "</step><alter>" + std::to_string(alter) +
                      "</alter><octave>" + n.substr(n.size() - 1) + "</octave></pitch>";
            }
            if (!grace) body += "<duration>" + std::to_string(duration) + "</duration>";
            const char* types[] = {"eighth", "quarter", "half", "whole"};
            body += "<voice>" + std::to_string(st + 1) + "</voice><type>" + types[d] + "</type>" +
                    (dot ? "<dot/>" : "") + "<staff>" + std::to_string(st + 1) + "</staff></note>";
          }
          if (!grace) length += duration;
        }
        if (st + 1 < staves.size())
          body += "<backup><duration>" + std::to_string(length) + "</duration></backup>";
      }
      body += "</measure>";
    }
    body += "</part>";
  }
  return s + "</part-list>" + body + "</score-partwise>";
}

// A part's chords in file order, each as its notes sorted low to high: "[C4 E4] [r] | [G4]",
// a grace chord as "g[...]", measures separated by "|".
inline std::string Chords(const std::string& xml, const char* part) {
  pugi::xml_document doc;
  doc.load_string(xml.c_str());
  std::string out;
  for (pugi::xml_node m : doc.child("score-partwise").find_child_by_attribute("part", "id", part)) {
    if (!out.empty()) out += " |";
    std::vector<std::vector<int>> chords;
    std::vector<std::string> marks;
    for (pugi::xml_node n : m.children("note")) {
      if (!n.child("chord") || chords.empty()) {
        chords.push_back({});
        marks.push_back(n.child("grace") ? "g" : "");
      }
      pugi::xml_node p = n.child("pitch");
      if (!p && !n.child("rest")) chords.back().push_back(-1); // unpitched
      if (!p) continue;
      int step = std::string("CDEFGAB").find(p.child_value("step"));
      int alter = p.child("alter").text().as_int();
      chords.back().push_back((p.child("octave").text().as_int() * 7 + step) * 8 + alter + 4);
    }
    for (size_t i = 0; i < chords.size(); ++i) {
      std::sort(chords[i].begin(), chords[i].end());
      out += " " + marks[i] + "[";
      for (size_t k = 0; k < chords[i].size(); ++k) {
        int v = chords[i][k], alter = v % 8 - 4, n = v / 8;
        if (v < 0) {
          out += k ? " x" : "x";
          continue;
        }
        out += (k ? " " : "") + std::string(1, "CDEFGAB"[n % 7]) +
               std::string(std::max(0, alter), '#') + std::string(std::max(0, -alter), 'b') +
               std::to_string(n / 7);
      }
      out += chords[i].empty() ? "r]" : "]";
    }
  }
  return out.empty() ? out : out.substr(1);
}

// The index-th <note> (from 0) of a measure (from 1) of the first part, parsed into doc.
inline pugi::xml_node NoteAt(pugi::xml_document& doc, const std::string& xml, int measure,
                             int index) {
  doc.load_string(xml.c_str());
  pugi::xml_node m = doc.child("score-partwise").child("part").child("measure");
  for (int i = 1; i < measure; ++i)
    m = m.next_sibling("measure");
  pugi::xml_node n = m.child("note");
  for (int i = 0; i < index; ++i)
    n = n.next_sibling("note");
  return n;
}

// Every beam, tuplet and slur that begins in a voice of a part ends in it, after it began:
// "" when all do, else each one left open or closed without opening ("P2 m3 voice 1: beam 1
// end without begin").
inline std::string OpenMarks(const std::string& xml) {
  pugi::xml_document doc;
  doc.load_string(xml.c_str());
  std::string out;
  for (pugi::xml_node part : doc.child("score-partwise").children("part")) {
    std::map<std::string, std::string> open; // "voice 1: beam 1" -> where it began
    std::string where;
    auto mark = [&](const std::string& what, bool begins, bool ends) {
      bool isOpen = open.count(what) != 0;
      if (ends && !isOpen) out += where + what + " ends without beginning\n";
      if (begins && isOpen) out += where + what + " begins again before it ends\n";
      if (ends) open.erase(what);
      if (begins) open[what] = where;
    };
    for (pugi::xml_node m : part.children("measure"))
      for (pugi::xml_node n : m.children("note")) {
        std::string voice = std::string("voice ") + n.child_value("voice") + ": ";
        where =
            std::string(part.attribute("id").value()) + " m" + m.attribute("number").value() + " ";
        for (pugi::xml_node b : n.children("beam")) {
          std::string v = b.child_value(),
                      what = voice + "beam " + b.attribute("number").as_string("1");
          if (v == "continue" && !open.count(what)) out += where + what + " continues unbegun\n";
          mark(what, v == "begin", v == "end");
        }
        // Ends before beginnings: a note may close one slur and open the next of its number.
        for (const char* type : {"stop", "start"})
          for (pugi::xml_node ns : n.children("notations"))
            for (pugi::xml_node t : ns.children())
              if ((strcmp(t.name(), "tuplet") == 0 || strcmp(t.name(), "slur") == 0) &&
                  strcmp(t.attribute("type").value(), type) == 0)
                mark(voice + t.name() + " " + t.attribute("number").as_string("1"), type[2] == 'a',
                     type[2] == 'o');
      }
    for (const auto& o : open)
      out += o.second + o.first + " never ends\n";
  }
  return out;
}

// Runs a shell command; answers its exit status and output (both streams).
inline int Shell(const std::string& command, std::string* output) {
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  char buffer[4096];
  size_t n;
  while (p && (n = fread(buffer, 1, sizeof buffer, p)) > 0)
    output->append(buffer, n);
  int status = p ? pclose(p) : -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A temporary folder for files the tests write, removed afterwards.
class TempFolder {
public:
  TempFolder() {
    char t[] = "/tmp/qvscore.XXXXXX";
    _path = mkdtemp(t) ? t : "/tmp";
  }
  ~TempFolder() {
    std::string ignored;
    Shell("rm -rf '" + _path + "'", &ignored);
  }
  std::string Path(const std::string& name) const { return _path + "/" + name; }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
    return Path(name);
  }
  int Count() const {
    std::string out;
    Shell("ls -A '" + _path + "' | wc -l", &out);
    return atoi(out.c_str());
  }

private:
  std::string _path;
};

#ifdef QV_HOST_PATH
// The headless host run on the line's arguments, the plug-in module first; answers its exit
// status and its output (both streams).
inline int Command(const std::string& args, std::string* out) {
  return Shell(std::string("'") + QV_HOST_PATH + "' '" + QV_PLUGIN_PATH + "' " + args, out);
}
#endif

// Whether the text validates against the MusicXML schema kept with the tests.
inline ::testing::AssertionResult Valid(const std::string& xml) {
  TempFolder folder;
  std::string file = folder.Write("score.musicxml", xml), out;
  std::string schema = std::string(QV_SOURCE_DIR) + "/tests/musicxml/schema/";
  int status =
      Shell("XML_CATALOG_FILES=" + schema + "catalog.xml xmllint --noout --nonet --schema " +
                schema + "musicxml.xsd " + file,
            &out);
  if (status == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << out;
}

// The canonical form of a text (xmllint --c14n).
inline std::string Canonical(const std::string& xml) {
  TempFolder folder;
  std::string out;
  Shell("(xmllint --nonet --c14n " + folder.Write("score.musicxml", xml) + " 2>/dev/null)", &out);
  return out;
}

// The notes of a text as line numbers (from 1): true for each line that lies in a <note>.
inline std::vector<bool> NoteLines(const std::string& text) {
  std::vector<bool> lines(1, false);
  int depth = 0;
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = std::min(text.find('\n', at), text.size());
    std::string line = text.substr(at, end - at);
    bool opens =
        line.find("<note>") != std::string::npos || line.find("<note ") != std::string::npos;
    lines.push_back(depth > 0 || opens);
    for (size_t p = 0; (p = line.find("<note", p)) != std::string::npos; ++p)
      if (p + 5 < line.size() && (line[p + 5] == '>' || line[p + 5] == ' ')) ++depth;
    for (size_t p = 0; (p = line.find("</note>", p)) != std::string::npos; ++p)
      --depth;
    at = end + 1;
  }
  return lines;
}

// The lines a line diff shows changed, by number: "<N" in the first text, ">N" in the second.
inline std::vector<std::string> DiffLines(const std::string& a, const std::string& b) {
  TempFolder folder;
  std::string out;
  Shell("diff --minimal --unchanged-line-format= --old-line-format='<%dn\n' "
        "--new-line-format='>%dn\n' '" +
            folder.Write("a", a) + "' '" + folder.Write("b", b) + "'",
        &out);
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// Whether every file validates against the MusicXML schema (one run of the validator).
inline ::testing::AssertionResult AllValid(const TempFolder& folder,
                                           const std::vector<std::string>& files) {
  std::string list, out;
  for (const std::string& f : files)
    list += " '" + folder.Path(f) + "'";
  std::string schema = std::string(QV_SOURCE_DIR) + "/tests/musicxml/schema/";
  int status =
      Shell("XML_CATALOG_FILES=" + schema + "catalog.xml xmllint --noout --nonet --schema " +
                schema + "musicxml.xsd" + list,
            &out);
  if (status == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << out;
}

} // namespace scoretest
