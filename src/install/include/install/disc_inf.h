// disc_inf.h - what a disc's AutoRun.inf says about the disc: its number and
// the product it belongs to, read from the "Special" section.
#ifndef ZK_INSTALL_DISC_INF_H
#define ZK_INSTALL_DISC_INF_H

class CIniFile;

namespace zk {

// The GUID a product without one is configured with: discs are then known by
// their number alone.
extern const char* const kPlaceholderGUID;

// The disc number of a loaded AutoRun.inf ("Disk"), or -1 when it is missing
// or 0, or when the disc's "ProductGuiID" is not productGUID (unless that is
// null or the placeholder).
int discNumberFromInf(CIniFile& inf, const char* productGUID);

} // namespace zk

#endif
