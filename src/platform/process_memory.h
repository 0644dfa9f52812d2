#pragma once

namespace quelvaris {

// Keeps the memory a step of the process frees for its next steps instead of handing it back
// to the system at once: a batch run fills and frees tens of megabytes per file (columns,
// figures, the text of thousands of rows), and memory handed back is faulted in again page by
// page, which on a virtual machine can cost more than the figures themselves. Process-wide and
// lasting; calling it again changes nothing.
void KeepFreedMemory();

}  // namespace quelvaris
