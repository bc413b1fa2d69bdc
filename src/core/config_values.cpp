// Values of autorun.cfg derived from the text of a setting.
#include "core/config_values.h"

#include <climits>
#include <cstring>

#include "core/inifile.h"
#include "platform/text.h"

namespace zk {

int startupDiscNumber(const char* value) {
    return static_cast<int>(parseDecimal(value, INT_MIN, INT_MAX));
}

bool splitRegistrySetting(const char* value, char* company, size_t companyCap, char* keyPath,
                          size_t keyPathCap) {
    if (!value)
        value = "";
    formatText(keyPath, keyPathCap, "SOFTWARE\\%s", value);
    const char* slash = strchr(value, '\\');
    // A leading backslash names no company; the one already set stays.
    if (!slash || slash == value)
        return false;
    size_t length = static_cast<size_t>(slash - value);
    copyText(company, length + 1 < companyCap ? length + 1 : companyCap, value);
    return true;
}

} // namespace zk
