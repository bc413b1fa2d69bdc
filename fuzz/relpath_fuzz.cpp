// The relative-path guard and the archive member check: whatever they accept,
// joined to a folder with a backslash and resolved as Windows resolves a path,
// names something inside that folder.
#include <cstring>
#include <string>
#include <vector>

#include "install/listlines.h"
#include "install/member_name.h"
#include "platform/relpath.h"
#include "fuzz_input.h"

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

std::string upperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// A component the system opens as a device wherever it stands: CON, NUL,
// COM1, ... also with an extension or trailing blanks.
bool isDeviceName(const std::string& component) {
    std::string base = component.substr(0, component.find('.'));
    base = upperAscii(base.substr(0, base.find_last_not_of(' ') + 1));
    for (const char* name : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (base == name)
            return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

// Resolves "C:\Games\Zk\" + path as the system does and says whether the
// result stays below the folder at every step; drive, stream, rooted and
// device paths count as leaving it.
bool staysInside(const std::string& path) {
    if (path.empty() || isSeparator(path[0]))
        return false;  // the folder itself or the drive's root
    for (char c : path)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == ':')
            return false;
    std::vector<std::string> folders;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !isSeparator(path[i]))
            continue;
        std::string component = path.substr(start, i - start);
        start = i + 1;
        // Trailing dots and blanks are dropped from a name: "..." and ". ."
        // are "" then, and a name of dots that had two or more climbs.
        size_t kept = component.find_last_not_of(". ");
        if (kept == std::string::npos) {
            size_t dots = 0;
            for (char c : component)
                dots += c == '.';
            if (dots >= 2) {
                if (folders.empty())
                    return false;
                folders.pop_back();
            }
            continue;
        }
        if (isDeviceName(component))
            return false;
        folders.push_back(component.substr(0, kept + 1));
    }
    return true;
}

// What a reader of the log takes from an entry cut at `mark`: the text
// before it without surrounding blanks.
std::string usedPart(const std::string& path, size_t mark) {
    std::string used = path.substr(0, mark);
    size_t begin = used.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return std::string();
    return used.substr(begin, used.find_last_not_of(" \t") - begin + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const std::string path = in.text('\0');  // a C string
    const bool safe = zk::isSafeRelativePath(path.c_str());
    require(zk::isSafeMemberName(path.c_str()) == safe, "member names follow the shared guard");
    if (safe)
        require(staysInside(path), "an accepted relative path stays inside the folder");
    if (zk::isInstallRelativePath(path.c_str())) {
        require(path.find_last_not_of(" \t") < 259, "a logged entry is shorter than a path");
        // Whichever case of the mark a reader looks for first.
        size_t lower = path.find("/s"), upper = path.find("/S");
        for (size_t mark : {lower == std::string::npos ? upper : lower,
                            upper == std::string::npos ? lower : upper})
            require(staysInside(usedPart(path, mark)),
                    "what a reader takes from an accepted entry stays inside the folder");
    }
    return 0;
}
