#pragma once

#include <cstddef>
#include <cstdint>

namespace quelvaris {

// Keeps the memory a step of the process frees for its next steps instead of handing it back
// to the system at once: a batch run fills and frees tens of megabytes per file (columns,
// figures, the text of thousands of rows), and memory handed back is faulted in again page by
// page, which on a virtual machine can cost more than the figures themselves. Process-wide and
// lasting; calling it again changes nothing.
void KeepFreedMemory();

// For a process about to read `bytes` of data: from a few megabytes on, the heap is asked for
// large pages where the system has them, and every thread takes its memory from that one heap,
// so that filling tens of megabytes takes tens of page faults instead of thousands. Below that
// nothing changes (a fresh large page is cleared whole, which a small file's run would not
// make up for). Process-wide and lasting; only the first call that asks for it does anything.
void PrepareMemoryFor(std::uintmax_t bytes);

// `bytes` of zeros straight from the system, never written over with zeros by this program: a
// page of them is touched only once it is used. Null when the system has no room. Given back
// with GiveBackZeroedMemory and the same size.
void* TakeZeroedMemory(std::size_t bytes);
void GiveBackZeroedMemory(void* memory, std::size_t bytes);

}  // namespace quelvaris
