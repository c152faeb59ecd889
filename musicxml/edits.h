// What writing back changed in a score's document, kept so that saving writes the file's own
// bytes everywhere else. Before an element's children change (a measure gains or loses a note,
// a note a tie or an accidental) it is remembered with its children's places in the file as
// read; saving copies the file and writes anew only what is new or was edited as a whole.
#pragma once
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <pugixml.hpp>

namespace musicxml {

class Edits {
public:
  // Before a node is edited as a whole (its text, attributes or children): written anew.
  void Change(pugi::xml_node node);
  // Before children are added to or removed from an element: those that stay are copied.
  void Reorder(pugi::xml_node element);
  // Before an element's attributes change: its start tag is written anew, its children copied.
  void Retag(pugi::xml_node element);
  // Before a node leaves the document.
  void Forget(pugi::xml_node node);
  bool Empty() const { return !_touched; }

  // Writes the file's text with the edits in place, in the file's encoding (UTF-8 or UTF-16).
  // False, having written nothing, when the file's bytes cannot be matched to the document
  // (another encoding, text the document does not hold as read): the caller then writes the
  // whole document.
  bool Save(const std::vector<uint8_t>& text, pugi::xml_encoding encoding,
            pugi::xml_writer& out) const;

private:
  struct Child {
    pugi::xml_node node;
    ptrdiff_t start; // where it starts in the parsed text (UTF-8)
  };
  struct Parent {
    pugi::xml_node node; // none when it left the document
    ptrdiff_t start = -1;
    std::vector<Child> children; // as read
    ptrdiff_t after = -1;        // where the next node after it starts; -1: the end of the text
    int closings = 1;            // end tags between its last child and there (its own included)
    bool retag = false;          // its attributes changed
  };
  struct Region;
  template <typename Out>
  void WriteChildren(const char* text, size_t index, const std::vector<Region>& regions,
                     Out& out) const;

  std::vector<Parent> _parents;
  std::unordered_map<pugi::xml_node_struct*, size_t> _index; // element -> _parents
  std::unordered_set<pugi::xml_node_struct*> _changed;
  bool _touched = false;
  bool _lost = false; // a place could not be known: saving splices nothing
};

} // namespace musicxml
