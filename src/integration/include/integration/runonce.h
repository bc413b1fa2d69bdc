// runonce.h - the Startup folder's restart links ("ZK_RESTART_%03d.lnk") that
// carry an installation over a restart of Windows.
#ifndef ZK_INTEGRATION_RUNONCE_H
#define ZK_INTEGRATION_RUNONCE_H

namespace zk {

// The numbers a restart link may carry: 000 to 998.
const int kRunOnceLinks = 999;

// Deletes every restart link, 000 to 998, from the Startup folder, whether or
// not it exists; returns how many were there and went.
int cleanRunOnceLinks(const char* startupFolder);

} // namespace zk

#endif
