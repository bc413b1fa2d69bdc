// archive.h - extraction of a disc's numbered zip archives into the install
// folder, bound into the game copy: every member is logged, counted into the
// installation's totals, named to the host, and offered for retry on failure.
#ifndef ZK_INSTALL_ARCHIVE_H
#define ZK_INSTALL_ARCHIVE_H

#include <cstdio>

#include "ZKInstall.h"
#include "install/member_name.h"

namespace zk {

// What an error routine answers for a member that failed.
enum ArchiveErrorAnswer { kArchiveRetry = 0, kArchiveCancel = 1, kArchiveSkip = 2 };

// Asked with the member's name (backslash-separated) when a member fails.
typedef int (*ArchiveErrorRoutine)(const char* member);

// Drives one archive with a command-line-style argument vector: argv[0] is
// "main_unzip", the first other argument the archive (".zip" may be left
// off), a second one a single member to extract.  Options, a "-" and letters
// in any case: "l" or "v" list (sums the sizes into *expectedTotal), "e"
// extract without folder names, "o" overwrite without asking.
//
// destination is prepended to every member name (the install folder with a
// trailing backslash); currentFile (kText bytes, may be null) receives the
// archive's and then each member's name; the totals and the percentage are
// the installation's; log (may be null) receives "1,1,<member>" before each
// member is written; the cancel flag is obeyed between 8 KB chunks.  A
// non-null error routine replaces the one in use for this and later calls;
// until one is given, a failing member cancels the extraction.
//
// Members whose names would land outside destination (absolute, drive or
// stream colon, ".." component) are refused: neither written nor logged.
//
// Returns the sum of the members' uncompressed sizes after extracting all,
// 0 after listing or extracting a single member, -1 when the archive cannot
// be opened.  The archive is closed before returning.
__int64 main_unzip(int argc, const char* const* argv, const char* destination, char* currentFile,
                   __int64* expectedTotal, __int64* copiedTotal, float* percent, FILE* log,
                   int* cancel, ArchiveErrorRoutine onError);

// Extracts "<root><n>compressed.zip" and "<root><n><prefix>_compressed.zip"
// for n = 0 to 9 into installFolder, overwriting, with the record's totals
// and askCopyRetry.  Missing archives are skipped silently; nothing more is
// started once the cancel flag is set.  scratch (kText bytes) receives each
// archive name in turn.
void extractDiscArchives(char* scratch, const char* discRoot, const char* installFolder,
                         const char* prefix, char* currentFile, _zk_copyprogress* progress,
                         int* cancel, FILE* log);

// The installation's error routine: host text 48 with the member's name as a
// Retry/Cancel question; Cancel confirmed with host text 46 answers
// kArchiveCancel, everything else kArchiveRetry.
int askCopyRetry(const char* member);

// Without the overwrite option an existing file is asked about on the
// console; the routine answers 'y', 'n' or 'a'.  Null restores the console
// prompt, which counts an unreadable console as "no".
typedef char (*OverwritePrompt)(const char* path);
void setOverwritePrompt(OverwritePrompt prompt);

} // namespace zk

#endif
