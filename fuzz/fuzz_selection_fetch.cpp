// One fetch of the selection against an honest owner whose answers come in
// any order with late, repeated and made-up ones among them (refusals and
// notices from other clients, time passing). Whatever the order: a text
// marked a secret is never read; a text read is the owner's, exactly; what
// the fetch holds stays within its bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "os/x11/selection_fetch.h"
#include "support/fake_selection_io.h"

using stock::x11::SelectionAtoms;
using stock::x11::SelectionFetch;
using stock::x11::test::FakeSelectionIo;

namespace {

constexpr xcb_timestamp_t kOwnerTime = 5000;  // made-up answers carry times below 256
constexpr std::uint64_t kTextLimit = 4096;

// The owner: what it offers and how it answers.
struct Owner {
    bool listsTargets = true, targets16 = false, hinted = false, secret = false, incr = false;
    std::size_t piece = 1;
    std::string data;
    std::size_t answered = 0;  // requests answered so far
    bool refusedHint = false;  // then nothing tells a secret from a plain text
    bool sending = false;      // an INCR transfer under way
    std::size_t sent = 0;
    xcb_atom_t type = XCB_ATOM_NONE;
};

class Run {
public:
    Run(const std::uint8_t* data, std::size_t size);
    void step(std::uint8_t op, std::uint8_t arg);
    void check();

private:
    void answer(bool refuse);
    void nextPiece();
    void forge(std::uint8_t arg);

    SelectionAtoms atoms_ = stock::x11::test::fakeAtoms();
    FakeSelectionIo io_;
    Owner owner_;
    SelectionFetch::Clock::time_point now_ = SelectionFetch::Clock::now();
    std::optional<SelectionFetch> fetch_;
    bool checked_ = false;  // the text was compared
};

Run::Run(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t flags = size > 0 ? data[0] : 0;
    owner_.listsTargets = !(flags & 1);
    owner_.targets16 = flags & 2;
    owner_.hinted = flags & 4;
    owner_.secret = flags & 8;
    owner_.incr = flags & 16;
    owner_.piece = 1 + (size > 1 ? data[1] % 64 : 0);
    // Printable ASCII and line breaks: the same text in every encoding.
    for (std::size_t i = 2; i < size && i < 2 + 40; ++i) owner_.data += "ab\r\nXY z~"[data[i] % 9];
    if (size > 2 && data[2] == 0xFF) owner_.data.assign(kTextLimit + 10, 'L');  // over the limit
    SelectionFetch::Setup setup;
    setup.property = stock::x11::test::kFakeProperty;
    setup.time = kOwnerTime;
    setup.textBytes = kTextLimit;
    setup.secretsWanted = [] { return false; };
    fetch_.emplace(atoms_, io_, setup);
    fetch_->start(now_);
}

void Run::answer(bool refuse) {
    if (owner_.answered >= io_.requests.size()) return;
    const auto request = io_.requests[owner_.answered];
    owner_.answered = io_.requests.size();
    FakeSelectionIo::Value value;
    if (request.target == atoms_.targets && owner_.listsTargets && !refuse) {
        std::vector<xcb_atom_t> list{atoms_.targets, stock::x11::test::kFakeUtf8};
        if (owner_.hinted) list.push_back(atoms_.passwordHint);
        value = {XCB_ATOM_ATOM, 32, std::string(reinterpret_cast<const char*>(list.data()), list.size() * 4)};
        if (owner_.targets16) value = {XCB_ATOM_ATOM, 16, std::string(list.size() * 2, '\x65')};
    } else if (request.target == atoms_.passwordHint && owner_.hinted && !refuse) {
        value = {XCB_ATOM_STRING, 8, owner_.secret ? "secret" : "accepted"};
    } else if (request.target != atoms_.targets && request.target != atoms_.passwordHint && !refuse) {
        value = {request.target, 8, owner_.data};
        if (owner_.incr) {
            const auto size = static_cast<std::uint32_t>(owner_.data.size());
            value = {atoms_.incr, 32, std::string(reinterpret_cast<const char*>(&size), 4)};
            owner_.sending = true;
            owner_.sent = 0;
            owner_.type = request.target;
        }
    }
    if (value.type == XCB_ATOM_NONE) {
        if (request.target == atoms_.passwordHint) owner_.refusedHint = true;
        fetch_->onEvent(stock::x11::test::notifyEvent(atoms_, request, XCB_ATOM_NONE), now_);
        return;
    }
    io_.property = value;
    fetch_->onEvent(stock::x11::test::notifyEvent(atoms_, request, request.property), now_);
}

// The next piece, once the fetch took the last one.
void Run::nextPiece() {
    if (!owner_.sending || io_.property) return;
    const std::size_t n = std::min(owner_.piece, owner_.data.size() - owner_.sent);
    io_.property = FakeSelectionIo::Value{owner_.type, 8, owner_.data.substr(owner_.sent, n)};
    owner_.sent += n;
    if (n == 0) owner_.sending = false;
    fetch_->onEvent(stock::x11::test::newValueEvent(atoms_, stock::x11::test::kFakeProperty), now_);
}

// Made up by another client: a refusal for any target, or a notice.
void Run::forge(std::uint8_t arg) {
    if (arg % 3 == 2) {
        fetch_->onEvent(stock::x11::test::newValueEvent(atoms_, stock::x11::test::kFakeProperty), now_);
        return;
    }
    const xcb_atom_t targets[] = {atoms_.targets, atoms_.passwordHint, stock::x11::test::kFakeUtf8, atoms_.compoundText,
                                  XCB_ATOM_STRING};
    FakeSelectionIo::Request r{targets[arg % 5], stock::x11::test::kFakeProperty, 0};
    fetch_->onEvent(stock::x11::test::notifyEvent(atoms_, r, arg % 3 ? r.property : XCB_ATOM_NONE, arg / 16), now_);
}

void Run::step(std::uint8_t op, std::uint8_t arg) {
    switch (op % 5) {
        case 0:
            answer(false);
            break;
        case 1:
            answer(arg % 4 == 0);  // an honest refusal now and then
            break;
        case 2:
            nextPiece();
            break;
        case 3:
            forge(arg);
            break;
        default:
            now_ += std::chrono::milliseconds(arg * 8);
            fetch_->onTime(now_);
            break;
    }
}

void Run::check() {
    if (fetch_->held() > 2 * SelectionFetch::kListBytes + 4 * kTextLimit + 4096) std::abort();
    if (fetch_->outcome() != SelectionFetch::Outcome::Text || checked_) return;
    checked_ = true;
    if (owner_.hinted && owner_.secret && !owner_.refusedHint) std::abort();  // a secret was read
    if (owner_.data.size() > kTextLimit) std::abort();
    const std::u16string want(owner_.data.begin(), owner_.data.end());
    if (fetch_->takeText() != want) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Run run(data, size);
    for (std::size_t i = 3; i < size; ++i) {
        run.step(data[i] % 5, data[i] / 5);
        run.check();
    }
    return 0;
}
