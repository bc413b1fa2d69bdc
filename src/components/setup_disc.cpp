#include "components/setup_disc.h"

#include "platform/text.h"

namespace zk {

void askForSetupDisc(SetupDiscRequest request, const char* discRoot, char* root, size_t cap) {
    copyText(root, cap, discRoot);
    if (request)
        request(1, root, cap);
}

} // namespace zk
