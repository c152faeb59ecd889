// Compressed scores (.mxl) from the fuzzer through the archive reader and writer, alone: any
// input ends with the score taken out or a message, never unpacking past the bounds; a score
// taken out can be replaced, and the archive written back reads back with the new score.
#include <algorithm>
#include <string>
#include <vector>

#include "container.h"
#include "fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> archive(data, data + size);
  std::string rootPath, error;
  std::vector<uint8_t> score;
  if (!musicxml::ReadContainer(archive, &rootPath, &score, &error)) {
    FUZZ_CHECK(!error.empty());
    FUZZ_CHECK(error.size() < 4096); // a message, not a member's contents
    return 0;
  }
  FUZZ_CHECK(!rootPath.empty());
  const size_t unpacked = std::min<size_t>(512 << 20, std::max<size_t>(32 << 20, 100 * size));
  FUZZ_CHECK(score.size() <= unpacked);

  std::vector<uint8_t> replaced(score.begin(), score.begin() + std::min<size_t>(score.size(), 64));
  replaced.push_back('!');
  std::vector<uint8_t> written;
  if (!musicxml::ReplaceRootFile(archive, rootPath, replaced, &written, &error)) {
    FUZZ_CHECK(!error.empty());
    return 0;
  }
  std::string again;
  std::vector<uint8_t> back;
  FUZZ_CHECK(musicxml::ReadContainer(written, &again, &back, &error));
  FUZZ_CHECK(again == rootPath);
  FUZZ_CHECK(back == replaced);
  return 0;
}
