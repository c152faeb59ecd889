#include "container.h"

#include <zip.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <unordered_set>
#include <pugixml.hpp>

namespace musicxml {

namespace {
struct ArchiveCloser {
  void operator()(zip_t* z) const { zip_discard(z); }
};
typedef std::unique_ptr<zip_t, ArchiveCloser> Archive;

// Opens an archive over a buffer; the buffer must outlive it. With a source handed back the
// caller keeps the source alive past zip_close to read what was written into it. An archive
// written into shares the buffer it was made over with what it writes and frees it with free(),
// so that one is made over a copy it owns.
Archive OpenArchive(const void* data, size_t size, zip_source_t** keep, std::string* error) {
  zip_error_t ze;
  zip_error_init(&ze);
  void* own = keep ? malloc(size ? size : 1) : nullptr;
  if (keep && !own) {
    *error = "not enough memory for the archive";
    return nullptr;
  }
  if (own && size) memcpy(own, data, size);
  zip_source_t* src = zip_source_buffer_create(own ? own : data, size, own ? 1 : 0, &ze);
  if (!src) {
    free(own);
    *error = zip_error_strerror(&ze);
    zip_error_fini(&ze);
    return nullptr;
  }
  if (keep) zip_source_keep(src);
  zip_t* z = zip_open_from_source(src, 0, &ze);
  if (!z) {
    *error = std::string("not a readable zip archive (") + zip_error_strerror(&ze) + ")";
    zip_error_fini(&ze);
    zip_source_free(src);
    if (keep) zip_source_free(src);
    return nullptr;
  }
  zip_error_fini(&ze);
  if (keep) *keep = src;
  return Archive(z);
}

// What an archive may unpack to, all members read together: a few packed bytes can claim or
// unpack to gigabytes (a zip bomb). Scores compress some ten to thirty times; any archive may
// unpack to kAlwaysAllowed, a larger one to kMostRatio times its own size, none past kMostUnpacked.
const zip_uint64_t kAlwaysAllowed = zip_uint64_t(32) << 20;
const zip_uint64_t kMostRatio = 100;
const zip_uint64_t kMostUnpacked = zip_uint64_t(512) << 20;
// The container file names the score and no more: a few hundred bytes.
const zip_uint64_t kLargestManifest = zip_uint64_t(1) << 20;

std::string Megabytes(zip_uint64_t bytes) {
  return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MB";
}

// Reads a member, at most *budget bytes (taken off it): reading stops as soon as the member
// passes the budget or the size the archive declares for it, neither of which it may pass.
// The message for one past the budget says why the budget is what it is.
bool ReadMember(zip_t* z, const char* name, zip_uint64_t* budget, const std::string& why,
                std::vector<uint8_t>* out, std::string* error) {
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat(z, name, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) {
    *error = std::string("the archive has no ") + name;
    return false;
  }
  std::string tooLarge = std::string(name) + " in the archive unpacks to more than " +
                         Megabytes(*budget) + " (" + why +
                         "): not read, as a damaged or hostile archive";
  if (st.size > *budget) {
    *error = tooLarge;
    return false;
  }
  zip_file_t* f = zip_fopen(z, name, 0);
  if (!f) {
    *error = std::string("cannot open ") + name + " in the archive (" + zip_strerror(z) + ")";
    return false;
  }
  // The size the archive declares is not trusted to allocate by: the member is taken as it
  // comes, counted as it comes, and must end at that size.
  out->clear();
  uint8_t chunk[65536];
  zip_int64_t got = 0;
  while (out->size() <= st.size && (got = zip_fread(f, chunk, sizeof chunk)) > 0) {
    if (out->size() + static_cast<zip_uint64_t>(got) > *budget) {
      zip_fclose(f);
      out->clear();
      *error = tooLarge;
      return false;
    }
    out->insert(out->end(), chunk, chunk + got);
  }
  zip_fclose(f);
  if (got < 0 || out->size() != st.size) {
    *error = std::string("cannot read ") + name + " in the archive (damaged or truncated)";
    return false;
  }
  *budget -= out->size();
  return true;
}

// False with a message when two members have the same name: which of them a reader takes is
// not the archive's to say, and the one written back might not be the one read.
bool NamesOnce(zip_t* z, std::string* error) {
  zip_int64_t count = zip_get_num_entries(z, 0);
  std::unordered_set<std::string> seen;
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* name = zip_get_name(z, static_cast<zip_uint64_t>(i), 0);
    if (name && !seen.insert(name).second) {
      *error = std::string("the archive holds two members named \"") + name +
               "\": which is the score cannot be told, so it is not read";
      return false;
    }
  }
  return true;
}
} // namespace

bool LooksZipped(const std::vector<uint8_t>& bytes) {
  return bytes.size() >= 4 && bytes[0] == 'P' && bytes[1] == 'K' && bytes[2] == 3 && bytes[3] == 4;
}

bool ReadContainer(const std::vector<uint8_t>& archive, std::string* rootPath,
                   std::vector<uint8_t>* rootFile, std::string* error) {
  Archive z = OpenArchive(archive.data(), archive.size(), nullptr, error);
  if (!z || !NamesOnce(z.get(), error)) return false;
  zip_uint64_t budget =
      std::min(kMostUnpacked, std::max(kAlwaysAllowed, kMostRatio * archive.size()));
  zip_uint64_t manifestBudget = std::min(budget, kLargestManifest);
  std::vector<uint8_t> manifest;
  if (!ReadMember(z.get(), "META-INF/container.xml", &manifestBudget,
                  "a container file names the score in a few hundred bytes", &manifest, error))
    return false;
  budget -= manifest.size();
  pugi::xml_document doc;
  pugi::xml_parse_result parsed = doc.load_buffer(manifest.data(), manifest.size());
  if (parsed.status == pugi::status_out_of_memory) throw std::bad_alloc();
  if (!parsed) {
    *error = "META-INF/container.xml is not well-formed XML";
    return false;
  }
  pugi::xml_node root = doc.child("container").child("rootfiles").child("rootfile");
  *rootPath = root.attribute("full-path").value();
  if (rootPath->empty()) {
    *error = "META-INF/container.xml names no root file";
    return false;
  }
  std::string why = "an archive may unpack to " + Megabytes(kAlwaysAllowed) + " or " +
                    std::to_string(kMostRatio) + " times its own size, never past " +
                    Megabytes(kMostUnpacked);
  return ReadMember(z.get(), rootPath->c_str(), &budget, why, rootFile, error);
}

bool ReplaceRootFile(const std::vector<uint8_t>& archive, const std::string& rootPath,
                     const std::vector<uint8_t>& contents, std::vector<uint8_t>* out,
                     std::string* error) {
  zip_source_t* written = nullptr;
  Archive z = OpenArchive(archive.data(), archive.size(), &written, error);
  if (!z) return false;
  std::unique_ptr<zip_source_t, void (*)(zip_source_t*)> keep(written, zip_source_free);
  zip_int64_t index = zip_name_locate(z.get(), rootPath.c_str(), 0);
  // The score keeps its member's time stamp, so the same file and task give the same bytes
  // (here and on the web page) rather than ones stamped with the moment of writing.
  zip_stat_t was;
  zip_stat_init(&was);
  bool stamped =
      index >= 0 && zip_stat_index(z.get(), index, 0, &was) == 0 && (was.valid & ZIP_STAT_MTIME);
  zip_source_t* data = zip_source_buffer(z.get(), contents.data(), contents.size(), 0);
  if (index < 0 || !data || zip_file_replace(z.get(), index, data, 0) != 0) {
    if (data) zip_source_free(data);
    *error = std::string("cannot replace the score in the archive (") + zip_strerror(z.get()) + ")";
    return false;
  }
  if (stamped && zip_file_set_mtime(z.get(), index, was.mtime, 0) != 0) {
    *error = std::string("cannot date the score in the archive (") + zip_strerror(z.get()) + ")";
    return false;
  }
  if (zip_close(z.get()) != 0) {
    *error = std::string("cannot write the archive (") + zip_strerror(z.get()) + ")";
    return false;
  }
  z.release(); // closed
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_source_stat(written, &st) != 0 || zip_source_open(written) != 0) {
    *error = "cannot read the written archive back";
    return false;
  }
  out->assign(st.size, 0);
  zip_int64_t got = st.size ? zip_source_read(written, out->data(), st.size) : 0;
  zip_source_close(written);
  if (got < 0 || static_cast<zip_uint64_t>(got) != st.size) {
    *error = "cannot read the written archive back";
    return false;
  }
  return true;
}

} // namespace musicxml
