#pragma once
// Memory for a whole text or its line table. A block of a megabyte or more is mapped
// in 2 MB pages where the kernel has them: a 10 MB file then costs a handful of page
// faults instead of thousands, which on a virtual machine is most of the time spent
// reading it. Smaller blocks come from the ordinary heap.

#include <cstddef>
#include <memory>
#include <new>

namespace tamso {

// Throws std::bad_alloc when there is no memory; FreeLarge takes the same size back.
void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* block, std::size_t bytes) noexcept;

// A shared block of at least one byte for size bytes of text.
std::shared_ptr<char[]> AllocateSharedBytes(std::size_t size);

// The allocator of containers that may hold millions of elements.
template <class T>
struct LargeAllocator {
  using value_type = T;
  LargeAllocator() = default;
  template <class U>
  LargeAllocator(const LargeAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(AllocateLarge(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept { FreeLarge(p, n * sizeof(T)); }
  template <class U>
  bool operator==(const LargeAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace tamso
