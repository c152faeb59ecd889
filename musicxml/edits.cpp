#include "edits.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace musicxml {

namespace {

// Where a node starts in the parsed text: offset_debug() gives where its name or value
// starts, after the markup that opens it. -1 when it is not known (made or renamed since).
ptrdiff_t Start(const pugi::xml_node& n) {
  ptrdiff_t at = n.offset_debug();
  if (at < 0) return -1;
  switch (n.type()) {
  case pugi::node_element:
    return at - 1; // <name
  case pugi::node_pi:
    return at - 2; // <?name
  case pugi::node_pcdata:
    return at;
  case pugi::node_comment:
    return at - 4; // <!--
  case pugi::node_cdata:
    return at - 9; // <![CDATA[
  default:
    return -1; // declarations and DOCTYPEs stand only before the root
  }
}

// A text from a file in UTF-16 as the UTF-8 the document was parsed from: false when it holds
// a lone surrogate, which a UTF-8 text cannot give back.
bool Utf16ToUtf8(const std::vector<uint8_t>& in, bool bigEndian, std::string* out) {
  out->reserve(in.size() / 2 * 3 / 2 + 16);
  size_t units = in.size() / 2;
  auto unit = [&](size_t i) -> uint32_t {
    return bigEndian ? (in[2 * i] << 8 | in[2 * i + 1]) : (in[2 * i + 1] << 8 | in[2 * i]);
  };
  for (size_t i = 0; i < units; ++i) {
    uint32_t c = unit(i);
    if (c >= 0xDC00 && c < 0xE000) return false;
    if (c >= 0xD800 && c < 0xDC00) {
      uint32_t low = i + 1 < units ? unit(i + 1) : 0;
      if (low < 0xDC00 || low >= 0xE000) return false;
      c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      ++i;
    }
    if (c < 0x80) {
      *out += static_cast<char>(c);
    } else if (c < 0x800) {
      *out += static_cast<char>(0xC0 | c >> 6);
      *out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      *out += static_cast<char>(0xE0 | c >> 12);
      *out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      *out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      *out += static_cast<char>(0xF0 | c >> 18);
      *out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      *out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      *out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return in.size() % 2 == 0;
}

// Passes UTF-8 on as the file's encoding: UTF-8 as it is, UTF-16 in the file's byte order.
// Every piece given is whole characters (the file's own text cut at markup, or a node).
class Output {
public:
  Output(pugi::xml_writer& out, pugi::xml_encoding encoding) : _out(out), _encoding(encoding) {}
  ~Output() { Flush(); }

  // Pieces are many and small (a note, the indentation before it): passed on in blocks.
  void Write(const char* data, size_t size) {
    if (_encoding == pugi::encoding_utf8) {
      if (_block.size() + size > kBlock) Flush();
      if (size >= kBlock)
        _out.write(data, size);
      else
        _block.append(data, size);
      return;
    }
    bool big = _encoding == pugi::encoding_utf16_be;
    _wide.clear();
    const uint8_t* p = reinterpret_cast<const uint8_t*>(data);
    const uint8_t* end = p + size;
    while (p < end) {
      uint32_t c = *p++;
      int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
      c &= more == 3 ? 0x07 : more == 2 ? 0x0F : more == 1 ? 0x1F : 0x7F;
      for (; more > 0 && p < end; --more)
        c = c << 6 | (*p++ & 0x3F);
      if (c >= 0x10000) {
        Unit(0xD800 + ((c - 0x10000) >> 10), big);
        Unit(0xDC00 + ((c - 0x10000) & 0x3FF), big);
      } else {
        Unit(c, big);
      }
    }
    if (_block.size() + _wide.size() > kBlock) Flush();
    _block += _wide;
  }

  void Flush() {
    if (!_block.empty()) _out.write(_block.data(), _block.size());
    _block.clear();
  }

private:
  static const size_t kBlock = 65536;
  void Unit(uint32_t u, bool big) {
    char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    _wide += big ? hi : lo;
    _wide += big ? lo : hi;
  }
  pugi::xml_writer& _out;
  pugi::xml_encoding _encoding;
  std::string _wide, _block;
};

struct StringWriter : pugi::xml_writer {
  std::string text;
  void write(const void* data, size_t size) override {
    text.append(static_cast<const char*>(data), size);
  }
};

bool IsNameChar(char c) {
  return !strchr(" \t\r\n/>", c);
}

std::string Printed(const pugi::xml_node& n) {
  StringWriter w;
  n.print(w, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
  return w.text;
}

// An element's start tag as the document now has it.
std::string StartTag(const pugi::xml_node& n) {
  pugi::xml_document alone;
  pugi::xml_node copy = alone.append_child(n.name());
  for (pugi::xml_attribute a : n.attributes())
    copy.append_attribute(a.name()) = a.value();
  std::string tag = Printed(copy); // <name .../>
  if (tag.size() >= 2 && tag.compare(tag.size() - 2, 2, "/>") == 0)
    tag.replace(tag.size() - 2, 2, ">");
  return tag;
}

// Where each child ends, the last where its parent's end tag starts; false when the text there
// does not hold the children as the document has them (markup where it says, no markup inside
// text).
template <typename Children>
bool Ends(const char* text, const Children& children, size_t end, std::vector<size_t>* ends) {
  for (size_t i = 0; i < children.size(); ++i) {
    size_t from = static_cast<size_t>(children[i].start);
    size_t to = i + 1 < children.size() ? static_cast<size_t>(children[i + 1].start) : end;
    if (to <= from || to > end) return false;
    const pugi::xml_node& n = children[i].node;
    pugi::xml_node_type type = n ? n.type() : pugi::node_pcdata;
    if (type == pugi::node_pcdata) {
      if (n && memchr(text + from, '<', to - from)) return false;
    } else if (text[from] != '<' || text[to - 1] != '>') {
      return false;
    } else if (type == pugi::node_element) {
      size_t length = strlen(n.name());
      if (from + 1 + length >= to || memcmp(text + from + 1, n.name(), length) != 0 ||
          IsNameChar(text[from + 1 + length]))
        return false;
    }
    ends->push_back(to);
  }
  return true;
}

// Whether an element's end tag starts at `at`.
bool EndTagAt(const char* text, size_t size, ptrdiff_t at, const char* name) {
  size_t length = strlen(name);
  return at >= 0 && static_cast<size_t>(at) + 2 + length < size && text[at] == '<' &&
         text[at + 1] == '/' && memcmp(text + at + 2, name, length) == 0 &&
         !IsNameChar(text[at + 2 + length]);
}

ptrdiff_t LastBefore(const char* text, size_t at, char c) {
  while (at > 0)
    if (text[--at] == c) return static_cast<ptrdiff_t>(at);
  return -1;
}

} // namespace

struct Edits::Region {
  size_t begin = 0, end = 0; // its children, up to its end tag
  std::vector<size_t> ends;  // of each child as read
  bool nested = false;       // inside another element remembered: written with it
};

void Edits::Reorder(pugi::xml_node element) {
  _touched = true;
  if (element.type() != pugi::node_element || _index.count(element.internal_object())) return;
  ptrdiff_t start = Start(element);
  if (start < 0) return; // made by writing back: written whole
  if (!element.first_child()) {
    Change(element); // nothing to copy from inside it
    return;
  }
  // Its end tag: the end tags that stand before the next node after it, counted back. Taken
  // from its parent's children as read when they are remembered: its neighbours may have gone.
  ptrdiff_t after = -1;
  int closings = 1;
  auto known = _index.find(element.parent().internal_object());
  if (known != _index.end()) {
    const Parent& up = _parents[known->second];
    auto at = std::lower_bound(up.children.begin(), up.children.end(), start,
                               [](const Child& c, ptrdiff_t s) { return c.start < s; });
    if (at == up.children.end() || at->start != start) {
      _lost = true;
    } else if (at + 1 != up.children.end()) {
      after = (at + 1)->start;
    } else {
      after = up.after;
      closings = up.closings + 1;
    }
  } else {
    pugi::xml_node n = element;
    while (!n.next_sibling() && n.parent().type() == pugi::node_element) {
      n = n.parent();
      ++closings;
    }
    if (pugi::xml_node next = n.next_sibling()) {
      after = Start(next);
      if (after < 0) _lost = true;
    }
  }
  _index[element.internal_object()] = _parents.size();
  _parents.emplace_back();
  Parent& p = _parents.back();
  p.node = element;
  p.start = start;
  p.after = after;
  p.closings = closings;
  for (pugi::xml_node c = element.first_child(); c; c = c.next_sibling()) {
    p.children.push_back({c, Start(c)});
    if (p.children.back().start < 0) _lost = true;
  }
}

void Edits::Change(pugi::xml_node node) {
  _touched = true;
  Reorder(node.parent());
  _changed.insert(node.internal_object());
}

void Edits::Retag(pugi::xml_node element) {
  Reorder(element.parent());
  Reorder(element);
  auto found = _index.find(element.internal_object());
  if (found != _index.end()) _parents[found->second].retag = true;
}

void Edits::Forget(pugi::xml_node node) {
  auto found = _index.find(node.parent().internal_object());
  ptrdiff_t start = Start(node);
  if (found != _index.end() && start >= 0) {
    std::vector<Child>& read = _parents[found->second].children;
    auto at = std::lower_bound(read.begin(), read.end(), start,
                               [](const Child& c, ptrdiff_t s) { return c.start < s; });
    if (at != read.end() && at->node == node) at->node = pugi::xml_node();
  }
  // It and everything in it: no longer to be found by what they were.
  struct Walker : pugi::xml_tree_walker {
    Edits* edits;
    bool for_each(pugi::xml_node& n) override {
      edits->_changed.erase(n.internal_object());
      auto at = edits->_index.find(n.internal_object());
      if (at != edits->_index.end()) {
        edits->_parents[at->second].node = pugi::xml_node();
        edits->_index.erase(at);
      }
      return true;
    }
  } walker;
  walker.edits = this;
  pugi::xml_node self = node;
  walker.for_each(self);
  node.traverse(walker);
}

bool Edits::Save(const std::vector<uint8_t>& file, pugi::xml_encoding encoding,
                 pugi::xml_writer& out) const {
  if (_lost) return false;
  std::string decoded;
  const char* text = reinterpret_cast<const char*>(file.data());
  size_t size = file.size();
  if (encoding == pugi::encoding_utf16_le || encoding == pugi::encoding_utf16_be) {
    if (!Utf16ToUtf8(file, encoding == pugi::encoding_utf16_be, &decoded)) return false;
    text = decoded.data();
    size = decoded.size();
  } else if (encoding != pugi::encoding_utf8) {
    return false;
  }

  // Where each element remembered has its children and end tag; checked against the document,
  // so that a place found wrong writes the whole document rather than a damaged file.
  std::vector<Region> regions(_parents.size());
  std::vector<size_t> top;
  for (size_t i = 0; i < _parents.size(); ++i) {
    const Parent& p = _parents[i];
    if (!p.node) continue;
    ptrdiff_t end = p.after;
    if (end < 0) end = LastBefore(text, size, '>') + 1;
    if (end <= 0 || static_cast<size_t>(end) > size) return false;
    for (int k = 0; k < p.closings && end >= 0; ++k)
      end = LastBefore(text, static_cast<size_t>(end), '<');
    Region& r = regions[i];
    r.begin = static_cast<size_t>(p.children[0].start);
    r.end = static_cast<size_t>(end);
    size_t name = strlen(p.node.name());
    if (!EndTagAt(text, size, end, p.node.name()) || text[p.start] != '<' ||
        static_cast<size_t>(p.start) + 1 + name > r.begin ||
        memcmp(text + p.start + 1, p.node.name(), name) != 0 ||
        !Ends(text, p.children, r.end, &r.ends))
      return false;
    for (pugi::xml_node a = p.node.parent(); a && !r.nested; a = a.parent())
      r.nested = _index.count(a.internal_object()) > 0;
    if (!r.nested) top.push_back(i);
  }
  // An element remembered inside another lies within its place there.
  for (size_t i = 0; i < _parents.size(); ++i) {
    const Parent& p = _parents[i];
    auto up = p.node ? _index.find(p.node.parent().internal_object()) : _index.end();
    if (up == _index.end()) continue;
    const std::vector<Child>& siblings = _parents[up->second].children;
    auto at = std::lower_bound(siblings.begin(), siblings.end(), p.start,
                               [](const Child& c, ptrdiff_t s) { return c.start < s; });
    if (at == siblings.end() || at->start != p.start ||
        regions[i].end >= regions[up->second].ends[at - siblings.begin()])
      return false;
  }
  std::sort(top.begin(), top.end(),
            [&regions](size_t a, size_t b) { return regions[a].begin < regions[b].begin; });
  for (size_t i = 1; i < top.size(); ++i)
    if (regions[top[i]].begin < regions[top[i - 1]].end) return false;

  Output o(out, encoding);
  size_t at = 0;
  for (size_t i : top) {
    o.Write(text + at, regions[i].begin - at);
    WriteChildren(text, i, regions, o);
    at = regions[i].end;
  }
  o.Write(text + at, size - at);
  o.Flush();
  return true;
}

// An element's children as they now stand: those as read copied from the file (matched by
// where the document says they start, which no node made since has), elements remembered
// written the same way inside their own tags, everything else printed.
template <typename Out>
void Edits::WriteChildren(const char* text, size_t index, const std::vector<Region>& regions,
                          Out& o) const {
  const Parent& p = _parents[index];
  const Region& r = regions[index];
  size_t k = 0;
  for (pugi::xml_node c = p.node.first_child(); c; c = c.next_sibling()) {
    ptrdiff_t start = Start(c);
    while (start >= 0 && k < p.children.size() && p.children[k].start < start)
      ++k;
    bool read = start >= 0 && k < p.children.size() && p.children[k].start == start &&
                p.children[k].node == c;
    // Only elements are ever edited or remembered: text as read is copied without a look-up.
    bool element = c.type() == pugi::node_element;
    if (read && !(element && _changed.count(c.internal_object()))) {
      auto inner = element ? _index.find(c.internal_object()) : _index.end();
      if (inner == _index.end()) {
        o.Write(text + start, r.ends[k] - static_cast<size_t>(start));
        continue;
      }
      const Parent& q = _parents[inner->second];
      const Region& qr = regions[inner->second];
      if (q.retag) {
        std::string tag = StartTag(c);
        o.Write(tag.data(), tag.size());
      } else {
        o.Write(text + start, qr.begin - static_cast<size_t>(start));
      }
      WriteChildren(text, inner->second, regions, o);
      o.Write(text + qr.end, r.ends[k] - qr.end);
      continue;
    }
    std::string made = Printed(c);
    o.Write(made.data(), made.size());
  }
}

} // namespace musicxml
