#pragma once

namespace stock {

// A clipboard text of many megabytes is held once; when its last holder lets
// it go, its memory goes back to the system at once. Every block of 1 MiB or
// more gets pages of its own, returned when it is freed, and the heap's top
// is trimmed early, so a freed large text never stays in the process.
void tuneHeapForLargeTexts();

}  // namespace stock
