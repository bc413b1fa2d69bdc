// disc_request.h - the disc request the components are handed: the exported
// request for a disc, then where the discs are now.
#ifndef ZK_API_DISC_REQUEST_H
#define ZK_API_DISC_REQUEST_H

#include <cstddef>

namespace zk {

// Asks for `disc` as ZKINSTALL_requestSpecificCD does and copies the
// install-from location, which follows the disc to wherever it was found,
// into root (cap bytes).  Returns the request's cancel state.
int requestDiscForComponent(int disc, char* root, size_t cap);

} // namespace zk

#endif
