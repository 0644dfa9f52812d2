#pragma once

#include <cstddef>

namespace quelvaris {

// Asks the system to back the whole large pages inside [begin, begin + bytes) of memory not yet
// written with large pages, so that filling hundreds of megabytes takes a few hundred page
// faults instead of tens of thousands. The pages at the edges keep their size, so the memory in
// use never grows beyond the bytes asked for. Does nothing where the system has no such pages.
void PreferLargePages(void* begin, std::size_t bytes);

}  // namespace quelvaris
