// Times the uninstaller's file removal alone on an installed folder.  It
// registers the entries the uninstaller's preparation reads (App Paths, the
// game key, the Uninstall entry) for FOLDER with FOLDER\filelist.txt as the
// install log, prepares from the temporary folder as the relaunched
// uninstaller does (the log is copied there), times CZKUninstall::removeFiles
// and takes the entries away again through the library.
//   remove_files.exe FOLDER
// Prints "<log lines> <seconds> <entries left in FOLDER>".
#include <windows.h>

#include <stdio.h>

#include "ZKInstall.h"

namespace {

const char kProduct[] = "ZKBenchRemoveFiles.exe";
const char kGameKey[] = "SOFTWARE\\ZK Bench\\Remove Files";
const char kGuid[] = "{6B0C55E2-3F4A-4C1D-9E27-5BD0A0C7F1E3}";
const char kAppPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

bool setValues(const char* key, const char* const* names, const char* const* texts, int count,
               bool installed) {
    HKEY h;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr))
        return false;
    bool ok = true;
    for (int i = 0; i < count; ++i)
        ok = RegSetValueExA(h, names[i], 0, REG_SZ, reinterpret_cast<const BYTE*>(texts[i]),
                            static_cast<DWORD>(lstrlenA(texts[i]) + 1)) == ERROR_SUCCESS && ok;
    if (installed) {
        DWORD one = 1;
        ok = RegSetValueExA(h, "Installed", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one),
                            sizeof one) == ERROR_SUCCESS && ok;
    }
    RegCloseKey(h);
    return ok;
}

bool registerFolder(const char* folder, const char* log) {
    char key[512];
    const char* appNames[] = {"Game Registry", "Path"};
    const char* appTexts[] = {kGameKey, folder};
    const char* gameNames[] = {"Install Dir", "Product GUID"};
    const char* gameTexts[] = {folder, kGuid};
    const char* entryNames[] = {"DisplayName", "LogFile"};
    const char* entryTexts[] = {"ZK Bench Remove Files", log};
    snprintf(key, sizeof key, "%s%s", kAppPaths, kProduct);
    bool ok = setValues(key, appNames, appTexts, 2, true);
    ok = setValues(kGameKey, gameNames, gameTexts, 2, false) && ok;
    snprintf(key, sizeof key, "%s%s", kUninstall, kGuid);
    return setValues(key, entryNames, entryTexts, 2, false) && ok;
}

long countLines(const char* path) {
    FILE* f = fopen(path, "rb");
    if (!f)
        return -1;
    long lines = 0;
    int c, last = '\n';
    while ((c = fgetc(f)) != EOF) {
        if (c == '\n')
            ++lines;
        last = c;
    }
    fclose(f);
    return last == '\n' ? lines : lines + 1;
}

// Files and folders still in the folder, at any depth; 0 when it is gone.
long countLeft(const char* folder) {
    char query[MAX_PATH + 8];
    snprintf(query, sizeof query, "%s\\*", folder);
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(query, &found);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    long left = 0;
    do {
        if (!lstrcmpA(found.cFileName, ".") || !lstrcmpA(found.cFileName, ".."))
            continue;
        ++left;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            char sub[MAX_PATH + 8];
            snprintf(sub, sizeof sub, "%s\\%s", folder, found.cFileName);
            left += countLeft(sub);
        }
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return left;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || lstrlenA(argv[1]) > MAX_PATH - 20) {
        fprintf(stderr, "usage: remove_files.exe FOLDER\n");
        return 2;
    }
    const char* folder = argv[1];
    char log[MAX_PATH], temp[MAX_PATH], program[MAX_PATH];
    snprintf(log, sizeof log, "%s\\filelist.txt", folder);
    long lines = countLines(log);
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (lines < 0 || n == 0 || n >= sizeof temp || !GetModuleFileNameA(nullptr, program, MAX_PATH)) {
        fprintf(stderr, "no install log %s or no temporary folder\n", log);
        return 1;
    }
    if (!registerFolder(folder, log)) {
        fprintf(stderr, "cannot write the registry entries\n");
        return 1;
    }
    // From the temporary folder the preparation only reads the entries and
    // copies the log; from anywhere else it would relaunch this program.
    SetCurrentDirectoryA(temp);
    CZKUninstall uninstall;
    uninstall.prepareForUninstallation(program, kProduct);

    float progress = 0.0f;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    uninstall.removeFiles(&progress);
    QueryPerformanceCounter(&end);

    uninstall.removeUninstallRegistryEntry();
    uninstall.removeGameRegistryEntries();
    printf("%ld %.3f %ld\n", lines,
           static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart,
           countLeft(folder));
    return 0;
}
