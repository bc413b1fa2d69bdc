#include "zktest/tree.h"

#include <windows.h>

#include <cstdlib>
#include <sstream>

#include "zktest/harness.h"

namespace zktest {

void copyTree(const std::string& src, const std::string& dst) {
    makeDirs(dst);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((src + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            copyTree(src + "\\" + name, dst + "\\" + name);
        else
            CopyFileA((src + "\\" + name).c_str(), (dst + "\\" + name).c_str(), FALSE);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

static void walk(const std::string& root, const std::string& rel,
                 std::map<std::string, unsigned long long>* files,
                 std::vector<std::string>* folders) {
    WIN32_FIND_DATAA fd;
    std::string here = rel.empty() ? root : root + "\\" + rel;
    HANDLE h = FindFirstFileA((here + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string path = rel.empty() ? name : rel + "\\" + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (folders)
                folders->push_back(path);
            walk(root, path, files, folders);
        } else if (files) {
            (*files)[path] = (static_cast<unsigned long long>(fd.nFileSizeHigh) << 32) |
                             fd.nFileSizeLow;
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

std::map<std::string, unsigned long long> listFiles(const std::string& root) {
    std::map<std::string, unsigned long long> files;
    walk(root, "", &files, nullptr);
    return files;
}

std::vector<std::string> listFolders(const std::string& root) {
    std::vector<std::string> folders;
    walk(root, "", nullptr, &folders);
    return folders;
}

unsigned long crc32Of(const std::string& bytes) {
    unsigned long crc = 0xFFFFFFFFul;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320ul & (0ul - (crc & 1)));
    }
    return crc ^ 0xFFFFFFFFul;
}

Expectation readExpectation(const std::string& path) {
    Expectation e;
    for (const std::string& line : lines(readFile(path))) {
        size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        std::string kind = line.substr(0, tab);
        std::string rest = line.substr(tab + 1);
        if (kind == "counted") {
            e.counted = atoll(rest.c_str());
        } else if (kind == "disc") {
            e.discs.push_back(atoi(rest.c_str()));
        } else if (kind == "folder") {
            e.folders.push_back(rest);
        } else if (kind == "log") {
            e.log.push_back(rest);
        } else if (kind == "file") {  // path, size, crc32 (hex), origin
            std::istringstream fields(rest);
            std::string file;
            Expectation::File f{};
            if (std::getline(fields, file, '\t') && fields >> f.size >> std::hex >> f.crc)
                e.files[file] = f;
        }
    }
    return e;
}

std::string fixturesDir() { return binDir() + "\\..\\fixtures"; }

} // namespace zktest
