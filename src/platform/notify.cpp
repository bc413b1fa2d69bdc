#include "platform/notify.h"

#include <windows.h>

#include "platform/text.h"

namespace zk {

namespace {

int defaultMessage(const char* text, const char* caption, unsigned) {
    char line[1200];
    formatText(line, sizeof line, "ZKInstall: %s - %s\n", caption, text);
    OutputDebugStringA(line);
    return IDOK;
}

void defaultText(int, char* buf, int size) {
    if (buf && size > 0)
        buf[0] = '\0';
}

bool giveUp(const char*) { return false; }

PlatformHooks s_hooks = {defaultMessage, defaultText, giveUp};

} // namespace

void setPlatformHooks(const PlatformHooks& hooks) {
    s_hooks.showMessage = hooks.showMessage ? hooks.showMessage : defaultMessage;
    s_hooks.hostText = hooks.hostText ? hooks.hostText : defaultText;
    s_hooks.programMissing = hooks.programMissing ? hooks.programMissing : giveUp;
}

int notifyMessage(const char* text, const char* caption, unsigned style) {
    return s_hooks.showMessage(text ? text : "", caption ? caption : "", style);
}

void notifyHostText(int id, char* buf, int size) { s_hooks.hostText(id, buf, size); }

bool notifyProgramMissing(const char* program) { return s_hooks.programMissing(program); }

void systemErrorText(unsigned long code, char* out, int size) {
    if (!out || size <= 0)
        return;
    out[0] = '\0';
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), out, size, nullptr);
    if (n == 0)
        formatText(out, size, "Error %lu", code);
    out[size - 1] = '\0';
}

} // namespace zk
