// filelist.h - the install log "filelist.txt" in the install folder: one
// "disc,level,path" line per installed file, folder or wildcard set, which the
// uninstaller replays to remove exactly what was installed.
#ifndef ZK_INSTALL_FILELIST_H
#define ZK_INSTALL_FILELIST_H

#include <cstddef>
#include <cstdio>

namespace zk {

// True for a path component [begin, end) that the system reads as the parent
// folder: "..", and the same with the trailing dots and blanks it drops.
bool climbsUp(const char* begin, const char* end);

// True when the uninstaller, joining the install folder, a backslash and this
// entry, stays inside the install folder: not empty, not longer than a path
// can be, no line break or other control character, not absolute (no leading backslash or slash, no colon),
// and no ".." component.  Only the part before a "/s" or "/S" mark counts,
// as that is all the uninstaller reads.
bool isInstallRelativePath(const char* path);

// Forms one log line, "disc,level,path" (with " /s" for a recursive entry)
// ended by CR LF.  False, with out empty, for a path that is refused above or
// a line that does not fit.
bool formatFileListLine(char* out, size_t cap, int disc, int level, const char* path,
                        bool recursive);

// Opens "<folder>\filelist.txt" emptied, for the installation to write
// through.  Every write lands at the end of the file as it is at that moment,
// so lines appended meanwhile by appendFileListEntry stay.  Null on failure.
FILE* createFileList(const char* folder);

// Appends one "disc,level,path" line to "<folder>\filelist.txt".  False,
// with nothing written, for a refused path, an empty folder or a log that
// cannot be written; with debug on, the failure is traced.
bool appendFileListEntry(int disc, int level, const char* path, const char* folder, bool debug);

// Writes one line whole to an open log and flushes it; false when refused.
bool writeFileListLine(FILE* log, int disc, int level, const char* path, bool recursive);

} // namespace zk

#endif
