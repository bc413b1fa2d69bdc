// The exported file-system queries: thin entries over the copy engine.
#include "ZKInstall.h"

bool ZKINSTALL_isFile(char* path) {
    CZKCopyFile copier;
    CString text;
    text.m_pszData = path;
    return copier.isFile(text, nullptr, nullptr) == 1;
}

bool ZKINSTALL_fileExists(const char* path) {
    CZKCopyFile copier;
    return copier.fileExists(path, false);
}

bool ZKINSTALL_dirExists(const char* path) {
    CZKCopyFile copier;
    return copier.dirExists(path);
}

bool ZKINSTALL_createDirectory(char* path) {
    CZKCopyFile copier;
    return copier.createDirectory(path, 0);
}
