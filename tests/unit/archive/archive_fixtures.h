// archive_fixtures.h - reading the archives and expectations that the build
// writes for these tests (tests/fixtures/archives.cmake), and what the tests
// look at afterwards: file bytes, CRCs, dates, folder trees.
#ifndef ZK_TEST_ARCHIVE_FIXTURES_H
#define ZK_TEST_ARCHIVE_FIXTURES_H

#include <windows.h>
#include <zlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "zktest/harness.h"

namespace archivetest {

inline std::string fixtureDir() { return zktest::binDir() + "\\..\\fixtures\\archives"; }
inline std::string discSetDir() { return zktest::binDir() + "\\..\\fixtures\\discset"; }

inline std::vector<std::string> split(const std::string& line, char separator) {
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        size_t end = line.find(separator, start);
        out.push_back(line.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            return out;
        start = end + 1;
    }
}

inline std::string backslashes(std::string text) {
    for (char& c : text)
        if (c == '/')
            c = '\\';
    return text;
}

// One member as make_archives.py recorded it.
struct Member {
    std::string name;  // as stored
    bool folder;
    long long size;
    unsigned long crc;
    std::string stamp;  // "YYYY-MM-DD hh:mm:ss", local time
    std::string note;   // safe, hostile, bad
};

inline std::vector<Member> members(const std::string& archive) {
    std::vector<Member> out;
    for (const std::string& line :
         zktest::lines(zktest::readFile(fixtureDir() + "\\" + archive + ".members"))) {
        std::vector<std::string> f = split(line, '\t');
        if (f.size() != 6)
            continue;
        out.push_back({f[0], f[1] == "folder", std::stoll(f[2]), std::stoul(f[3], nullptr, 16),
                       f[4], f[5]});
    }
    return out;
}

inline unsigned long crcOf(const std::string& bytes) {
    return crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()),
                 static_cast<uInt>(bytes.size()));
}

inline long long fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The last-write time of a file as local "YYYY-MM-DD hh:mm:ss".
inline std::string localStamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    FILETIME local;
    SYSTEMTIME t;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
        !FileTimeToSystemTime(&local, &t))
        return "";
    char text[32];
    snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay,
             t.wHour, t.wMinute, t.wSecond);
    return text;
}

// Every file below folder, relative to it, in listing order.
inline void listFiles(const std::string& folder, const std::string& relative,
                      std::vector<std::string>& out) {
    WIN32_FIND_DATAA found;
    std::string base = relative.empty() ? folder : folder + "\\" + relative;
    HANDLE find = FindFirstFileA((base + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string path = relative.empty() ? name : relative + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            listFiles(folder, path, out);
        else
            out.push_back(path);
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

inline std::vector<std::string> filesBelow(const std::string& folder) {
    std::vector<std::string> out;
    listFiles(folder, "", out);
    return out;
}

// What the disc generator says an extraction or installation must give.
struct Expectation {
    long long counted = -1;
    std::vector<int> discs;
    struct File {
        std::string path;
        long long size;
        unsigned long crc;
    };
    std::vector<File> files;
    std::vector<std::string> folders;
    std::vector<std::string> log;
};

inline Expectation expectation(const std::string& path) {
    Expectation e;
    for (const std::string& line : zktest::lines(zktest::readFile(path))) {
        std::vector<std::string> f = split(line, '\t');
        if (f[0] == "counted" && f.size() == 2)
            e.counted = std::stoll(f[1]);
        else if (f[0] == "disc" && f.size() == 2)
            e.discs.push_back(std::stoi(f[1]));
        else if (f[0] == "file" && f.size() == 5)
            e.files.push_back({f[1], std::stoll(f[2]), std::stoul(f[3], nullptr, 16)});
        else if (f[0] == "folder" && f.size() == 2)
            e.folders.push_back(f[1]);
        else if (f[0] == "log" && f.size() == 2)
            e.log.push_back(f[1]);
    }
    return e;
}

// Answers the driver's error routine from a script and records who asked.
struct ErrorScript {
    static std::vector<int>& answers() {
        static std::vector<int> a;
        return a;
    }
    static std::vector<std::string>& asked() {
        static std::vector<std::string> a;
        return a;
    }
    static void reset(std::vector<int> script) {
        answers() = script;
        asked().clear();
    }
    // Skips once the script is used up, so a failing test cannot loop.
    static int routine(const char* member) {
        asked().push_back(member ? member : "");
        if (answers().empty())
            return 2;
        int answer = answers().front();
        answers().erase(answers().begin());
        return answer;
    }
};

} // namespace archivetest

#endif
