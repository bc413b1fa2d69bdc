#include "product.h"

#include <windows.h>

namespace zkuninstall {

namespace {

const char kAppPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

// A registry key opened for reading, closed with its holder.
class ReadKey {
  public:
    ReadKey(HKEY parent, const std::string& path) {
        if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &m_key) != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~ReadKey() {
        if (m_key)
            RegCloseKey(m_key);
    }
    ReadKey(const ReadKey&) = delete;
    ReadKey& operator=(const ReadKey&) = delete;

    bool isOpen() const { return m_key != nullptr; }
    HKEY handle() const { return m_key; }

    // A string value ("" when missing or not a string); at most 1023 bytes,
    // as the installation writes them.
    std::string text(const char* name) const {
        char value[1024];
        DWORD type = 0, size = sizeof value - 1;
        if (!m_key || RegQueryValueExA(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(value),
                                       &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            return "";
        value[size] = '\0';  // a stored string need not be terminated
        return value;
    }

    // A 32-bit number (0 when missing).
    DWORD number(const char* name) const {
        DWORD value = 0, type = 0, size = sizeof value;
        if (!m_key || RegQueryValueExA(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                                       &size) != ERROR_SUCCESS ||
            type != REG_DWORD)
            return 0;
        return value;
    }

  private:
    HKEY m_key = nullptr;
};

std::string withoutTrailingBackslashes(std::string path) {
    while (path.size() > 1 && path.back() == '\\' && path[path.size() - 2] != ':')
        path.pop_back();
    return path;
}

int rank(const Product& product) {
    return (product.installed ? 2 : 0) + (product.programThere ? 1 : 0);
}

} // namespace

bool sameFolder(const std::string& a, const std::string& b) {
    std::string x = withoutTrailingBackslashes(a), y = withoutTrailingBackslashes(b);
    return !x.empty() && lstrcmpiA(x.c_str(), y.c_str()) == 0;
}

std::string longForm(const std::string& path) {
    char full[MAX_PATH * 4];
    DWORD n = GetLongPathNameA(path.c_str(), full, sizeof full);
    return withoutTrailingBackslashes(n > 0 && n < sizeof full ? std::string(full, n) : path);
}

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

std::string programPath() {
    char path[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return n > 0 && n < sizeof path ? std::string(path, n) : "";
}

std::string temporaryFolder() {
    char path[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof path, path);
    return n > 0 && n < sizeof path ? longForm(std::string(path, n)) : "";
}

bool readProduct(const std::string& key, Product& product) {
    ReadKey entry(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "\\" + key);
    if (!entry.isOpen())
        return false;
    product.key = key;
    product.gameKey = entry.text("Game Registry");
    // The default value is the game's program; without "Path", its folder
    // stands for the install folder.
    const std::string program = entry.text("");
    product.installFolder = entry.text("Path");
    if (product.installFolder.empty())
        product.installFolder = folderOf(program);
    product.installed = entry.number("Installed") != 0;
    product.programThere =
        !program.empty() && GetFileAttributesA(program.c_str()) != INVALID_FILE_ATTRIBUTES;
    product.displayName.clear();
    product.locale.clear();
    if (!product.gameKey.empty()) {
        ReadKey game(HKEY_LOCAL_MACHINE, product.gameKey);
        product.displayName = game.text("DisplayName");
        product.locale = game.text("Locale");
    }
    if (product.displayName.empty())
        product.displayName = key;
    return true;
}

bool findProduct(const std::string& folder, Product& product) {
    ReadKey root(HKEY_LOCAL_MACHINE, kAppPaths);
    if (!root.isOpen())
        return false;
    bool found = false;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        LONG result = RegEnumKeyExA(root.handle(), i, name, &size, nullptr, nullptr, nullptr,
                                    nullptr);
        if (result == ERROR_MORE_DATA)
            continue;  // longer than any executable's name: not a game's entry
        if (result != ERROR_SUCCESS)
            break;
        Product candidate;
        if (!readProduct(name, candidate) || candidate.installFolder.empty() ||
            !sameFolder(longForm(candidate.installFolder), folder))
            continue;
        // An entry left by an earlier installation into the same folder names
        // a program that is gone, or is no longer marked installed.
        if (!found || rank(candidate) > rank(product))
            product = candidate;
        found = true;
    }
    return found;
}

} // namespace zkuninstall
