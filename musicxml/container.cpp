#include "container.h"

#include <zip.h>

#include <cstring>
#include <memory>
#include <pugixml.hpp>

namespace musicxml {

namespace {
struct ArchiveCloser {
  void operator()(zip_t* z) const { zip_discard(z); }
};
typedef std::unique_ptr<zip_t, ArchiveCloser> Archive;

// Opens an archive over a buffer; the buffer must outlive it. With a source handed back the
// caller keeps the source alive past zip_close to read what was written into it.
Archive OpenArchive(const void* data, size_t size, zip_source_t** keep, std::string* error) {
  zip_error_t ze;
  zip_error_init(&ze);
  zip_source_t* src = zip_source_buffer_create(data, size, 0, &ze);
  if (!src) {
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

// The largest member read: a size the archive states is not trusted to be sane.
const zip_uint64_t kLargestMember = zip_uint64_t(1) << 31;

bool ReadMember(zip_t* z, const char* name, std::vector<uint8_t>* out, std::string* error) {
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat(z, name, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) {
    *error = std::string("the archive has no ") + name;
    return false;
  }
  if (st.size > kLargestMember) {
    *error = std::string(name) + " in the archive is larger than a score can be (2 GB)";
    return false;
  }
  zip_file_t* f = zip_fopen(z, name, 0);
  if (!f) {
    *error = std::string("cannot open ") + name + " in the archive (" + zip_strerror(z) + ")";
    return false;
  }
  out->assign(st.size, 0);
  zip_int64_t got = st.size ? zip_fread(f, out->data(), st.size) : 0;
  zip_fclose(f);
  if (got < 0 || static_cast<zip_uint64_t>(got) != st.size) {
    *error = std::string("cannot read ") + name + " in the archive (damaged or truncated)";
    return false;
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
  if (!z) return false;
  std::vector<uint8_t> manifest;
  if (!ReadMember(z.get(), "META-INF/container.xml", &manifest, error)) return false;
  pugi::xml_document doc;
  if (!doc.load_buffer(manifest.data(), manifest.size())) {
    *error = "META-INF/container.xml is not well-formed XML";
    return false;
  }
  pugi::xml_node root = doc.child("container").child("rootfiles").child("rootfile");
  *rootPath = root.attribute("full-path").value();
  if (rootPath->empty()) {
    *error = "META-INF/container.xml names no root file";
    return false;
  }
  return ReadMember(z.get(), rootPath->c_str(), rootFile, error);
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
