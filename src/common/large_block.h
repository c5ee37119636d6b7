#pragma once

#include <cstddef>

namespace quellar {

// Asks the system to back a large, not yet touched block (a roster of a million
// rows takes over a hundred megabytes) with huge pages where it can. Filling it
// then costs a page fault per two megabytes instead of one per four kilobytes,
// and moving rows around in it misses the address cache far less. Small blocks
// and systems without the notion are left as they are.
void AdviseHugePages(void* data, std::size_t bytes);

}  // namespace quellar
