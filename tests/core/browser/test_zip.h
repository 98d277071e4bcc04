#pragma once
// Small zip archives written by the tests, with libzip.
#include <zip.h>

#include <string>
#include <utility>
#include <vector>

namespace tamso::testing {

using ZipEntries = std::vector<std::pair<std::string, std::string>>;  // name, bytes

// Writes the entries to path; stored uncompressed when store is set, so that a test
// can find an entry's bytes in the file and damage them.
inline bool WriteZip(const std::string& path, const ZipEntries& entries, bool store = false) {
  int code = 0;
  zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (!z) return false;
  for (const auto& [name, bytes] : entries) {
    zip_source_t* s = zip_source_buffer(z, bytes.data(), bytes.size(), 0);
    const zip_int64_t i = s ? zip_file_add(z, name.c_str(), s, ZIP_FL_ENC_UTF_8) : -1;
    if (i < 0) {
      if (s) zip_source_free(s);
      zip_discard(z);
      return false;
    }
    if (store) zip_set_file_compression(z, static_cast<zip_uint64_t>(i), ZIP_CM_STORE, 0);
  }
  return zip_close(z) == 0;
}

}  // namespace tamso::testing
