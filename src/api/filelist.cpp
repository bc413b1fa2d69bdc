// The export that appends to the install log.
#include "core/installer.h"
#include "install/filelist.h"

void ZKINSTALL_AddFileListEntry(int disc, int level, char* path) {
    zk::CZKInstaller& state = zk::installer();
    zk::appendFileListEntry(disc, level, path, state.m_installFolder, state.m_debug);
}
