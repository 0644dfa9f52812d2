#include "platform/process_memory.h"

#include <malloc.h>

namespace quelvaris {

void KeepFreedMemory() {
#ifdef M_TOP_PAD
  // The heap grows by at least this much at a time and keeps this much free at its top; blocks
  // below 2 MB come from the heap (and go back to it), so the columns and texts of one file are
  // laid down again in the memory of the file before. Larger ones (a desktop table, the
  // columns of a large file) are mapped afresh, zeroed by the system, touched only where used.
  constexpr int kPad = 64 << 20;
  ::mallopt(M_TOP_PAD, kPad);
  ::mallopt(M_TRIM_THRESHOLD, 2 * kPad);
  ::mallopt(M_MMAP_THRESHOLD, 2 << 20);
#endif
}

}  // namespace quelvaris
