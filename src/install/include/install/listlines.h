// listlines.h - the "disc,level,path" lines of the disc's file lists and of
// the install log: reading them from a list's text, splitting one, merging
// two lists, and forming and checking the lines the log receives.
#ifndef ZK_INSTALL_LISTLINES_H
#define ZK_INSTALL_LISTLINES_H

#include <cstddef>
#include <string>
#include <vector>

namespace zk {

// The longest list line read at once, terminator included.
const size_t kListLine = 1024;

// One list line split: "disc,level,path", where the first "/s" or "/S"
// anywhere in the line marks a recursive entry and ends the line.
struct FileListEntry {
    int disc = 0;
    int level = 0;
    bool recursive = false;
    char path[kListLine] = "";  // the text after the second comma, up to the mark
};

// Splits a line (cut to kListLine - 1 characters); false when it has fewer
// than two commas before the mark.
bool parseFileListLine(const char* line, FileListEntry* entry);

// Reads "disc,level" at the start of a line; false without a comma.
bool discAndLevel(const std::string& line, int* disc, int* level);

// Appends the non-empty lines of a list file's bytes, read as a text file:
// at most kListLine - 1 characters at a time, each cut at its first CR or LF.
void readListText(const char* data, size_t size, std::vector<std::string>* out);

// Merges the language's list into the common list in *work, ordered by disc
// then level: each language line goes before the first later entry at or
// after the previous one's place, so lines of the same disc and level keep
// their order, common ones first.  A language line without a comma is
// dropped unless the work list is empty; a common one is passed over.
void mergeFileLists(std::vector<std::string>* work, const std::vector<std::string>& language);

// True when the uninstaller, joining the install folder, a backslash and this
// entry, stays inside the install folder (isSafeRelativePath) and the entry
// is shorter than a path can be (trailing blanks aside).  Only the part before a "/s" or "/S" mark,
// without surrounding blanks, counts, as that is all the uninstaller reads;
// with marks of both cases, the parts before either must pass.  A control
// character anywhere refuses the whole entry.
bool isInstallRelativePath(const char* path);

// Forms one log line, "disc,level,path" (with " /s" for a recursive entry)
// ended by CR LF.  False, with out empty, for a path that is refused above or
// a line that does not fit.
bool formatFileListLine(char* out, size_t cap, int disc, int level, const char* path,
                        bool recursive);

} // namespace zk

#endif
