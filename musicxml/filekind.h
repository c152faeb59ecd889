// What a file that is not a MusicXML score appears to be, from its first bytes and its name:
// a PDF, a picture, a sound or MIDI file, a notation program's own format, a zip archive with
// no score in it. Asked before parsing, so that a musician who picked the wrong file hears what
// the file is and how to get a score from it instead of an XML parser's complaint.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace musicxml {

// Empty when the bytes may hold a MusicXML score (XML text, or an archive with a container
// file); otherwise one sentence saying what the file appears to be and what to do, without
// the file name (the caller puts it first).
std::string NotAScore(const std::vector<uint8_t>& bytes, const std::string& fileName);

} // namespace musicxml
