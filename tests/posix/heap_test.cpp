#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/posix/heap.h"
#include "platform/shared_text.h"

namespace stock::test {
namespace {

long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * 4;
}

// Large texts released by their last holder leave the process: 96 MiB of
// texts of a few MiB each (sizes the heap would otherwise keep) come and go.
TEST(Heap, ReleasedLargeTextsGoBackToTheSystem) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizer's allocator stands in for the C library's heap, and keeps freed blocks";
#endif
    tuneHeapForLargeTexts();
    // A large block freed first: left to itself, glibc would now keep blocks
    // of that size in the heap.
    { SharedText warmUp(std::u16string(2u << 20, u'w')); }
    const long before = residentKiB();
    std::vector<SharedText> texts;
    for (int i = 0; i < 24; ++i) texts.emplace_back(std::u16string((2u << 20) - 64, static_cast<char16_t>(u'a' + i)));
    ASSERT_GT(residentKiB() - before, 80 * 1024) << "the texts were not in memory";
    texts.clear();
    EXPECT_LT(residentKiB() - before, 16 * 1024) << "freed texts stayed in the process";
}

}  // namespace
}  // namespace stock::test
