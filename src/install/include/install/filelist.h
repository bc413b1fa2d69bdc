// filelist.h - the install log "filelist.txt" in the install folder: one
// "disc,level,path" line per installed file, folder or wildcard set, which the
// uninstaller replays to remove exactly what was installed.
#ifndef ZK_INSTALL_FILELIST_H
#define ZK_INSTALL_FILELIST_H

#include <cstddef>
#include <cstdio>

#include "install/listlines.h"

namespace zk {

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
