#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "platform/guard.h"

namespace stock {
namespace {

TEST(Guard, NothingAHandlerThrowsGetsOutAndAnEmptyHandlerDoesNothing) {
    guarded([] { throw std::runtime_error("handler failed"); })();
    guarded([] { throw 42; })();  // not even a non-exception
    guarded({})();
    int seen = 0;
    guardedEvent([&](int v) {
        seen = v;
        throw std::bad_alloc();
    })(516);
    EXPECT_EQ(seen, 516) << "the event reaches the handler";
    guardedEvent({})(1);
}

}  // namespace
}  // namespace stock
