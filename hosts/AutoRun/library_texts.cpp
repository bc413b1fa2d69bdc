// hostText: AutoRun's texts through the library, so that they follow the
// language the installation runs in.
#include <windows.h>

#include <cstring>

#include "ZKInstall.h"
#include "texts.h"

namespace autorun {

std::string hostText(int id) {
    char text[1024] = {0};
    // The library leaves the buffer unterminated when a text fills it.
    ZKINSTALL_getStringFromDLLorEXE(id, text, sizeof text - 1);
    text[sizeof text - 1] = '\0';
    if (text[0] == '\0' || strncmp(text, "Can't get string id", 19) == 0) {
        // Not in the installation's language anywhere: this program's own
        // table in whatever language it has.
        if (LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), text, sizeof text) <= 0)
            return "#" + std::to_string(id);
    }
    return text;
}

std::string hostText(int id, const std::vector<std::string>& args) {
    return fillText(hostText(id), args);
}

} // namespace autorun
