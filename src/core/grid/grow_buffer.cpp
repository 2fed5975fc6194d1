#include "core/grid/grow_buffer.h"

#include <sys/mman.h>

#include <cstdint>

namespace tarvolin::core {

namespace {

constexpr size_t kMapFrom = size_t{1} << 20;  // blocks from this size on are mappings
constexpr size_t kHugePage = size_t{2} << 20;

size_t roundUp(size_t n, size_t to) { return (n + to - 1) / to * to; }

}  // namespace

void* growBlock(void* p, size_t oldBytes, size_t usedBytes, size_t newBytes, bool& mapped) {
#if defined(__linux__) && defined(MADV_HUGEPAGE) && defined(MREMAP_MAYMOVE)
  if (newBytes >= kMapFrom) {
    const size_t size = roundUp(newBytes, kHugePage);
    if (mapped) {
      void* q = ::mremap(p, roundUp(oldBytes, kHugePage), size, MREMAP_MAYMOVE);
      if (q == MAP_FAILED) throw std::bad_alloc();
      return q;
    }
    void* q = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (q == MAP_FAILED) throw std::bad_alloc();
    ::madvise(q, size, MADV_HUGEPAGE);  // advice only: its failure changes nothing
    if (usedBytes > 0) std::memcpy(q, p, usedBytes);
    std::free(p);
    mapped = true;
    return q;
  }
#else
  (void)oldBytes;
  (void)usedBytes;
#endif
  (void)mapped;
  void* q = std::realloc(p, newBytes);
  if (q == nullptr) throw std::bad_alloc();
  return q;
}

void releaseBlock(void* p, size_t bytes, bool mapped) noexcept {
#if defined(__linux__) && defined(MADV_HUGEPAGE) && defined(MREMAP_MAYMOVE)
  if (mapped) {
    ::munmap(p, roundUp(bytes, kHugePage));
    return;
  }
#else
  (void)bytes;
  (void)mapped;
#endif
  std::free(p);
}

}  // namespace tarvolin::core
