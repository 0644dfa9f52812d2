#include "platform/large_pages.h"

#include <sys/mman.h>

#include <cstdint>

namespace quelvaris {

void PreferLargePages(void* begin, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
  constexpr std::uintptr_t kLarge = std::uintptr_t{2} << 20;
  const auto from = reinterpret_cast<std::uintptr_t>(begin);
  const std::uintptr_t first = (from + kLarge - 1) / kLarge * kLarge;
  const std::uintptr_t last = (from + bytes) / kLarge * kLarge;
  // A refusal (no such pages, a kernel without them) leaves the memory as it was.
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)begin;
  (void)bytes;
#endif
}

}  // namespace quelvaris
