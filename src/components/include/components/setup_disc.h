// setup_disc.h - how a component asks for the disc that carries its setup.
#ifndef ZK_COMPONENTS_SETUP_DISC_H
#define ZK_COMPONENTS_SETUP_DISC_H

#include <cstddef>

namespace zk {

// Asks for disc `disc` and rewrites root (cap bytes) to where the disc is
// now; returns the request's cancel state, 0 when the disc is there.  The
// installer state owns the disc's location, so the layer above supplies it.
typedef int (*SetupDiscRequest)(int disc, char* root, size_t cap);

// Asks for disc 1 through `request` (none: root stays) and leaves the root to
// look in, from `discRoot`, in root.  The answer is not consulted: a disc that
// did not come shows as a setup that is not there.
void askForSetupDisc(SetupDiscRequest request, const char* discRoot, char* root, size_t cap);

} // namespace zk

#endif
