#include <cstddef>
#include <cstdint>
#include <string_view>

#include "entries/skeleton_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return tamso::fuzz::FuzzSkeletonFile(std::string_view(reinterpret_cast<const char*>(data), size));
}
