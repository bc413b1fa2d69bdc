// The shared guard for relative paths taken from outside the library.
#include "platform/relpath.h"

#include <cstring>

namespace zk {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// True for a component [begin, end) the system opens as a device in any
// folder: CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1-9, LPT1-9, in any case,
// also with an extension or trailing blanks ("nul.txt", "COM1 ").
bool namesDevice(const char* begin, const char* end) {
    const char* stop = begin;
    while (stop < end && *stop != '.')
        ++stop;
    while (stop > begin && stop[-1] == ' ')
        --stop;
    char name[8];
    size_t n = static_cast<size_t>(stop - begin);
    if (n < 3 || n >= sizeof name)
        return false;
    for (size_t i = 0; i < n; ++i) {
        char c = begin[i];
        name[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    name[n] = '\0';
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices)
        if (strcmp(name, device) == 0)
            return true;
    return n == 4 && (strncmp(name, "COM", 3) == 0 || strncmp(name, "LPT", 3) == 0) &&
           name[3] >= '1' && name[3] <= '9';
}

} // namespace

bool climbsUp(const char* begin, const char* end) {
    int dots = 0;
    for (const char* p = begin; p < end; ++p) {
        if (*p == '.')
            ++dots;
        else if (*p != ' ')
            return false;
    }
    return dots >= 2;
}

bool isSafeRelativePath(const char* path) {
    if (!path || !path[0] || isSeparator(path[0]))
        return false;
    const char* component = path;
    for (const char* p = path;; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\0' || isSeparator(*p)) {
            // A device name would send the file to the device, not the folder.
            if (climbsUp(component, p) || namesDevice(component, p))
                return false;
            if (c == '\0')
                return true;
            component = p + 1;
        } else if (c < 0x20 || c == 0x7F || c == ':') {
            return false;
        }
    }
}

size_t pathRootLength(const char* path) {
    if (((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':')
        return path[2] == '\\' ? 3 : 2;
    if (path[0] == '\\' && path[1] == '\\') {
        const char* server = strchr(path + 2, '\\');
        const char* share = server ? strchr(server + 1, '\\') : nullptr;
        return share ? static_cast<size_t>(share - path) : strlen(path);
    }
    return path[0] == '\\' ? 1 : 0;
}

} // namespace zk
