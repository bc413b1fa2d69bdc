#include "core/host.h"

#include <cstring>

#include "core/installer.h"
#include "core/languages.h"
#include "platform/text.h"

namespace zk {

ZKMessageBoxCallback g_messageBox = nullptr;

int answerWithoutHost(unsigned style) {
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL:
    case MB_RETRYCANCEL:
    case MB_YESNOCANCEL:
        return IDCANCEL;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    case MB_YESNO:
        return IDYES;
    default:
        return IDOK;
    }
}

int showMessage(HWND owner, const char* text, const char* caption, unsigned style) {
    if (g_messageBox)
        return g_messageBox(owner, text ? text : "", caption ? caption : "", style);
    char line[1200];
    formatText(line, sizeof line, "ZKInstall: %s - %s\n", caption ? caption : "",
               text ? text : "");
    OutputDebugStringA(line);
    return answerWithoutHost(style);
}

void hostString(int id, char* buf, int size) {
    if (!buf || size <= 0)
        return;
    memset(buf, 0, size);
    loadHostString(id, buf, size);
    buf[size - 1] = '\0';
}

void substituteOne(const char* pattern, const char* arg, char* out, int size) {
    if (!out || size <= 0)
        return;
    int o = 0;
    bool used = false;
    auto put = [&](char c) {
        if (o < size - 1)
            out[o++] = c;
    };
    for (const char* p = pattern ? pattern : ""; *p; ++p) {
        if (p[0] == '%' && p[1] == '%') {
            put('%');
            ++p;
        } else if (!used && p[0] == '%' && (p[1] == 's' || p[1] == 'c' || p[1] == 'd')) {
            if (p[1] == 'c')
                put(arg && *arg ? *arg : ' ');
            else
                for (const char* a = arg ? arg : ""; *a; ++a)
                    put(*a);
            used = true;
            ++p;
        } else {
            put(*p);
        }
    }
    out[o] = '\0';
}

void hostMessage(int id, const char* arg, char* out, int size) {
    char pattern[1024];
    hostString(id, pattern, sizeof pattern);
    substituteOne(pattern, arg, out, size);
}

} // namespace zk
