// The guards that need no system call: registry key shapes and argument
// quoting.  No Windows header, so they build and fuzz natively too.
#include "platform/guards.h"

#include <cstring>

namespace zk {

namespace {

// Registry names compare without regard to case; the names checked here are
// plain ASCII, so folding ASCII letters is enough.
char foldCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameText(const char* a, size_t length, const char* b) {
    if (strlen(b) != length)
        return false;
    for (size_t i = 0; i < length; ++i)
        if (foldCase(a[i]) != foldCase(b[i]))
            return false;
    return true;
}

// True when `text` begins with `prefix`, any case.
bool startsWith(const char* text, const char* prefix) {
    size_t length = strlen(prefix);
    return strlen(text) >= length && sameText(text, length, prefix);
}

// One part of a key path: not empty, not "." or "..".
bool isNamePart(const char* part, size_t length) {
    return length > 0 && !sameText(part, length, ".") && !sameText(part, length, "..");
}

// Splits a key path into its parts; false when one of them is not a name
// (this covers leading, trailing and double backslashes).
bool splitKey(const char* path, const char** parts, size_t* lengths, size_t cap, size_t* count) {
    *count = 0;
    const char* part = path;
    for (;;) {
        const char* end = strchr(part, '\\');
        size_t length = end ? static_cast<size_t>(end - part) : strlen(part);
        if (!isNamePart(part, length))
            return false;
        if (*count < cap) {
            parts[*count] = part;
            lengths[*count] = length;
        }
        ++*count;
        if (!end)
            return true;
        part = end + 1;
    }
}

// Keys below SOFTWARE that belong to the system or to every program.
const char* const kSharedBranches[] = {"Microsoft", "Classes", "Policies", "Wow6432Node"};

// The maker's list of installed games and its parent are shared by all its
// games; the uninstaller removes entries below the list, never the list.
const char* const kSharedKeys[] = {"SOFTWARE\\Vantorel\\ZK Core",
                                   "SOFTWARE\\Vantorel\\ZK Core\\Installed Games"};

const char* const kSharedListRoots[] = {
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\"};

bool needsQuotes(const char* arg) {
    return !arg[0] || strpbrk(arg, " \t\n\v\"") != nullptr;
}

} // namespace

bool isProductKey(const char* keyPath) {
    if (!keyPath || !keyPath[0])
        return false;
    const char* parts[2];
    size_t lengths[2];
    size_t count = 0;
    if (!splitKey(keyPath, parts, lengths, 2, &count) || count < 3 ||
        !sameText(parts[0], lengths[0], "SOFTWARE"))
        return false;
    for (const char* branch : kSharedBranches)
        if (sameText(parts[1], lengths[1], branch))
            return false;
    for (const char* shared : kSharedKeys)
        if (sameText(keyPath, strlen(keyPath), shared))
            return false;
    return true;
}

bool isProductUninstallKey(const char* keyPath) {
    if (!keyPath)
        return false;
    for (const char* root : kSharedListRoots) {
        if (!startsWith(keyPath, root))
            continue;
        const char* name = keyPath + strlen(root);
        return !strchr(name, '\\') && isNamePart(name, strlen(name));
    }
    return false;
}

bool quoteArgument(const char* arg, char* out, size_t cap) {
    if (!out || cap == 0)
        return false;
    out[0] = '\0';
    if (!arg)
        arg = "";
    if (!needsQuotes(arg)) {
        size_t length = strlen(arg);
        if (length >= cap)
            return false;
        memcpy(out, arg, length + 1);
        return true;
    }
    // Backslashes are literal unless a quote follows them: then 2n stand for
    // n and a quote that opens or closes, 2n+1 for n and a literal quote.
    size_t used = 0;
    auto put = [&](char c, size_t times) {
        if (times > cap - 1 - used)
            return false;
        memset(out + used, c, times);
        used += times;
        return true;
    };
    bool fits = put('"', 1);
    for (const char* p = arg; fits && *p; ++p) {
        size_t backslashes = strspn(p, "\\");
        p += backslashes;
        if (!*p) {
            fits = put('\\', backslashes * 2);  // before the closing quote
            break;
        }
        if (*p == '"')
            fits = put('\\', backslashes * 2 + 1) && put('"', 1);
        else
            fits = put('\\', backslashes) && put(*p, 1);
    }
    if (!fits || !put('"', 1)) {
        out[0] = '\0';
        return false;
    }
    out[used] = '\0';
    return true;
}

} // namespace zk
