// autorun.cfg and AutoRun.inf: the settings read as the installer reads them
// into its fixed fields, the values derived from them, and the disc's
// identity, each checked against what its text says.
#include <climits>
#include <cstring>
#include <string>

#include "core/config_values.h"
#include "core/inifile.h"
#include "core/names.h"
#include "install/disc_inf.h"
#include "fuzz_input.h"

namespace {

const size_t kField = 260;

long long clamped(const std::string& value, long long low, long long high) {
    long long n = strtoll(value.c_str(), nullptr, 10);
    return n < low ? low : n > high ? high : n;
}

std::string lookUp(CIniFile& ini, const char* section, const char* key) {
    std::string value;
    ini.getString(section, key, value);
    return value.substr(0, value.find('\0'));
}

// A 260-byte field with a guard after it, as the installer state holds them.
struct Field {
    char text[kField];
    char guard[8];
    Field() {
        memset(text, '#', sizeof text);
        memset(guard, '#', sizeof guard);
    }
    void checkBounded(const char* what) const {
        require(memchr(text, '\0', sizeof text) != nullptr, what);
        for (char c : guard)
            require(c == '#', what);
    }
};

void checkRegistry(const std::string& value) {
    Field company, keyPath;
    bool named = zk::splitRegistrySetting(value.c_str(), company.text, kField, keyPath.text, kField);
    keyPath.checkBounded("the key path field stays bounded");
    require(std::string(keyPath.text) == ("SOFTWARE\\" + value).substr(0, kField - 1),
            "the key path is SOFTWARE\\ and the value, cut");
    size_t slash = value.find('\\');
    require(named == (slash != std::string::npos && slash > 0),
            "a company is named by text before a backslash");
    if (named) {
        company.checkBounded("the company field stays bounded");
        require(std::string(company.text) == value.substr(0, slash).substr(0, kField - 1),
                "the company is the text before the first backslash, cut");
    } else {
        require(company.text[0] == '#' && company.guard[0] == '#',
                "without a company the field is left alone");
    }
}

void checkFriendlyName(const std::string& value) {
    static const char kAllowed[] = " !@#$%^&()_+-=[]{};',";
    Field name;
    zk::makeFriendlyName(name.text, value.c_str());
    name.checkBounded("the friendly name stays bounded");
    std::string out = name.text;
    for (char c : out) {
        bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        require(alnum || strchr(kAllowed, c) != nullptr, "a friendly name holds allowed characters");
    }
    require(out.empty() || (out.front() != ' ' && out.back() != ' '), "a friendly name is trimmed");
}

void checkDisc(CIniFile& ini) {
    const std::string disk = lookUp(ini, "Special", "Disk");
    const std::string guid = lookUp(ini, "Special", "ProductGuiID");
    int number = static_cast<int>(clamped(disk, INT_MIN, INT_MAX));
    int expected = number == 0 ? -1 : number;
    require(zk::discNumberFromInf(ini, nullptr) == expected, "no product: the disc is its number");
    require(zk::discNumberFromInf(ini, zk::kPlaceholderGUID) == expected,
            "the placeholder product: the disc is its number");
    if (guid != zk::kPlaceholderGUID) {
        require(zk::discNumberFromInf(ini, guid.c_str()) == expected,
                "the disc's own product: the disc is its number");
        require(zk::discNumberFromInf(ini, (guid + "x").c_str()) == -1,
                "another product: no disc of ours");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CIniFile ini;
    ini.loadText(reinterpret_cast<const char*>(data), size);

    // The text settings, each into its field.
    for (const char* key : {"AppName", "Executable", "Icon", "ProductGuiID", "DirectXVersion",
                            "RTPatchURL", "Version", "WebURL", "Registry", "StartupCD"}) {
        Field field;
        ini.getText("", key, field.text, kField);
        field.checkBounded("a text setting stays within its field");
        require(lookUp(ini, "", key).compare(0, kField - 1, field.text) == 0,
                "a text setting is its value, cut");
    }

    const std::string startup = lookUp(ini, "", "StartupCD");
    require(zk::startupDiscNumber(startup.c_str()) == clamped(startup, INT_MIN, INT_MAX),
            "the startup disc is the value's leading number");
    long long size64 = 0;
    ini.getInt64("", "InstallFull", &size64);
    require(size64 == clamped(lookUp(ini, "", "InstallFull"), LLONG_MIN, LLONG_MAX),
            "a size is the value's leading number");

    checkRegistry(lookUp(ini, "", "Registry"));
    checkFriendlyName(lookUp(ini, "", "AppName"));
    checkDisc(ini);
    return 0;
}
