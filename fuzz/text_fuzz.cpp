// Bounded text helpers: every copy stays within its capacity, is terminated,
// and holds as much of the wanted text as fits.
#include <cctype>
#include <cstring>
#include <string>

#include "platform/text.h"
#include "fuzz_input.h"

namespace {

// Between the fields of an input.
const char kSeparator = '|';

const size_t kGuard = 8;

// A buffer of cap bytes followed by a guard that no helper may touch.
struct Buffer {
    explicit Buffer(size_t cap, const std::string& content) : cap(cap), bytes(cap + kGuard, '#') {
        bytes.replace(0, std::min(cap, content.size()), content, 0, std::min(cap, content.size()));
    }
    void check(const char* what) const {
        require(memchr(bytes.data(), '\0', cap) != nullptr, what);
        for (size_t i = cap; i < bytes.size(); ++i)
            require(bytes[i] == '#', what);
    }
    std::string text() const { return bytes.c_str(); }
    char* data() { return &bytes[0]; }
    size_t cap;
    std::string bytes;
};

std::string cut(const std::string& text, size_t cap) { return text.substr(0, cap - 1); }

void checkCopyAndAppend(size_t cap, const std::string& start, const std::string& src) {
    Buffer copy(cap, start);
    zk::copyText(copy.data(), cap, src.c_str());
    copy.check("a copy stays within its capacity and is terminated");
    require(copy.text() == cut(src, cap), "a copy holds what fits");

    // The destination may hold anything, even no terminator within cap.
    Buffer append(cap, start);
    std::string before = append.bytes.substr(0, strnlen(append.bytes.data(), cap - 1));
    zk::appendText(append.data(), cap, src.c_str());
    append.check("an append stays within its capacity and is terminated");
    require(append.text() == cut(before + src, cap), "an append adds what fits");

    // Copying a text onto itself, one character on: the buffers overlap.
    Buffer shift(cap, start + std::string(1, '\0'));
    std::string tail = shift.text().empty() ? "" : shift.text().substr(1);
    if (!start.empty() && start.size() < cap) {
        zk::copyText(shift.data(), cap, shift.data() + 1);
        shift.check("an overlapping copy stays terminated");
        require(shift.text() == tail, "an overlapping copy moves the text");
    }
}

void checkFormat(size_t cap, const std::string& a, const std::string& b, int n, int precision) {
    Buffer out(cap, "");
    zk::formatText(out.data(), cap, "%s|%d|%.*s", a.c_str(), n, precision, b.c_str());
    out.check("a formatted text stays within its capacity and is terminated");
    std::string whole = a + "|" + std::to_string(n) + "|" + b.substr(0, precision);
    require(out.text() == cut(whole, cap), "a formatted text holds what fits");
}

void checkTrim(const std::string& text) {
    std::string buf = text;
    zk::trimText(&buf[0]);
    std::string expected = text;
    while (!expected.empty() && isspace(static_cast<unsigned char>(expected.back())))
        expected.pop_back();
    size_t begin = 0;
    while (begin < expected.size() && isspace(static_cast<unsigned char>(expected[begin])))
        ++begin;
    require(std::string(buf.c_str()) == expected.substr(begin), "trimming removes outer blanks");

    std::string slash = text;
    zk::cutTrailingBackslash(&slash[0]);
    std::string cutOne = text;
    if (!cutOne.empty() && cutOne.back() == '\\')
        cutOne.pop_back();
    require(std::string(slash.c_str()) == cutOne, "one trailing backslash is cut");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    size_t cap = static_cast<size_t>(in.number(1, 80));
    int n = in.number(-100000, 100000);
    int precision = in.number(0, 40);
    std::string start = in.text(kSeparator).c_str();
    std::string a = in.text(kSeparator).c_str();
    std::string b = in.text(kSeparator).c_str();
    checkCopyAndAppend(cap, start, a);
    checkFormat(cap, a, b, n, precision);
    checkTrim(a);
    return 0;
}
