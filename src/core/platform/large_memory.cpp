#include "platform/large_memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace tamso {

namespace {

constexpr std::size_t kLargeMemoryFrom = std::size_t{1} << 20;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t MappedLength(std::size_t bytes) {
  return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

}  // namespace

void* AllocateLarge(std::size_t bytes) {
  if (bytes < kLargeMemoryFrom) return ::operator new(bytes);
  if (bytes > static_cast<std::size_t>(-1) - 2 * kHugePage) throw std::bad_alloc();
  const std::size_t length = MappedLength(bytes);
  // One huge page more than needed, so the block can start on a huge page boundary.
  void* raw = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  const std::size_t tail = kHugePage - (aligned - start);
  if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + length), tail);
  void* block = reinterpret_cast<void*>(aligned);
  // Advice only: without huge pages the block works the same, page by page.
  ::madvise(block, length, MADV_HUGEPAGE);
  return block;
}

void FreeLarge(void* block, std::size_t bytes) noexcept {
  if (!block) return;
  if (bytes < kLargeMemoryFrom) {
    ::operator delete(block);
    return;
  }
  ::munmap(block, MappedLength(bytes));
}

std::shared_ptr<char[]> AllocateSharedBytes(std::size_t size) {
  const std::size_t bytes = size + 1;
  char* block = static_cast<char*>(AllocateLarge(bytes));
  try {
    return std::shared_ptr<char[]>(block, [bytes](char* p) { FreeLarge(p, bytes); });
  } catch (...) {
    FreeLarge(block, bytes);
    throw;
  }
}

}  // namespace tamso
