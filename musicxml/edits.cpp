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

// An element's attributes, names and values, for telling whether they changed.
std::string Attributes(const pugi::xml_node& n) {
  std::string text;
  for (pugi::xml_attribute a : n.attributes()) {
    text += a.name();
    text += '\0';
    text += a.value();
    text += '\0';
  }
  return text;
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

void Edits::Reorder(pugi::xml_node parent) {
  if (!parent || _index.count(parent.internal_object())) return;
  _index[parent.internal_object()] = _parents.size();
  _parents.emplace_back();
  Parent& p = _parents.back();
  p.node = parent;
  for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
    p.children.push_back({c, Start(c)});
    if (p.children.back().start < 0) _lost = true;
  }
  if (p.children.empty() || parent.type() != pugi::node_element) _lost = true;
  // Its end tag: the end tags that stand before the next node after it, counted back.
  pugi::xml_node n = parent;
  while (!n.next_sibling() && n.parent().type() == pugi::node_element) {
    n = n.parent();
    ++p.closings;
  }
  if (pugi::xml_node next = n.next_sibling()) {
    p.after = Start(next);
    if (p.after < 0) _lost = true;
  }
}

void Edits::Change(pugi::xml_node node) {
  Reorder(node.parent());
  if (!_changed.insert(node.internal_object()).second) return;
  // An element as read: its children too, so that saving copies those that stay the same.
  if (node.type() != pugi::node_element || !node.first_child() || Start(node) < 0) return;
  Inner inner;
  inner.attributes = Attributes(node);
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
    inner.children.push_back({c, Start(c)});
    inner.printed.push_back(Printed(c));
    if (inner.children.back().start < 0) return;
  }
  _inner.emplace(node.internal_object(), std::move(inner));
}

void Edits::Forget(pugi::xml_node node) {
  _changed.erase(node.internal_object());
  _inner.erase(node.internal_object());
  auto found = _index.find(node.parent().internal_object());
  if (found == _index.end()) return;
  for (Child& c : _parents[found->second].children)
    if (c.node == node) c.node = pugi::xml_node();
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

  // Each parent's children span [begin, end) of the text; checked against the document, so
  // that a place found wrong writes the whole document rather than a damaged file.
  struct Region {
    size_t begin, end;
    const Parent* parent;
    std::vector<size_t> ends; // of each child as read
  };
  std::vector<Region> regions;
  for (const Parent& p : _parents) {
    ptrdiff_t end = p.after;
    if (end < 0) end = LastBefore(text, size, '>') + 1;
    if (end <= 0 || static_cast<size_t>(end) > size) return false;
    for (int i = 0; i < p.closings && end >= 0; ++i)
      end = LastBefore(text, static_cast<size_t>(end), '<');
    if (!EndTagAt(text, size, end, p.node.name())) return false;
    Region r{static_cast<size_t>(p.children[0].start), static_cast<size_t>(end), &p, {}};
    if (!Ends(text, p.children, r.end, &r.ends)) return false;
    regions.push_back(std::move(r));
  }
  std::sort(regions.begin(), regions.end(),
            [](const Region& a, const Region& b) { return a.begin < b.begin; });
  for (size_t i = 1; i < regions.size(); ++i)
    if (regions[i].begin < regions[i - 1].end) return false;

  Output o(out, encoding);
  size_t at = 0;
  for (const Region& r : regions) {
    o.Write(text + at, r.begin - at);
    const std::vector<Child>& read = r.parent->children;
    std::unordered_map<pugi::xml_node_struct*, size_t> kept; // children as read, still there
    for (size_t k = 0; k < read.size(); ++k)
      if (read[k].node) kept[read[k].node.internal_object()] = k;
    for (pugi::xml_node c = r.parent->node.first_child(); c; c = c.next_sibling()) {
      auto found = kept.find(c.internal_object());
      if (found != kept.end()) {
        size_t from = static_cast<size_t>(read[found->second].start);
        if (!_changed.count(c.internal_object())) {
          o.Write(text + from, r.ends[found->second] - from);
          continue;
        }
        auto inner = _inner.find(c.internal_object());
        if (inner != _inner.end() &&
            SaveInner(text, size, c, inner->second, from, r.ends[found->second], o))
          continue;
      }
      std::string made = Printed(c);
      o.Write(made.data(), made.size());
    }
    at = r.end;
  }
  o.Write(text + at, size - at);
  o.Flush();
  return true;
}

template <typename Out>
bool Edits::SaveInner(const char* text, size_t size, const pugi::xml_node& node, const Inner& inner,
                      size_t from, size_t to, Out& o) const {
  ptrdiff_t end = LastBefore(text, to, '<');
  std::vector<size_t> ends;
  if (!EndTagAt(text, size, end, node.name()) || text[from] != '<' ||
      static_cast<size_t>(inner.children[0].start) <= from ||
      !Ends(text, inner.children, static_cast<size_t>(end), &ends))
    return false;
  std::unordered_map<pugi::xml_node_struct*, size_t> read;
  for (size_t k = 0; k < inner.children.size(); ++k)
    read[inner.children[k].node.internal_object()] = k;
  if (Attributes(node) == inner.attributes) {
    o.Write(text + from, static_cast<size_t>(inner.children[0].start) - from);
  } else {
    std::string tag = StartTag(node);
    o.Write(tag.data(), tag.size());
  }
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
    std::string made = Printed(c);
    auto found = read.find(c.internal_object());
    if (found != read.end() && inner.printed[found->second] == made) {
      size_t at = static_cast<size_t>(inner.children[found->second].start);
      o.Write(text + at, ends[found->second] - at);
    } else {
      o.Write(made.data(), made.size());
    }
  }
  o.Write(text + end, to - static_cast<size_t>(end));
  return true;
}

} // namespace musicxml
