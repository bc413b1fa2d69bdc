// The relaunch's command line: whatever the arguments, a line that is built
// stays within the limit and gives back, through the Windows parser's rules,
// exactly the arguments without any "-restart -dir" group, then the new one.
#include <cstring>
#include <string>
#include <vector>

#include "platform/cmdline.h"
#include "fuzz_input.h"

namespace {

// The C runtime's split of the arguments after the program name: blanks and
// tabs part them outside quotes; 2n backslashes before a quote stand for n
// and the quote opens or closes, 2n+1 for n and a literal quote; other
// backslashes are literal.
std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> out;
    std::string current;
    bool inQuotes = false, inArgument = false;
    for (size_t i = 0; i < line.size();) {
        char c = line[i];
        if (c == '\\') {
            size_t n = 0;
            while (i + n < line.size() && line[i + n] == '\\')
                ++n;
            if (i + n < line.size() && line[i + n] == '"') {
                current.append(n / 2, '\\');
                if (n % 2)
                    current += '"';
                else
                    inQuotes = !inQuotes;
                i += n + 1;
            } else {
                current.append(n, '\\');
                i += n;
            }
            inArgument = true;
        } else if (c == '"') {
            inQuotes = !inQuotes;
            inArgument = true;
            ++i;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (inArgument)
                out.push_back(current);
            current.clear();
            inArgument = false;
            ++i;
        } else {
            current += c;
            inArgument = true;
            ++i;
        }
    }
    if (inArgument)
        out.push_back(current);
    return out;
}

bool sameWord(const std::string& a, const char* b) {
    if (a.size() != strlen(b))
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if ((a[i] >= 'A' && a[i] <= 'Z' ? a[i] - 'A' + 'a' : a[i]) != b[i])
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // "folder|argument|argument|...", each cut at a NUL as a C string is.
    FuzzInput input(data, size);
    const std::string all = input.rest();
    std::vector<std::string> pieces;
    for (size_t start = 0; pieces.size() < 65;) {
        size_t bar = all.find('|', start);
        pieces.push_back(all.substr(start, bar - start).c_str());
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    const std::string folder = pieces[0];
    const std::vector<std::string> arguments(pieces.begin() + 1, pieces.end());
    std::vector<const char*> pointers;
    for (const std::string& a : arguments)
        pointers.push_back(a.c_str());
    zk::CZKCommandLine line;
    if (!zk::buildRestartArguments(pointers.data(), static_cast<int>(pointers.size()),
                                   folder.c_str(), line))
        return 0;
    require(strlen(line.text()) == line.length() && line.length() < zk::kCommandLineLimit,
            "the line stays within the limit");
    std::vector<std::string> expected;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (sameWord(arguments[i], "-restart") && i + 1 < arguments.size() &&
            sameWord(arguments[i + 1], "-dir")) {
            i += 2;
            continue;
        }
        expected.push_back(arguments[i]);
    }
    expected.insert(expected.end(), {"-restart", "-dir", folder});
    require(split(line.text()) == expected, "the arguments come back unchanged");
    return 0;
}
