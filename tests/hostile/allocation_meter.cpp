#include "allocation_meter.h"

#include <cstdlib>
#include <new>

namespace morvik::hostile {
namespace {

// Each block carries its size in front of it, so delete knows what it frees.
constexpr std::size_t kHeader = alignof(std::max_align_t);

std::size_t live = 0;
std::size_t base = 0;
std::size_t peak = 0;

void* allocate(std::size_t size) {
  void* block = std::malloc(size + kHeader);
  if (block == nullptr) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  live += size;
  if (live > peak) peak = live;
  return static_cast<char*>(block) + kHeader;
}

void release(void* pointer) {
  if (pointer == nullptr) return;
  void* block = static_cast<char*>(pointer) - kHeader;
  live -= *static_cast<std::size_t*>(block);
  std::free(block);
}

}  // namespace

void reset_allocation_peak() {
  base = live;
  peak = live;
}

std::size_t allocation_peak() { return peak - base; }

}  // namespace morvik::hostile

// Single-threaded tests only: the counters are plain.
void* operator new(std::size_t size) { return morvik::hostile::allocate(size); }
void* operator new[](std::size_t size) { return morvik::hostile::allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return morvik::hostile::allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* pointer) noexcept { morvik::hostile::release(pointer); }
void operator delete[](void* pointer) noexcept { morvik::hostile::release(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { morvik::hostile::release(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { morvik::hostile::release(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { morvik::hostile::release(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { morvik::hostile::release(pointer); }
