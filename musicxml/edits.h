// What writing back changed in a score's document, kept so that saving writes the file's own
// bytes everywhere else: each element whose children change (a measure whose notes are edited,
// added or removed) is remembered with its children's places in the file as read, before its
// first edit; saving copies the file and writes anew only the children that are new or edited,
// and of an edited note only its parts that print differently from when it was read.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <pugixml.hpp>

namespace musicxml {

class Edits {
public:
  // Before a node is edited: it will be written anew, and its parent's children remembered.
  void Change(pugi::xml_node node);
  // Before children are added to or removed from a parent: its children remembered as read.
  void Reorder(pugi::xml_node parent);
  // Before a child of a parent remembered is removed from the document.
  void Forget(pugi::xml_node node);
  bool Empty() const { return _parents.empty(); }

  // Writes the file's text with the edited children in place of theirs, in the file's
  // encoding (UTF-8 or UTF-16). False, having written nothing, when the file's bytes cannot be
  // matched to the document (another encoding, text the document does not hold as read): the
  // caller then writes the whole document.
  bool Save(const std::vector<uint8_t>& text, pugi::xml_encoding encoding,
            pugi::xml_writer& out) const;

private:
  struct Child {
    pugi::xml_node node;
    ptrdiff_t start; // where it starts in the parsed text (UTF-8)
  };
  struct Parent {
    pugi::xml_node node;
    std::vector<Child> children; // as read
    ptrdiff_t after = -1;        // where the next node after it starts; -1: the end of the text
    int closings = 1;            // end tags between its last child and there (its own included)
  };
  struct Inner {
    std::string attributes;           // its attributes when read
    std::vector<Child> children;      // as read
    std::vector<std::string> printed; // each child as printed when read
  };
  // An element edited, written with the children that print as they did copied from the file.
  template <typename Out>
  bool SaveInner(const char* text, size_t size, const pugi::xml_node& node, const Inner& inner,
                 size_t from, size_t to, Out& out) const;

  std::vector<Parent> _parents;
  std::unordered_map<pugi::xml_node_struct*, Inner> _inner;  // elements edited, as read
  std::unordered_map<pugi::xml_node_struct*, size_t> _index; // parent -> _parents
  std::unordered_set<pugi::xml_node_struct*> _changed;
  bool _lost = false; // a place could not be known: saving splices nothing
};

} // namespace musicxml
