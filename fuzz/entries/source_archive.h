#pragma once
// Opens the input as a zip of sources, from memory and from a file on the source
// path, looks class sources up in it and reads what it finds, checking that a hit
// names the file asked for (at the top or under one folder) and that no read hands
// back more than it was allowed.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "browser/source_archive.h"
#include "browser/source_path.h"
#include "scratch_file.h"

namespace tamso::fuzz {

inline int FuzzSourceArchive(std::string_view input) {
  constexpr std::uint64_t kLimit = 1 << 20;
  static const char* const kNames[] = {"java/lang/String.java", "A.java", "a/b.java", "x"};
  auto archive = tamso::SourceArchive::OpenBytes(std::string(input), nullptr);
  if (archive) {
    for (const char* name : kNames) {
      const std::string relative(name);
      const auto entry = archive->Find(relative);
      if (!entry) continue;
      if (*entry != relative) {
        const std::size_t slash = entry->find('/');
        if (slash == std::string::npos || slash == 0 || entry->substr(slash + 1) != relative)
          std::abort();
        const std::string folder = entry->substr(0, slash);
        if (folder == "." || folder == "..") std::abort();
      }
      std::string bytes = "untouched";
      std::string error;
      if (archive->Read(*entry, kLimit, bytes, &error)) {
        if (bytes.size() > kLimit) std::abort();
      } else if (error.empty() || bytes != "untouched") {
        std::abort();
      }
    }
  }
  // The same bytes as an archive on the source path, found through the index cache.
  const std::string& path = ScratchPath("src.zip");
  WriteScratch(path, input);
  const tamso::SourceHit hit = tamso::FindSourceFile(".;" + path, "java/lang/String");
  if (hit.Found() && (hit.path != path || hit.entry.size() < 21)) std::abort();
  return 0;
}

}  // namespace tamso::fuzz
