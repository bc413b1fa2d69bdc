// The Start-menu group and the desktop link of an installed game.
#include "integration/shortcuts.h"

#include <cstring>

#include "core/host.h"
#include "core/installer.h"
#include "platform/guards.h"
#include "platform/text.h"

namespace zk {

namespace {

// Host texts naming the group's links.
const int kTextPatchLink = 11;
const int kTextReadmeLink = 13;
const int kTextSupportLink = 14;
const int kTextUninstallLink = 15;  // holds the product name (%s)
const int kTextLicenceLink = 31;
const int kTextWebLink = 54;
const int kTextSystemInfoLink = 81;

void trace(const CZKInstaller& s, const char* caption, const char* what, const char* name) {
    if (!s.m_debug)
        return;
    char text[2 * kText];
    formatText(text, sizeof text, "%s: %s", what, name ? name : "");
    DebugMessageBox(nullptr, text, caption, MB_OK);
}

bool noShortcutsHere(const CZKInstaller& s) { return strcmp(s.m_os, kNoShortcutsOS) == 0; }

// Where the game's link points.
struct GameFiles {
    char installFolder[kText];  // as before the desktop link moved it
    char subfolder[kText];      // the icon's, or empty
    char workingFolder[kText];
    char icon[kText];
    char executable[kText];
};

void iconSubfolder(const CZKInstaller& s, char* out) {
    out[0] = '\0';
    if (!s.m_iconHasFolder)
        return;
    copyText(out, kText, s.m_icon);
    char* slash = strrchr(out, '\\');
    if (slash)
        *slash = '\0';
    else
        out[0] = '\0';
}

// The install folder as the settings gave it: once the desktop link has moved
// the state's folder into the icon's subfolder, the subfolder must not be
// added again.
void originalInstallFolder(const CZKInstaller& s, const char* subfolder, char* out) {
    copyText(out, kText, s.m_installFolder);
    if (!s.m_iconFolderBase[0] || !subfolder[0])
        return;
    char moved[2 * kText];
    formatText(moved, sizeof moved, "%s\\%s", s.m_iconFolderBase, subfolder);
    if (_stricmp(moved, s.m_installFolder) == 0)
        copyText(out, kText, s.m_iconFolderBase);
}

// The file found in the folder or below it, else the path as composed.
void findOrCompose(const char* path, char* out) {
    copyText(out, kText, path);
    CZKCopyFile copy;
    char found[kText];
    if (copy.findFile(path, 1, found))
        copyText(out, kText, found);
}

void findGameFiles(const CZKInstaller& s, GameFiles& g) {
    iconSubfolder(s, g.subfolder);
    originalInstallFolder(s, g.subfolder, g.installFolder);
    char path[2 * kText];
    formatText(path, sizeof path, "%s\\%s", g.installFolder, s.m_icon);
    findOrCompose(path, g.icon);
    if (g.subfolder[0])
        formatText(g.workingFolder, kText, "%s\\%s", g.installFolder, g.subfolder);
    else
        copyText(g.workingFolder, g.installFolder);
    formatText(path, sizeof path, "%s\\%s", g.workingFolder, s.m_executable);
    findOrCompose(path, g.executable);
}

const char* fileNameOf(const char* path) {
    const char* slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

// One link of a group; a name that does not fit or a link that does not save
// is left out (traced), as a missing companion is.
class LinkWriter {
  public:
    LinkWriter(const CZKInstaller& s, const char* folder, const char* caption)
        : m_state(s), m_folder(folder), m_caption(caption) {}

    void link(const char* name, const char* target, const char* description, const char* icon,
              const char* workingFolder, const char* arguments = nullptr) {
        char path[kText];
        if (!linkFilePath(m_folder, name, ".lnk", path, sizeof path))
            trace(m_state, m_caption, "link name too long", name);
        else if (!createShellLink(target, path, description, icon, 0, workingFolder, arguments))
            trace(m_state, m_caption, "link not saved", path);
    }

    void internetLink(const char* name, const char* url) {
        char path[kText];
        if (!linkFilePath(m_folder, name, ".url", path, sizeof path))
            trace(m_state, m_caption, "link name too long", name);
        else if (!createInternetShortcut(url, path))
            trace(m_state, m_caption, "Internet shortcut not written", path);
    }

  private:
    const CZKInstaller& m_state;
    const char* m_folder;
    const char* m_caption;
};

bool exists(CZKInstaller& s, const char* path) { return s.m_system.fileExists(path); }

// The companions that live in the installed Support folder.
void supportLinks(CZKInstaller& s, LinkWriter& links, const GameFiles& g, const char* support) {
    char name[kText], path[kText];
    formatText(path, sizeof path, "%s\\Veroscope.exe", support);
    if (s.m_currentLanguage == 1 && exists(s, path)) {
        char argument[kText];
        // The tool takes the game's file name as one argument, blanks and all.
        if (quoteArgument(fileNameOf(g.executable), argument, sizeof argument)) {
            hostString(kTextSystemInfoLink, name, kText);
            links.link(name, path, name, nullptr, support, argument);
        }
    }
    if (s.m_rtPatchActive) {
        hostString(kTextPatchLink, name, kText);
        links.internetLink(name, s.m_rtPatchURL);
    }
    formatText(path, sizeof path, "%s\\%s\\%s", support, s.m_languagePrefix, s.m_readmeFile);
    if (exists(s, path)) {
        hostString(kTextReadmeLink, name, kText);
        links.link(name, path, name, nullptr, nullptr);
    }
    formatText(path, sizeof path, "%s\\ZK Help\\%s", support, "Vantorel_Technical_Support.htm");
    if (!exists(s, path))
        formatText(path, sizeof path, "%s\\European Help Files\\%s", support, "ZK_Help_Select.htm");
    if (exists(s, path)) {
        hostString(kTextSupportLink, name, kText);
        links.link(name, path, name, nullptr, support);
    }
}

} // namespace

void createStartMenuItems(CZKInstaller& s, const char* webURL) {
    const char* caption = "createStartMenuItems";
    if (noShortcutsHere(s))
        return;
    // The folder is emptied first; it may have come from an earlier
    // installation's registry entry, so only a folder of its own inside the
    // Start menu is touched (never the Programs or Startup folder itself).
    char folder[kText];
    copyText(folder, s.m_startMenuFolder);
    if (!isStrictlyInside(folder, s.m_startMenuPath)) {
        trace(s, caption, "group outside the Start menu", folder);
        return;
    }
    CZKCopyFile copy;
    copy.setDebugMode(s.m_debug);
    char files[kText + 8];
    formatText(files, sizeof files, "%s\\*.*", folder);
    copy.XRemove(files, false);
    if (!copy.createDirectory(folder, 0))
        trace(s, caption, "group folder not created", folder);

    GameFiles g;
    findGameFiles(s, g);
    LinkWriter links(s, folder, caption);
    links.link(s.m_productName, g.executable, s.m_productName, g.icon, g.workingFolder);

    char support[kText];
    formatText(support, sizeof support, "%s\\Support", g.installFolder);
    supportLinks(s, links, g, support);

    char name[kText], path[kText];
    // The host's text is substituted, never used as a format of its own.
    hostMessage(kTextUninstallLink, s.m_productName, name, kText);
    formatText(path, sizeof path, "%s\\%s", g.installFolder, "ZKUninstall.exe");
    char icon[kText], iconSpec[kText];
    formatText(iconSpec, sizeof iconSpec, "%s\\%s", g.installFolder, "zkuninstall.ico");
    CZKCopyFile finder;
    if (!finder.findFile(iconSpec, 1, icon))
        copyText(icon, g.icon);
    links.link(name, path, s.m_productName, icon, g.installFolder);

    formatText(path, sizeof path, "%s\\%s", support, s.m_licenceFile);
    if (s.m_directXInstalled && s.m_directXLicenceInStartMenu && exists(s, path)) {
        hostString(kTextLicenceLink, name, kText);
        links.link(name, path, nullptr, nullptr, nullptr);
    }
    if (webURL && webURL[0]) {
        hostString(kTextWebLink, name, kText);
        links.internetLink(name, webURL);
    }
}

void createDesktopItem(CZKInstaller& s) {
    if (noShortcutsHere(s) || !s.m_desktopPath[0])
        return;
    GameFiles g;
    findGameFiles(s, g);
    LinkWriter links(s, s.m_desktopPath, "createDesktopItem");
    links.link(s.m_productName, g.executable, nullptr, g.icon, g.workingFolder);
    // Later steps (the game's start among them) work in the icon's subfolder;
    // the original folder is kept so that a second call adds it only once.
    if (g.subfolder[0]) {
        copyText(s.m_iconFolderBase, g.installFolder);
        copyText(s.m_installFolder, g.workingFolder);
    }
}

} // namespace zk
