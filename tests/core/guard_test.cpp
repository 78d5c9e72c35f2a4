#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/guard.h"

namespace stock {
namespace {

TEST(Guard, NothingAHandlerThrowsGetsOutAndAnEmptyHandlerDoesNothing) {
    int calls = 0;
    const auto failing = guarded([&] {
        ++calls;
        throw std::runtime_error("handler failed");
    });
    failing();
    guarded([&] {
        ++calls;
        throw 42;
    })();  // not even a non-exception
    EXPECT_EQ(calls, 2);
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
