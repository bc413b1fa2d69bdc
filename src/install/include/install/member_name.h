// member_name.h - which member names of a disc's zip archives may be written
// below the install folder.
#ifndef ZK_INSTALL_MEMBER_NAME_H
#define ZK_INSTALL_MEMBER_NAME_H

namespace zk {

// True when a member of this name, joined to the destination, stays inside
// it: the relative-path guard (isSafeRelativePath), with "/" and "\" both
// separating.
bool isSafeMemberName(const char* name);

} // namespace zk

#endif
