#include "platform/process_memory.h"

#include <malloc.h>
#include <sys/mman.h>

#include <atomic>
#include <cstdlib>

#include "platform/large_pages.h"

namespace quelvaris {

namespace {

constexpr int kPad = 64 << 20;
constexpr int kMapped = 2 << 20;  // blocks this large or larger are mapped afresh

}  // namespace

void KeepFreedMemory() {
#ifdef M_TOP_PAD
  // The heap grows by at least kPad at a time and keeps this much free at its top; blocks below
  // kMapped come from the heap (and go back to it), so the columns and texts of one file are
  // laid down again in the memory of the file before. Larger ones (a desktop table, the
  // columns of a large file) are mapped afresh, zeroed by the system, touched only where used.
  ::mallopt(M_TOP_PAD, kPad);
  ::mallopt(M_TRIM_THRESHOLD, 2 * kPad);
  ::mallopt(M_MMAP_THRESHOLD, kMapped);
#endif
}

void PrepareMemoryFor(std::uintmax_t bytes) {
#ifdef M_ARENA_MAX
  constexpr std::uintmax_t kLargeData = 1 << 20;
  static std::atomic<bool> done{false};
  if (bytes < kLargeData || done.exchange(true)) return;
  KeepFreedMemory();
  // The heap is grown once by a block taken and given back at once, which stays at its top as
  // free memory (below the trim threshold), with the large pages asked for over it.
  constexpr std::size_t kHeap = std::size_t{48} << 20;
  ::mallopt(M_MMAP_THRESHOLD, kPad);
  if (void* block = std::malloc(kHeap)) {
    PreferLargePages(block, kHeap);
    std::free(block);
  }
  ::mallopt(M_MMAP_THRESHOLD, kMapped);
  // The helper threads take their memory from this heap too, not from heaps of their own.
  ::mallopt(M_ARENA_MAX, 1);
#else
  (void)bytes;
#endif
}

void* TakeZeroedMemory(std::size_t bytes) {
#ifdef MAP_ANONYMOUS
  void* memory = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return memory == MAP_FAILED ? nullptr : memory;
#else
  return std::calloc(bytes, 1);
#endif
}

void GiveBackZeroedMemory(void* memory, std::size_t bytes) {
  if (memory == nullptr) return;
#ifdef MAP_ANONYMOUS
  ::munmap(memory, bytes);
#else
  (void)bytes;
  std::free(memory);
#endif
}

}  // namespace quelvaris
