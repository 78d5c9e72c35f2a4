// Makes the writes of store_ops.h through the store, as fast as it takes
// them, for a test to kill at any moment.
#include <cstdio>

#include "os/store/sqlite_history_store.h"
#include "store_ops.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    stock::store::SqliteHistoryStore store(argv[1], {stock::test::kChildBounds, std::chrono::milliseconds(50)});
    store.flush();
    std::puts("ready");
    std::fflush(stdout);
    for (int i = 0; i < stock::test::kOps; ++i) {
        if (i == stock::test::kClearAt) {
            store.flush();  // every earlier write reaches the file before the clear
            store.clear();
        } else {
            store.append(stock::test::opText(i));
        }
    }
    store.flush();
    return 0;
}
