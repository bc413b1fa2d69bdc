// Reading a disc's identity from its AutoRun.inf.
#include "install/disc_inf.h"

#include <cstring>
#include <string>

#include "core/inifile.h"

namespace zk {

const char* const kPlaceholderGUID = "1234ABCD-56EF-78GH-90IJ-123456KLMNOP";

int discNumberFromInf(CIniFile& inf, const char* productGUID) {
    int disc = 0;
    inf.getInt("Special", "Disk", &disc);
    if (disc == 0)
        disc = -1;
    if (productGUID && strcmp(productGUID, kPlaceholderGUID) != 0) {
        std::string guid;
        inf.getString("Special", "ProductGuiID", guid);
        if (guid != productGUID)
            disc = -1;
    }
    return disc;
}

} // namespace zk
