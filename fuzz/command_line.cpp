#include <cstddef>
#include <cstdint>
#include <string_view>

#include "entries/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return tamso::fuzz::FuzzCommandLine(std::string_view(reinterpret_cast<const char*>(data), size));
}
