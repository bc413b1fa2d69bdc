// Reading profile files for CIniFile: the bytes come from the file and the
// wide form's text is turned into the ANSI code page; inifile.cpp parses.
#include "core/inifile.h"

#include <windows.h>

#include "platform/textlines.h"

namespace {

std::string toAnsi(const char16_t* text, size_t length) {
    if (length == 0)
        return std::string();
    std::wstring wide(text, text + length);
    int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
    if (n <= 0)
        return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr,
                        nullptr);
    return out;
}

} // namespace

int CIniFile::load() {
    std::string bytes;
    if (!zk::readFileBytes(m_path.c_str(), &bytes)) {
        clearSections();
        return -1;
    }
    loadText(bytes.data(), bytes.size());
    return 0;
}

int CIniFile::loadWide() {
    std::string bytes;
    if (!zk::readFileBytes(m_path.c_str(), &bytes)) {
        clearSections();
        return -1;
    }
    loadWideText(bytes.data(), bytes.size(), toAnsi);
    return 0;
}
