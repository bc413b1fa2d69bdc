// The relaunch's command line.  No Windows header, so it builds natively too.
#include "platform/cmdline.h"

#include <cstdlib>
#include <cstring>

#include "platform/guards.h"

namespace zk {

namespace {

bool sameWord(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        char x = *a >= 'A' && *a <= 'Z' ? static_cast<char>(*a - 'A' + 'a') : *a;
        if (x != *b)
            return false;
    }
    return *a == *b;
}

} // namespace

CZKCommandLine::~CZKCommandLine() { free(m_text); }

bool CZKCommandLine::reserve(size_t bytes) {
    if (bytes > kCommandLineLimit)
        bytes = kCommandLineLimit;
    if (bytes <= m_capacity)
        return true;
    size_t capacity = m_capacity ? m_capacity : 256;
    while (capacity < bytes)
        capacity *= 2;
    if (capacity > kCommandLineLimit)
        capacity = kCommandLineLimit;
    char* grown = static_cast<char*>(realloc(m_text, capacity));
    if (!grown)
        return false;
    if (!m_text)
        grown[0] = '\0';
    m_text = grown;
    m_capacity = capacity;
    return true;
}

bool CZKCommandLine::add(const char* argument) {
    size_t length = argument ? strlen(argument) : 0;
    size_t separator = m_length > 0 ? 1 : 0;
    // Quoting at most doubles the characters and adds two quotes.
    if (!reserve(m_length + separator + 2 * length + 3))
        return false;
    char* at = m_text + m_length + separator;
    if (!quoteArgument(argument, at, m_capacity - m_length - separator)) {
        m_text[m_length] = '\0';
        return false;
    }
    if (separator)
        m_text[m_length] = ' ';
    m_length += separator + strlen(at);
    return true;
}

bool buildRestartArguments(const char* const* arguments, int count, const char* folder,
                           CZKCommandLine& out) {
    for (int i = 0; i < count; ++i) {
        const char* argument = arguments[i] ? arguments[i] : "";
        // Each relaunch used to add its group behind the last one's; only
        // the new folder counts.
        if (sameWord(argument, "-restart") && i + 1 < count && arguments[i + 1] &&
            sameWord(arguments[i + 1], "-dir")) {
            i += 2;
            continue;
        }
        if (!out.add(argument))
            return false;
    }
    return out.add("-restart") && out.add("-dir") && out.add(folder);
}

} // namespace zk
