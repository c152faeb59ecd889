// The compressed MusicXML container (.mxl): a zip archive whose META-INF/container.xml names
// the score's root file. Reading takes the root file out; writing replaces it in a copy of the
// same archive, every other member kept as it was.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace musicxml {

// True when the bytes start like a zip archive.
bool LooksZipped(const std::vector<uint8_t>& bytes);

// Takes the root file out of the archive: its path inside and its bytes. False with a message
// (no file name; the caller adds it) when the archive or its container file is broken; throws
// std::bad_alloc when memory runs out.
bool ReadContainer(const std::vector<uint8_t>& archive, std::string* rootPath,
                   std::vector<uint8_t>* rootFile, std::string* error);

// A copy of the archive with the root file's contents replaced.
bool ReplaceRootFile(const std::vector<uint8_t>& archive, const std::string& rootPath,
                     const std::vector<uint8_t>& contents, std::vector<uint8_t>* out,
                     std::string* error);

} // namespace musicxml
