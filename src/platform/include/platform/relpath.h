// relpath.h - the one check for a relative path read from a disc, a log or an
// archive before it is joined to a folder.
#ifndef ZK_PLATFORM_RELPATH_H
#define ZK_PLATFORM_RELPATH_H

#include <cstddef>

namespace zk {

// True for a path component [begin, end) that the system reads as the parent
// folder: "..", and the same with the trailing dots and blanks it drops.
bool climbsUp(const char* begin, const char* end);

// True when the folder, a backslash and this path name something inside the
// folder: not empty, no control character, no colon (drive or stream), no
// leading backslash or slash (rooted or UNC), no component that climbs up
// and none that names a device such as "NUL" or "com1.txt" ("/" and "\" both
// separate).  A trailing separator is allowed.
bool isSafeRelativePath(const char* path);

// Length of a full path's root, the part that is never created or removed:
// "C:\" (3), "C:" (2), "\\server\share" (up to the share's end), a leading
// backslash (1); 0 for a relative path.
size_t pathRootLength(const char* path);

} // namespace zk

#endif
