// Reads dialog templates from resource-script text, as the resource compiler would store them:
// a dialog without STYLE is WS_POPUP | WS_BORDER | WS_SYSMENU; CAPTION adds WS_CAPTION and FONT
// adds DS_SETFONT; every CONTROL is WS_CHILD | WS_VISIBLE plus its styles (NOT removes bits).
#include "dialogs_host.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace hostsim {

namespace {

struct Token {
  enum Kind { End, Number, String, Name, Punct } kind = End;
  std::string text;    // name, string contents or the punctuation character
  uint32_t number = 0; // value of a number
  int line = 0;        // line of the script it starts on
};

// The names a resource script may use from the platform's headers.
struct Constant {
  const char* name;
  uint32_t value;
};
#define QV_CONSTANT(name)                                                                          \
  { #name, static_cast < uint32_t>(name) }
const Constant kConstants[] = {
    QV_CONSTANT(WS_OVERLAPPED),
    QV_CONSTANT(WS_POPUP),
    QV_CONSTANT(WS_CHILD),
    QV_CONSTANT(WS_MINIMIZE),
    QV_CONSTANT(WS_VISIBLE),
    QV_CONSTANT(WS_DISABLED),
    QV_CONSTANT(WS_CLIPSIBLINGS),
    QV_CONSTANT(WS_CLIPCHILDREN),
    QV_CONSTANT(WS_MAXIMIZE),
    QV_CONSTANT(WS_CAPTION),
    QV_CONSTANT(WS_BORDER),
    QV_CONSTANT(WS_DLGFRAME),
    QV_CONSTANT(WS_VSCROLL),
    QV_CONSTANT(WS_HSCROLL),
    QV_CONSTANT(WS_SYSMENU),
    QV_CONSTANT(WS_THICKFRAME),
    QV_CONSTANT(WS_GROUP),
    QV_CONSTANT(WS_TABSTOP),
    QV_CONSTANT(WS_MINIMIZEBOX),
    QV_CONSTANT(WS_MAXIMIZEBOX),
    QV_CONSTANT(DS_ABSALIGN),
    QV_CONSTANT(DS_SYSMODAL),
    QV_CONSTANT(DS_FIXEDSYS),
    QV_CONSTANT(DS_SETFONT),
    QV_CONSTANT(DS_MODALFRAME),
    QV_CONSTANT(DS_CENTER),
    QV_CONSTANT(SS_LEFT),
    QV_CONSTANT(SS_CENTER),
    QV_CONSTANT(SS_RIGHT),
    QV_CONSTANT(BS_PUSHBUTTON),
    QV_CONSTANT(BS_DEFPUSHBUTTON),
    QV_CONSTANT(BS_CHECKBOX),
    QV_CONSTANT(BS_AUTOCHECKBOX),
    QV_CONSTANT(BS_RADIOBUTTON),
    QV_CONSTANT(BS_3STATE),
    QV_CONSTANT(BS_AUTO3STATE),
    QV_CONSTANT(BS_GROUPBOX),
    QV_CONSTANT(BS_AUTORADIOBUTTON),
    QV_CONSTANT(LBS_NOTIFY),
    QV_CONSTANT(LBS_SORT),
    QV_CONSTANT(LBS_NOINTEGRALHEIGHT),
    QV_CONSTANT(CBS_DROPDOWNLIST),
    QV_CONSTANT(CBS_SORT),
    QV_CONSTANT(ES_READONLY),
    QV_CONSTANT(IDOK),
    QV_CONSTANT(IDCANCEL),
};
#undef QV_CONSTANT

// Turns the script into tokens, reading #include "..." and #define NAME value on the way.
class Lexer {
public:
  Lexer(const std::map<std::string, std::string>& includes, std::string* error)
      : includes_(includes), error_(error) {}

  bool Read(const std::string& text, int depth, std::vector<Token>* out) {
    if (depth > 8) return Fail(0, "includes nest too deeply");
    size_t i = 0;
    int line = 1;
    bool lineStart = true;
    while (i < text.size()) {
      char c = text[i];
      if (c == '\n') {
        ++line;
        lineStart = true;
        ++i;
      } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f') {
        ++i;
      } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
        while (i < text.size() && text[i] != '\n')
          ++i;
      } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
        size_t end = text.find("*/", i + 2);
        if (end == std::string::npos) return Fail(line, "unterminated comment");
        for (size_t k = i; k < end; ++k)
          if (text[k] == '\n') ++line;
        i = end + 2;
      } else if (c == '#' && lineStart) {
        std::string directive;
        while (i < text.size() && text[i] != '\n') {
          if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++line;
            i += 2;
            continue;
          }
          directive += text[i++];
        }
        if (!Directive(directive, line, depth, out)) return false;
      } else {
        lineStart = false;
        Token t;
        t.line = line;
        if (c == '"') {
          t.kind = Token::String;
          ++i;
          bool closed = false;
          while (i < text.size() && text[i] != '\n') {
            char d = text[i++];
            if (d == '"') {
              if (i < text.size() && text[i] == '"') { // "" stands for one quote
                t.text += '"';
                ++i;
                continue;
              }
              closed = true;
              break;
            }
            if (d == '\\' && i < text.size()) {
              char e = text[i++];
              d = e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e == 'a' ? '\a' : e;
            }
            t.text += d;
          }
          if (!closed) return Fail(line, "unterminated string");
        } else if (c >= '0' && c <= '9') {
          t.kind = Token::Number;
          size_t start = i;
          while (i < text.size() && (isalnum(static_cast<unsigned char>(text[i]))))
            ++i;
          t.text = text.substr(start, i - start);
          std::string digits = t.text;
          while (!digits.empty() && strchr("LlUu", digits.back()))
            digits.pop_back();
          char* end = nullptr;
          bool hex =
              digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
          unsigned long long value = strtoull(digits.c_str(), &end, hex ? 16 : 10);
          if (digits.empty() || *end || value > 0xFFFFFFFFull)
            return Fail(line, "bad number " + t.text);
          t.number = static_cast<uint32_t>(value);
        } else if (isalpha(static_cast<unsigned char>(c)) || c == '_') {
          t.kind = Token::Name;
          size_t start = i;
          while (i < text.size() &&
                 (isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_'))
            ++i;
          t.text = text.substr(start, i - start);
        } else if (strchr(",|+-~(){}&", c)) {
          t.kind = Token::Punct;
          t.text = std::string(1, c);
          ++i;
        } else {
          return Fail(line, std::string("unexpected character '") + c + "'");
        }
        out->push_back(t);
      }
    }
    return true;
  }

  // Values of the #define lines read so far, as tokens.
  std::map<std::string, std::vector<Token>> defines;

private:
  bool Directive(const std::string& text, int line, int depth, std::vector<Token>* out) {
    size_t i = text.find_first_not_of(" \t", 1);
    if (i == std::string::npos) return true;
    size_t end = text.find_first_of(" \t", i);
    std::string name = text.substr(i, end == std::string::npos ? std::string::npos : end - i);
    std::string rest = end == std::string::npos ? "" : text.substr(end);
    if (name == "include") {
      size_t open = rest.find('"');
      if (open == std::string::npos) return true; // the platform's own headers
      size_t close = rest.find('"', open + 1);
      if (close == std::string::npos) return Fail(line, "bad #include");
      std::string file = rest.substr(open + 1, close - open - 1);
      auto it = includes_.find(file);
      if (it == includes_.end()) return Fail(line, "cannot find included file " + file);
      std::vector<Token> ignored; // an included header contributes its #defines only
      return Read(it->second, depth + 1, &ignored);
    }
    if (name == "define") {
      size_t n = rest.find_first_not_of(" \t");
      if (n == std::string::npos) return Fail(line, "bad #define");
      size_t e = n;
      while (e < rest.size() && (isalnum(static_cast<unsigned char>(rest[e])) || rest[e] == '_'))
        ++e;
      if (e < rest.size() && rest[e] == '(') return true; // macros with arguments are not used
      std::vector<Token> value;
      if (!Read(rest.substr(e), depth + 1, &value)) return false;
      defines[rest.substr(n, e - n)] = value;
    }
    (void)out;
    return true; // other directives do not change what is read
  }

  bool Fail(int line, const std::string& message) {
    if (error_ && error_->empty()) *error_ = "line " + std::to_string(line) + ": " + message;
    return false;
  }

  const std::map<std::string, std::string>& includes_;
  std::string* error_;
};

// Reads the resource statements from the tokens.
class Parser {
public:
  Parser(const std::vector<Token>& tokens, const std::map<std::string, std::vector<Token>>& defines,
         std::string* error)
      : tokens_(tokens), defines_(defines), error_(error) {}

  bool Parse(std::vector<DialogTemplate>* out) {
    while (Peek().kind != Token::End) {
      Token first = Next();
      if (first.kind == Token::Name && first.text == "LANGUAGE") {
        SkipLine(first.line);
        continue;
      }
      if (first.kind == Token::Name && first.text == "STRINGTABLE") {
        if (!SkipBlock()) return false;
        continue;
      }
      Token type = Next();
      if (type.kind != Token::Name && type.kind != Token::Number)
        return Fail(type.line, "resource type expected");
      if (type.text == "DIALOG" || type.text == "DIALOGEX") {
        DialogTemplate dialog;
        dialog.id = ResourceId(first);
        if (!Dialog(type.text == "DIALOGEX", &dialog)) return false;
        out->push_back(dialog);
      } else if (type.text == "VERSIONINFO" || type.text == "MENU" || type.text == "MENUEX" ||
                 type.text == "ACCELERATORS" || type.text == "RCDATA" ||
                 type.text == "TEXTINCLUDE" || type.text == "DESIGNINFO" ||
                 type.text == "TOOLBAR" || type.text == "DLGINIT") {
        if (!SkipBlock()) return false;
      } else {
        SkipLine(type.line); // resources made from a file
      }
    }
    return true;
  }

private:
  const Token& Peek() const {
    static const Token end;
    return pos_ < tokens_.size() ? tokens_[pos_] : end;
  }
  Token Next() { return pos_ < tokens_.size() ? tokens_[pos_++] : Token(); }
  bool IsPunct(const Token& t, char c) const { return t.kind == Token::Punct && t.text[0] == c; }
  bool IsBegin(const Token& t) const {
    return (t.kind == Token::Name && t.text == "BEGIN") || IsPunct(t, '{');
  }
  bool IsEnd(const Token& t) const {
    return (t.kind == Token::Name && t.text == "END") || IsPunct(t, '}');
  }

  void SkipLine(int line) {
    while (Peek().kind != Token::End && Peek().line == line)
      Next();
  }

  // Skips to the block's BEGIN and past its matching END.
  bool SkipBlock() {
    while (Peek().kind != Token::End && !IsBegin(Peek()))
      Next();
    int depth = 0;
    do {
      Token t = Next();
      if (t.kind == Token::End) return Fail(t.line, "block without END");
      if (IsBegin(t)) ++depth;
      if (IsEnd(t)) --depth;
    } while (depth > 0);
    return true;
  }

  // A numeric id, or a name #defined as one; -1 for a resource known by its name only.
  int ResourceId(const Token& name) {
    if (name.kind == Token::Number) return static_cast<int>(name.number & 0xFFFF);
    uint32_t value = 0;
    if (name.kind == Token::Name && Define(name.text, &value, 0, nullptr))
      return static_cast<int>(value & 0xFFFF);
    return -1;
  }

  bool Define(const std::string& name, uint32_t* value, int depth, std::string* error) {
    auto it = defines_.find(name);
    if (it == defines_.end() || depth > 8) return false;
    Parser inner(it->second, defines_, error);
    inner.depth_ = depth + 1;
    return inner.Expression(value) && inner.Peek().kind == Token::End;
  }

  bool Primary(uint32_t* value) {
    Token t = Next();
    if (t.kind == Token::Number) {
      *value = t.number;
      return true;
    }
    if (IsPunct(t, '-') || IsPunct(t, '~')) {
      if (!Primary(value)) return false;
      *value = IsPunct(t, '-') ? 0u - *value : ~*value;
      return true;
    }
    if (IsPunct(t, '(')) {
      if (!Expression(value)) return false;
      if (!IsPunct(Next(), ')')) return Fail(t.line, "')' expected");
      return true;
    }
    if (t.kind == Token::Name) {
      for (const Constant& c : kConstants)
        if (t.text == c.name) {
          *value = c.value;
          return true;
        }
      if (Define(t.text, value, depth_, error_)) return true;
      return Fail(t.line, "unknown name " + t.text);
    }
    return Fail(t.line, "value expected");
  }

  // Numbers joined with |, +, - and &.
  bool Expression(uint32_t* value) {
    if (!Primary(value)) return false;
    while (Peek().kind == Token::Punct && strchr("|+-&", Peek().text[0])) {
      char op = Next().text[0];
      uint32_t right = 0;
      if (!Primary(&right)) return false;
      *value = op == '|'   ? (*value | right)
               : op == '+' ? *value + right
               : op == '-' ? *value - right
                           : (*value & right);
    }
    return true;
  }

  // A style: terms joined with |, each one adding its bits, or removing them after NOT.
  bool Style(uint32_t start, uint32_t* value) {
    *value = start;
    do {
      bool remove = false;
      if (Peek().kind == Token::Name && Peek().text == "NOT") {
        Next();
        remove = true;
      }
      uint32_t term = 0;
      if (!Primary(&term)) return false;
      *value = remove ? (*value & ~term) : (*value | term);
    } while (IsPunct(Peek(), '|') && (Next(), true));
    return true;
  }

  bool Comma() {
    Token t = Next();
    return IsPunct(t, ',') || Fail(t.line, "',' expected");
  }

  bool Int(int* out) {
    uint32_t v = 0;
    if (!Expression(&v)) return false;
    *out = static_cast<int>(v);
    return true;
  }

  bool Text(std::string* out) {
    Token t = Next();
    if (t.kind != Token::String) return Fail(t.line, "text in quotes expected");
    *out = t.text;
    return true;
  }

  bool Dialog(bool extended, DialogTemplate* d) {
    if (!Int(&d->x) || !Comma() || !Int(&d->y) || !Comma() || !Int(&d->cx) || !Comma() ||
        !Int(&d->cy))
      return false;
    int helpId = 0;
    if (extended && IsPunct(Peek(), ',') && (Next(), !Int(&helpId))) return false;
    uint32_t style = WS_POPUP | WS_BORDER | WS_SYSMENU, added = 0, value = 0;
    for (;;) {
      Token t = Next();
      if (IsBegin(t)) break;
      if (t.kind != Token::Name) return Fail(t.line, "dialog option expected");
      if (t.text == "STYLE") {
        if (!Style(0, &style)) return false;
      } else if (t.text == "EXSTYLE") {
        if (!Expression(&d->exStyle)) return false;
      } else if (t.text == "CAPTION") {
        if (!Text(&d->caption)) return false;
        added |= WS_CAPTION;
      } else if (t.text == "FONT") {
        if (!Int(&d->fontSize) || !Comma() || !Text(&d->fontName)) return false;
        int* more[] = {&d->fontWeight, &d->fontItalic, &d->fontCharset};
        for (int* field : more)
          if (IsPunct(Peek(), ',') && (Next(), !Int(field))) return false;
        added |= DS_SETFONT;
      } else if (t.text == "LANGUAGE") {
        if (!Expression(&value) || !Comma() || !Expression(&value)) return false;
      } else if (t.text == "CHARACTERISTICS" || t.text == "VERSION") {
        if (!Expression(&value)) return false;
      } else if (t.text == "MENU" || t.text == "CLASS") {
        Next();
      } else {
        return Fail(t.line, "unknown dialog option " + t.text);
      }
    }
    d->style = style | added;
    for (;;) {
      Token t = Next();
      if (IsEnd(t)) return true;
      if (t.kind != Token::Name || t.text != "CONTROL")
        return Fail(t.line, t.kind == Token::End ? "dialog without END"
                                                 : "unsupported control statement " + t.text);
      DialogItemTemplate item;
      if (!Text(&item.text) || !Comma() || !Int(&item.id) || !Comma() || !Text(&item.windowClass) ||
          !Comma() || !Style(WS_CHILD | WS_VISIBLE, &item.style) || !Comma() || !Int(&item.x) ||
          !Comma() || !Int(&item.y) || !Comma() || !Int(&item.cx) || !Comma() || !Int(&item.cy))
        return false;
      if (IsPunct(Peek(), ',') && (Next(), !Expression(&item.exStyle))) return false;
      if (IsPunct(Peek(), ',') && (Next(), !Int(&helpId))) return false;
      item.id &= 0xFFFF;
      d->items.push_back(item);
    }
  }

  bool Fail(int line, const std::string& message) {
    if (error_ && error_->empty()) *error_ = "line " + std::to_string(line) + ": " + message;
    return false;
  }

  const std::vector<Token>& tokens_;
  const std::map<std::string, std::vector<Token>>& defines_;
  std::string* error_;
  size_t pos_ = 0;
  int depth_ = 0; // nesting of #define look-ups
};

} // namespace

bool ParseDialogTemplates(const std::string& script,
                          const std::map<std::string, std::string>& includes,
                          std::vector<DialogTemplate>* out, std::string* error) {
  std::string message;
  std::vector<Token> tokens;
  Lexer lexer(includes, &message);
  std::vector<DialogTemplate> dialogs;
  bool ok =
      lexer.Read(script, 0, &tokens) && Parser(tokens, lexer.defines, &message).Parse(&dialogs);
  if (ok && out) *out = dialogs;
  if (error) *error = message;
  return ok;
}

const DialogTemplate* PluginDialogTemplate(int id) {
  static std::vector<DialogTemplate> dialogs;
  static bool parsed = false;
  if (!parsed) {
    parsed = true;
    std::map<std::string, std::string> includes = {
        {"resource.h", dialoghost::PluginResourceHeader()}};
    std::string error;
    if (!ParseDialogTemplates(dialoghost::PluginResourceScript(), includes, &dialogs, &error))
      dialogs.clear();
  }
  for (const DialogTemplate& d : dialogs)
    if (d.id == id) return &d;
  return nullptr;
}

// MulDiv's rounding: to nearest, halves away from zero.
static int Scale(int units, int numerator, int denominator) {
  long long product = static_cast<long long>(units) * numerator;
  long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : -((-product + half) / denominator));
}

int DialogUnitsToPixelsX(int units) {
  return Scale(units, 6, 4);
}
int DialogUnitsToPixelsY(int units) {
  return Scale(units, 13, 8);
}

} // namespace hostsim
