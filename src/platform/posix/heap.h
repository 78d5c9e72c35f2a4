#pragma once

namespace stock {

// Clipboard texts of many megabytes are copied a few times on each change.
// Keeping freed large blocks in the heap, instead of handing each back to the
// system at once, spares a page fault for every 4 KiB of every such copy.
void tuneHeapForLargeTexts();

}  // namespace stock
