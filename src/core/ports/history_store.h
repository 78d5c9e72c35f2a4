#pragma once

#include <vector>

#include "core/text/shared_text.h"

namespace stock {

// Where the history is kept between runs, when the user asks for that. Every
// call comes from the UI thread and returns at once: the store does its work
// on a thread of its own.
class HistoryStore {
public:
    virtual ~HistoryStore() = default;

    // A new top row of the history.
    virtual void append(const SharedText& text) = 0;
    // Every row goes; what they held is overwritten, not only forgotten.
    virtual void clear() = 0;

    // What the store has for the history, asked once a second.
    struct News {
        std::vector<SharedText> loaded;  // rows kept by earlier runs, newest first; handed over once
        bool wantsAll = false;           // just turned on: it wants every row held now
    };
    virtual News poll() = 0;
    // Every row held, oldest first: the answer to wantsAll.
    virtual void appendAll(std::vector<SharedText> oldestFirst) = 0;
};

}  // namespace stock
