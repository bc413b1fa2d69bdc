#include "core/names.h"

#include <cstring>

#include "platform/text.h"

namespace zk {

void makeFriendlyName(char* dest, const char* src) {
    static const char kAllowed[] = " !@#$%^&()_+-=[]{};',";
    char out[260];
    int o = 0;
    for (const char* p = src ? src : ""; *p && o < 259; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        bool keep = (c < 128 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                 (c >= '0' && c <= '9'))) ||
                    (c != 0 && strchr(kAllowed, c) != nullptr);
        if (keep)
            out[o++] = static_cast<char>(c);
    }
    out[o] = '\0';
    trimText(out);
    copyText(dest, 260, out);
}

} // namespace zk
