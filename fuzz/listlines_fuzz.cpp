// File lists and install-log lines: a formed log line read back, by the
// installation and by the uninstaller, gives the same entry; list text is
// read as a plain line-by-line model reads it; the merge keeps both lists'
// orders and merges sorted lists as std::merge does.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "install/listlines.h"
#include "platform/relpath.h"
#include "uninstall/uninstall.h"
#include "fuzz_input.h"

namespace {

// Between the fields of an input.
const char kSeparator = '|';

const size_t kRead = zk::kListLine - 1;

size_t findMark(const std::string& text) {
    size_t lower = text.find("/s"), upper = text.find("/S");
    return std::min(lower, upper);
}

std::string trimBlanks(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return std::string();
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

// The lines of a list as a text-mode reader gives them, computed line by line.
std::vector<std::string> modelLines(std::string text) {
    text = text.substr(0, text.find('\x1A'));
    std::string joined;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;  // CR LF reads as LF
        joined.push_back(text[i]);
    }
    std::vector<std::string> lines;
    for (size_t start = 0; start < joined.size();) {
        size_t end = joined.find('\n', start);
        if (end == std::string::npos)
            end = joined.size();
        // A long line comes in reads of kRead characters, each cut at CR or NUL.
        for (size_t piece = start; piece < end; piece += kRead) {
            std::string read = joined.substr(piece, std::min(kRead, end - piece));
            read = read.substr(0, read.find_first_of(std::string("\r\0", 2)));
            if (!read.empty())
                lines.push_back(read);
        }
        start = end + 1;
    }
    return lines;
}

void checkFormedLine(int disc, int level, const std::string& path, bool recursive, size_t cap) {
    std::vector<char> out(cap + 8, '#');
    bool formed = zk::formatFileListLine(out.data(), cap, disc, level, path.c_str(), recursive);
    for (size_t i = cap; i < out.size(); ++i)
        require(out[i] == '#', "a formed line stays within its buffer");
    if (!formed) {
        require(out[0] == '\0', "a refused line leaves the buffer empty");
        require(!zk::isInstallRelativePath(path.c_str()) || cap < 300,
                "an accepted path forms a line when there is room");
        return;
    }
    require(zk::isInstallRelativePath(path.c_str()), "only accepted paths are logged");
    const std::string line = out.data();
    require(line.size() < cap && line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0,
            "a log line ends with CR LF within its buffer");

    std::vector<std::string> read;
    zk::readListText(line.data(), line.size(), &read);
    require(read.size() == 1, "a log line reads back as one line");
    zk::FileListEntry entry;
    require(zk::parseFileListLine(read[0].c_str(), &entry), "a log line reads back");
    require(entry.disc == disc && entry.level == level, "disc and level read back");
    size_t mark = findMark(path);
    require(entry.recursive == (recursive || mark != std::string::npos), "the mark reads back");
    std::string expected = mark != std::string::npos ? path.substr(0, mark)
                                                      : path + (recursive ? " " : "");
    require(expected == entry.path, "the path reads back up to the mark");
    require(zk::isInstallRelativePath(entry.path), "the path read back is accepted again");
    require(zk::isSafeRelativePath(trimBlanks(entry.path).c_str()),
            "what the uninstaller uses stays inside the folder");
    zk::UninstallEntry removal;
    require(zk::parseUninstallLine(read[0].c_str(), &removal) &&
                removal.path == trimBlanks(entry.path) && removal.recursive == entry.recursive,
            "the uninstaller reads back the entry that was logged");
}

void checkParsed(const std::string& line) {
    zk::FileListEntry entry;
    if (!zk::parseFileListLine(line.c_str(), &entry))
        return;
    std::string text = line.substr(0, kRead);
    text = text.substr(0, findMark(text));
    size_t comma1 = text.find(','), comma2 = text.find(',', comma1 + 1);
    require(comma2 != std::string::npos, "a split line has two commas before the mark");
    require(text.substr(comma2 + 1) == entry.path, "the path is what follows the second comma");
    require(entry.recursive == (findMark(line.substr(0, kRead)) != std::string::npos),
            "recursive when the line has the mark");
}

bool keyLess(const std::string& a, const std::string& b) {
    int da = 0, la = 0, db = 0, lb = 0;  // a line without a comma sorts first
    zk::discAndLevel(a, &da, &la);
    zk::discAndLevel(b, &db, &lb);
    return da < db || (da == db && la < lb);
}

bool isSubsequence(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
    size_t i = 0;
    for (const std::string& line : whole)
        if (i < part.size() && line == part[i])
            ++i;
    return i == part.size();
}

void checkMerge(const std::vector<std::string>& common, const std::vector<std::string>& language) {
    std::vector<std::string> work = common;
    zk::mergeFileLists(&work, language);
    std::vector<std::string> kept;
    int d, l;
    for (size_t i = 0; i < language.size(); ++i)
        if (zk::discAndLevel(language[i], &d, &l) || (i == 0 && common.empty()))
            kept.push_back(language[i]);
    require(work.size() == common.size() + kept.size(), "the merge loses and adds nothing");
    require(isSubsequence(common, work), "common lines keep their order");
    // Each language line goes in at or after the previous one's place, so
    // language lines in order keep it.
    if (std::is_sorted(kept.begin(), kept.end(), keyLess))
        require(isSubsequence(kept, work), "sorted language lines keep their order");

    // Sorted lists of "disc,level" lines merge as std::merge does, common first.
    std::vector<std::string> a, b;
    for (const std::string& line : common)
        if (zk::discAndLevel(line, &d, &l))
            a.push_back(line);
    for (const std::string& line : language)
        if (zk::discAndLevel(line, &d, &l))
            b.push_back(line);
    std::stable_sort(a.begin(), a.end(), keyLess);
    std::stable_sort(b.begin(), b.end(), keyLess);
    std::vector<std::string> expected;
    std::merge(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(expected), keyLess);
    work = a;
    zk::mergeFileLists(&work, b);
    require(work == expected, "sorted lists merge in order, common lines first");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    int disc = in.number(-20, 20);
    int level = in.number(-5, 5);
    bool recursive = in.byte() & 1;
    size_t cap = static_cast<size_t>(in.number(1, 600));
    const std::string path = in.text(kSeparator).c_str();  // a C string
    checkFormedLine(disc, level, path, recursive, cap);

    std::string commonText = in.text(kSeparator);
    std::string languageText = in.rest();
    std::vector<std::string> common, language;
    zk::readListText(commonText.data(), commonText.size(), &common);
    zk::readListText(languageText.data(), languageText.size(), &language);
    require(common == modelLines(commonText), "list lines are read as text-mode reads give them");
    require(language == modelLines(languageText), "list lines are read as text-mode reads give them");
    for (const std::string& line : common)
        checkParsed(line);
    checkMerge(common, language);
    return 0;
}
