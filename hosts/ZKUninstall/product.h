// product.h - which installed game this uninstaller belongs to: the game whose
// App Paths entry names the program's own folder as its install folder, and
// the few facts about it that the uninstaller shows.
#ifndef ZKUNINSTALL_PRODUCT_H
#define ZKUNINSTALL_PRODUCT_H

#include <string>

namespace zkuninstall {

struct Product {
    std::string key;            // the App Paths key's name: the game's executable
    std::string gameKey;        // its "Game Registry"
    std::string displayName;    // the game key's "DisplayName", else the key's name
    std::string locale;         // the game key's "Locale": its language ("de", "fr_fr")
    std::string installFolder;  // the App Paths "Path", as the installation held it
    bool installed = false;     // "Installed" is not 0
    bool programThere = false;  // the game's program (the default value) exists
};

// True when both name the same folder: compared without regard to case, with
// trailing backslashes ignored ("C:\Games\X\" is "c:\games\x").
bool sameFolder(const std::string& a, const std::string& b);

// The path's long form without a trailing backslash; the path as given (less
// the backslash) when it does not exist.
std::string longForm(const std::string& path);

// The text before the last backslash ("" when there is none).
std::string folderOf(const std::string& path);

// This program's full path, and the temporary folder (long form).
std::string programPath();
std::string temporaryFolder();

// Walks the App Paths entries for the one installed in `folder` (long form);
// when several name it, one marked installed whose program is there wins.
// False when none.
bool findProduct(const std::string& folder, Product& product);

// Reads the App Paths entry `key`; false when it does not exist.
bool readProduct(const std::string& key, Product& product);

} // namespace zkuninstall

#endif
