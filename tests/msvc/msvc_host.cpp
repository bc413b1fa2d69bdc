// A host built as a Visual C++ program is: compiled for the Microsoft ABI,
// linked by lld-link against import libraries, without any C runtime.  It
// binds to ZKInstall.dll by the decorated names the compiler gives the
// declarations of ZKInstall.h, and installs the generated three-disc set from
// the CD-ROM drives: settings, the copy on the library's worker thread polled
// as a host polls it, the registry entries and then the rollback through ZKINSTALL_cancelInstallGame.  One line per check on
// standard output; exit code 0 when every check holds.
#include "ZKInstall.h"

typedef decltype(sizeof 0) Size;

struct FindData {  // WIN32_FIND_DATAA
    DWORD attributes;
    DWORD times[6];
    DWORD sizeHigh, sizeLow, reserved[2];
    char name[260];
    char shortName[14];
};
struct FileFacts {  // WIN32_FILE_ATTRIBUTE_DATA
    DWORD attributes;
    DWORD times[6];
    DWORD sizeHigh, sizeLow;
};

extern "C" {
// The Microsoft compiler refers to this from any code that uses floating point,
// and clears zero-initialised buffers through memset: without a runtime, both
// are this program's own.
int _fltused = 0;
void* memset(void* to, int value, Size count) {
    volatile char* at = static_cast<char*>(to);  // volatile: not turned back into memset
    while (count--)
        *at++ = static_cast<char>(value);
    return to;
}

__declspec(dllimport) int __stdcall CloseHandle(HANDLE);
__declspec(dllimport) int __stdcall CopyFileA(const char*, const char*, int);
__declspec(dllimport) int __stdcall CreateDirectoryA(const char*, void*);
__declspec(dllimport) HANDLE __stdcall CreateFileA(const char*, DWORD, DWORD, void*, DWORD, DWORD,
                                                   HANDLE);
__declspec(dllimport) int __stdcall DeleteFileA(const char*);
__declspec(dllimport) void __stdcall ExitProcess(unsigned);
__declspec(dllimport) int __stdcall FindClose(HANDLE);
__declspec(dllimport) HANDLE __stdcall FindFirstFileA(const char*, FindData*);
__declspec(dllimport) int __stdcall FindNextFileA(HANDLE, FindData*);
__declspec(dllimport) DWORD __stdcall GetEnvironmentVariableA(const char*, char*, DWORD);
__declspec(dllimport) int __stdcall GetFileAttributesExA(const char*, int, FileFacts*);
__declspec(dllimport) DWORD __stdcall GetFileAttributesA(const char*);
__declspec(dllimport) DWORD __stdcall GetModuleFileNameA(HMODULE, char*, DWORD);
__declspec(dllimport) HANDLE __stdcall GetStdHandle(DWORD);
__declspec(dllimport) DWORD __stdcall GetTickCount();
__declspec(dllimport) HMODULE __stdcall LoadLibraryA(const char*);
__declspec(dllimport) int __stdcall ReadFile(HANDLE, void*, DWORD, DWORD*, void*);
__declspec(dllimport) int __stdcall RemoveDirectoryA(const char*);
__declspec(dllimport) int __stdcall SetCurrentDirectoryA(const char*);
__declspec(dllimport) int __stdcall SetFileAttributesA(const char*, DWORD);
__declspec(dllimport) void __stdcall Sleep(DWORD);
__declspec(dllimport) DWORD __stdcall WaitForSingleObject(HANDLE, DWORD);
__declspec(dllimport) int __stdcall WriteFile(HANDLE, const void*, DWORD, DWORD*, void*);
__declspec(dllimport) int __stdcall lstrcmpiA(const char*, const char*);
__declspec(dllimport) int __stdcall lstrlenA(const char*);
}

namespace {

const DWORD kStdOutput = static_cast<DWORD>(-11);
const DWORD kNoAttributes = 0xFFFFFFFF, kDirectory = 0x10, kNormal = 0x80;
const DWORD kWaitTimeout = 0x102;
const int kInstallType = 3;  // full
const Size kPath = 260;   // MAX_PATH, also the library's text buffers
const Size kLine = 1024;
HANDLE const kInvalidHandle = reinterpret_cast<HANDLE>(static_cast<__int64>(-1));

int g_failures = 0;
int g_messages = 0;
char g_expected[1 << 16];  // discset\expected\install_3_en-us.txt
char g_config[1 << 13];    // disc 1's AutoRun\autorun.cfg
char g_discSet[kPath], g_drives[kPath], g_scratch[kPath], g_target[kPath];

// --- bounded text, standard output -----------------------------------------

bool append(char* out, Size cap, const char* text) {
    Size n = 0;
    while (n < cap && out[n])
        ++n;
    for (; *text; ++text) {
        if (n + 1 >= cap) {
            out[n < cap ? n : cap - 1] = '\0';
            return false;
        }
        out[n++] = *text;
    }
    out[n] = '\0';
    return true;
}

bool appendNumber(char* out, Size cap, __int64 value) {
    char digits[24];
    int at = sizeof digits - 1;
    digits[at] = '\0';
    unsigned __int64 v = value < 0 ? 0 - static_cast<unsigned __int64>(value) : value;
    do {
        digits[--at] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v);
    if (value < 0)
        digits[--at] = '-';
    return append(out, cap, digits + at);
}

// out = a + "\" + b (no doubled backslash); false when it does not fit.
bool join(char* out, const char* a, const char* b) {
    out[0] = '\0';
    int n = lstrlenA(a);
    return append(out, kPath, a) && (n > 0 && a[n - 1] == '\\' ? true : append(out, kPath, "\\")) &&
           append(out, kPath, b);
}

void print(const char* a, const char* b = "", const char* c = "", const char* d = "") {
    char line[kLine * 2] = "";
    append(line, sizeof line, a);
    append(line, sizeof line, b);
    append(line, sizeof line, c);
    append(line, sizeof line, d);
    append(line, sizeof line, "\r\n");
    DWORD written = 0;
    WriteFile(GetStdHandle(kStdOutput), line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
}

bool check(bool ok, const char* what, const char* detail = "") {
    if (!ok)
        ++g_failures;
    print(ok ? "ok: " : "FAIL: ", what, detail);
    return ok;
}

bool same(const char* a, const char* b) { return lstrcmpiA(a, b) == 0; }

bool startsWith(const char* text, const char* prefix) {
    while (*prefix)
        if (*text++ != *prefix++)
            return false;
    return true;
}

__int64 parseNumber(const char* text) {
    __int64 v = 0;
    while (*text >= '0' && *text <= '9')
        v = v * 10 + (*text++ - '0');
    return v;
}

// Copies the next line of `text` (from *at) into `line`; false at the end.
bool nextLine(const char* text, Size* at, char* line, Size cap) {
    if (!text[*at])
        return false;
    Size n = 0;
    for (; text[*at] && text[*at] != '\n'; ++*at)
        if (text[*at] != '\r' && n + 1 < cap)
            line[n++] = text[*at];
    line[n] = '\0';
    if (text[*at])
        ++*at;
    return true;
}

// The value of "key=value" in the disc's configuration.
bool setting(const char* key, char* out) {
    Size at = 0, n = lstrlenA(key);
    char line[kLine];
    while (nextLine(g_config, &at, line, sizeof line)) {
        if (static_cast<Size>(lstrlenA(line)) <= n || line[n] != '=')
            continue;
        line[n] = '\0';
        if (same(line, key)) {
            out[0] = '\0';
            return append(out, kPath, line + n + 1);
        }
    }
    return false;
}

// --- files ------------------------------------------------------------------

bool readWhole(const char* path, char* out, Size cap) {
    HANDLE file = CreateFileA(path, 0x80000000 /* read */, 1 /* share read */, nullptr,
                              3 /* existing */, 0, nullptr);
    if (file == kInvalidHandle)
        return false;
    DWORD got = 0;
    bool ok = ReadFile(file, out, static_cast<DWORD>(cap - 1), &got, nullptr) && got < cap - 1;
    out[ok ? got : 0] = '\0';
    CloseHandle(file);
    return ok;
}

bool isDots(const char* name) {
    return name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2]));
}

bool copyTree(const char* from, const char* to) {
    char pattern[kPath], a[kPath], b[kPath];
    FindData found;
    CreateDirectoryA(to, nullptr);
    if (!join(pattern, from, "*"))
        return false;
    HANDLE find = FindFirstFileA(pattern, &found);
    if (find == kInvalidHandle)
        return false;
    bool ok = true;
    do {
        if (isDots(found.name))
            continue;
        ok = join(a, from, found.name) && join(b, to, found.name) && ok;
        ok = ((found.attributes & kDirectory) ? copyTree(a, b) : CopyFileA(a, b, 0) != 0) && ok;
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return ok;
}

void removeTree(const char* path) {
    char pattern[kPath], child[kPath];
    FindData found;
    if (join(pattern, path, "*")) {
        HANDLE find = FindFirstFileA(pattern, &found);
        if (find != kInvalidHandle) {
            do {
                if (isDots(found.name) || !join(child, path, found.name))
                    continue;
                if (found.attributes & kDirectory) {
                    removeTree(child);
                } else {
                    SetFileAttributesA(child, kNormal);
                    DeleteFileA(child);
                }
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
    }
    RemoveDirectoryA(path);
}

// Walks the expected files of the installation: how many there are, how many
// are in the target folder, and how many of those have their expected size.
void walkExpected(int* total, int* present, int* sized) {
    *total = *present = *sized = 0;
    Size at = 0;
    char line[kLine], path[kPath];
    while (nextLine(g_expected, &at, line, sizeof line)) {
        if (!startsWith(line, "file\t"))
            continue;
        char* name = line + 5;
        char* tab = name;
        while (*tab && *tab != '\t')
            ++tab;
        if (!*tab)
            continue;
        *tab = '\0';
        ++*total;
        FileFacts facts;
        if (!join(path, g_target, name) || !GetFileAttributesExA(path, 0, &facts))
            continue;
        ++*present;
        __int64 size = (static_cast<__int64>(facts.sizeHigh) << 32) | facts.sizeLow;
        *sized += size == parseNumber(tab + 1);
    }
}

__int64 expectedCounted() {
    Size at = 0;
    char line[kLine];
    while (nextLine(g_expected, &at, line, sizeof line))
        if (startsWith(line, "counted\t"))
            return parseNumber(line + 8);
    return -1;
}

void putDiscsIn(bool in) {
    char drive[kPath], disc[kPath], name[] = "d";
    for (int i = 0; i < 3; ++i) {
        name[0] = static_cast<char>('d' + i);
        char diskName[] = "Disk1";
        diskName[4] = static_cast<char>('1' + i);
        join(drive, g_drives, name);
        removeTree(drive);
        CreateDirectoryA(drive, nullptr);
        if (in)
            check(join(disc, g_discSet, diskName) && copyTree(disc, drive), "disc in drive ", name);
    }
}

// --- the library's callbacks --------------------------------------------------

int __stdcall onMessage(HWND, const char* text, const char* caption, unsigned) {
    ++g_messages;
    print("message: ", caption ? caption : "", " | ", text ? text : "");
    return 1;  // OK
}

int __stdcall onDiscRequest(int disc) {
    char number[8] = "";
    appendNumber(number, sizeof number, disc);
    print("disc request: ", number);
    ++g_messages;
    return 2;  // Cancel: every disc is in a drive
}

// --- registry, through the library's exported CZKRegistry ---------------------

char g_hklmName[] = "HKEY_LOCAL_MACHINE";
const char kAppPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
char g_appKey[kPath], g_gameKey[kPath], g_uninstallKey[kPath], g_companyKey[kPath];

bool keyExists(const char* path) {
    CZKRegistry key;
    return key.openKey(key.stringToKey(g_hklmName), path) == 0;
}

// Takes away the game's keys (those an earlier run may have left behind).
void removeKeys() {
    const char* keys[] = {g_appKey, g_gameKey, g_uninstallKey};
    for (const char* path : keys) {
        CZKRegistry key;
        if (key.openKey(key.stringToKey(g_hklmName), path) == 0)
            key.XdelKeys(path);
    }
    CZKRegistry key;
    key.deleteKeyIfEmpty(g_companyKey);
}

bool locate() {
    char self[kPath];
    DWORD n = GetModuleFileNameA(nullptr, self, kPath);
    if (n == 0 || n >= kPath)
        return false;
    while (n > 0 && self[n - 1] != '\\')
        --n;
    self[n] = '\0';
    char config[kPath], expected[kPath];
    bool ok = join(g_discSet, self, "..\\fixtures\\discset") &&
              join(config, g_discSet, "Disk1\\AutoRun\\autorun.cfg") &&
              join(expected, g_discSet, "expected\\install_3_en-us.txt") &&
              readWhole(config, g_config, sizeof g_config) &&
              readWhole(expected, g_expected, sizeof g_expected);
    n = GetEnvironmentVariableA("ZK_DISC_ROOT", g_drives, kPath);
    ok = ok && n > 0 && n < kPath;
    char exe[kPath], registry[kPath], guid[kPath];
    if (!ok || !setting("Executable", exe) || !setting("Registry", registry) ||
        !setting("ProductGuiID", guid))
        return false;
    g_appKey[0] = g_gameKey[0] = g_uninstallKey[0] = g_companyKey[0] = '\0';
    append(g_appKey, kPath, kAppPaths);
    append(g_appKey, kPath, exe);
    append(g_gameKey, kPath, "SOFTWARE\\");
    append(g_gameKey, kPath, registry);
    append(g_uninstallKey, kPath, kUninstall);
    append(g_uninstallKey, kPath, guid);
    append(g_companyKey, kPath, g_gameKey);
    for (int i = lstrlenA(g_companyKey) - 1; i > 0; --i)
        if (g_companyKey[i] == '\\') {
            g_companyKey[i] = '\0';
            break;
        }
    return true;
}

// --- the installation -----------------------------------------------------------

struct CopyRun {
    int running = 0, cancel = 0;
    float percent = 0;
    char currentFile[kLine] = "";
    void* thread = nullptr;
    bool sawRunning = false;
};

void copyGame(CopyRun& run, __int64 counted) {
    if (!check(ZKINSTALL_copyCacheFiles(kInstallType, &run.running, run.currentFile, &run.percent,
                                        &run.cancel, counted, &run.thread) &&
                   run.thread && run.thread != kInvalidHandle,
               "ZKINSTALL_copyCacheFiles started the worker"))
        return;
    while (WaitForSingleObject(run.thread, 5) == kWaitTimeout)
        run.sawRunning = run.sawRunning || run.running != 0;
    CloseHandle(run.thread);
    check(run.sawRunning && run.running == 0, "running was 1 during the copy and 0 after it");
    check(run.cancel == 0 && run.percent > 99.99f && run.percent < 100.01f,
          "the copy ended at 100 % and uncancelled");
}

void checkRegistered() {
    check(ZKINSTALL_setStandardGameRegistryItems(), "ZKINSTALL_setStandardGameRegistryItems");
    ZKINSTALL_setInstallationCompleted(true);
    CZKRegistry app;
    unsigned long installed = 0, size = kPath;
    char game[kPath] = "";
    bool open = app.openKey(app.stringToKey(g_hklmName), g_appKey) == 0;
    check(open && app.getValue("Installed", &installed) == 0 && installed == 1,
          "Installed is 1 in ", g_appKey);
    check(open && app.getValue("Game Registry", game, &size) == 0 && same(game, g_gameKey),
          "Game Registry names ", g_gameKey);
    check(keyExists(g_gameKey), "game key written: ", g_gameKey);
    check(keyExists(g_uninstallKey), "Uninstall entry written: ", g_uninstallKey);
}

// The rollback's running flag is 1 from the call's return until its worker
// is done: polling at once must not read an early 0.
void rollBack(CopyRun& copy) {
    int running = 0, cancelled = 0;
    float progress = 0;
    check(ZKINSTALL_cancelInstallGame(&copy.running, &running, &progress, &cancelled) &&
              cancelled == 1,
          "ZKINSTALL_cancelInstallGame started the rollback");
    for (DWORD start = GetTickCount(); running && GetTickCount() - start < 120000;)
        Sleep(10);
    check(running == 0, "the rollback finished");
    int total, present, sized;
    walkExpected(&total, &present, &sized);
    check(present == 0, "no installed file is left");
    check(GetFileAttributesA(g_target) == kNoAttributes, "the install folder is gone: ", g_target);
    check(GetFileAttributesA(g_scratch) == kNoAttributes, "so is its empty parent");
    check(!keyExists(g_appKey), "App Paths key removed");
    check(!keyExists(g_gameKey), "game key removed");
    check(!keyExists(g_uninstallKey), "Uninstall entry removed");
}

int run() {
    if (!check(locate(), "found the disc set, its expectation and the drives"))
        return 1;
    LoadLibraryA("AutoRunGUI.dll");  // the host's texts, before the library's first one
    putDiscsIn(true);
    removeKeys();
    ZKINSTALL_setMessageBox(onMessage);
    ZKINSTALL_setBeforeCDRequest(onDiscRequest);
    ZKINSTALL_setAfterCDRequest(onDiscRequest);
    SetCurrentDirectoryA("D:\\");
    char exe[] = "AutoRun.exe";
    check(ZKINSTALL_init(exe), "ZKINSTALL_init");
    check(CZKSystem::initialized, "CZKSystem::initialized read as exported data");
    check(ZKINSTALL_readSettings(), "ZKINSTALL_readSettings");
    char text[kPath] = "", name[kPath] = "";
    ZKINSTALL_getProductName(text);
    check(setting("AppName", name) && same(text, name), "product name from the disc: ", text);
    check(ZKINSTALL_setLanguage(1), "ZKINSTALL_setLanguage(en-us)");
    {
        CZKSystem system;  // a constructor, a method and the destructor by name
        system.getTempPath(text);
        check(text[1] == ':', "CZKSystem::getTempPath: ", text);
    }
    // Not below the profiles folder (where the temporary folder is): the
    // rollback refuses to empty a folder an installation could not choose.
    check(join(g_scratch, "C:", "ZKMsvcHost") && join(g_target, g_scratch, "Game"),
          "install folder ", g_target);
    removeTree(g_scratch);
    ZKINSTALL_setGameCacheLocation(g_target);

    __int64 counted = expectedCounted();
    check(counted > 0 && ZKINSTALL_getInstallSize(kInstallType) == counted,
          "ZKINSTALL_getInstallSize(full) is the disc set's size");
    CopyRun copy;
    copyGame(copy, counted);
    int total, present, sized;
    walkExpected(&total, &present, &sized);
    text[0] = '\0';
    appendNumber(text, kPath, total);
    append(text, kPath, " expected, ");
    appendNumber(text, kPath, present);
    append(text, kPath, " present, ");
    appendNumber(text, kPath, sized);
    append(text, kPath, " of their size");
    check(total > 0 && present == total && sized == total, "installed files: ", text);
    join(name, g_target, "filelist.txt");
    check(GetFileAttributesA(name) != kNoAttributes, "install log written");

    checkRegistered();
    rollBack(copy);
    removeKeys();
    removeTree(g_scratch);
    putDiscsIn(false);
    check(g_messages == 0, "no message box and no disc request");
    return g_failures == 0 ? 0 : 1;
}

} // namespace

extern "C" void hostMain() { ExitProcess(static_cast<unsigned>(run())); }
