// discs.h - which disc of the product is where, and asking the user for one.
// A disc is known by the "Special" section of the AutoRun.inf in its root; the
// discs are looked for in the CD-ROM drives or in "Disk Images" folders.
#ifndef ZK_INSTALL_DISCS_H
#define ZK_INSTALL_DISCS_H

#include <cstddef>

#include "ZKInstall.h"
#include "install/disc_inf.h"

namespace zk {

// The disc number in the AutoRun.inf below root, or -1 when there is none or
// the disc belongs to another product.  `debug` is not consulted.
int identifyDisc(const char* root, bool debug, const char* productGUID);

// Looks for disc `wanted` until it is found or the user gives up, and returns
// the disc found last (in *current too).  root (rootSize bytes) is rewritten to
// the drive or disc-image folder searched last.  *cancel is read on every
// pass: 1, set by another thread, ends the request as it is; the user's
// confirmed quit sets it to -1.  An empty root, or a host without a
// before-request callback, makes the library ask with its own message boxes;
// otherwise the host's callbacks are asked.  confirmKind picks the quit
// question: non-zero during the installation, 0 elsewhere.
int requestDisc(int* current, int wanted, char* root, int* cancel, bool debug, int confirmKind,
                const char* productGUID, size_t rootSize = 260);

// Asks for disc `wanted` (a number below 1 asks for none) until it is in
// installFrom (rewritten to where it was found, which becomes the current
// directory) or the user quits: returns the request's cancel state, 0 when
// the disc is there.  Asked as requestDisc asks, with the quit question of
// the time outside the installation.
int requestCD(int wanted, const char* installFolder, char* installFrom, bool debug,
              const char* productGUID);

// True when the last requestCD ended with the user quitting.
extern bool g_installationCancelled;

// True for a drive that can take files: not a CD-ROM, a read-only volume or
// a drive without a file system.
bool isWritableDrive(const char* path);

// Free space of the volume holding `path`.
typedef BOOL(WINAPI* DiskFreeSpaceExFn)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                        PULARGE_INTEGER);
// GetDiskFreeSpaceExA of the running system, or null where it does not exist.
DiskFreeSpaceExFn lookUpDiskFreeSpaceEx();
// Bytes available to the caller on the volume of `path`: through `freeSpaceEx`
// when given and working, else from the cluster counts; 0 when neither answers.
__int64 freeBytes(const char* path, DiskFreeSpaceExFn freeSpaceEx);
// Free clusters times sectors per cluster times bytes per sector, in 64 bits.
__int64 clusterBytes(DWORD freeClusters, DWORD sectorsPerCluster, DWORD bytesPerSector);

// "X:\" for a path that starts "X:" (everything up to its first colon, then a
// backslash); false when the path has no colon or the root does not fit.
bool driveRootOf(const char* path, char* root, size_t rootSize);

} // namespace zk

#endif
