// CZKAddons::runGameInstallers: the game's own "*_inst.exe" programs, copied
// from the disc to the temporary folder and run there one after the other.
#include <windows.h>

#include "addons_files.h"
#include "components/addons.h"
#include "install/copyfile.h"
#include "platform/text.h"

namespace zk {
namespace {

const char kCaption[] = "runGameSpecificExe";
// What execAndWait answers when the program could not be started.
const unsigned long kNotStarted = 0xFFFFFFFF;

void withoutTrailingBackslash(char (&out)[kText], const char* folder) {
    copyText(out, folder);
    cutTrailingBackslash(out);
}

} // namespace

int CZKAddons::runGameInstallers(const AddonFacts& facts) {
    trace("Enter runGameSpecificExe", kCaption);
    char root[kText], temp[kText];
    withoutTrailingBackslash(root, facts.discRoot);
    withoutTrailingBackslash(temp, facts.tempFolder);
    // Copies are purged, run and deleted there: without a temporary folder the
    // patterns would name the root of the current drive.
    if (!temp[0]) {
        traceFailure(m_debug, kCaption, "no temporary folder for", "*_inst.exe");
        trace("Exit runGameSpecificExe", kCaption);
        return 0;
    }

    char arguments[1600];
    // Each fact is one argument whatever blanks, quotes or trailing
    // backslashes its folder has.
    if (!formatFactsArguments(root, facts.installFolder, facts.startMenuFolder,
                              facts.languageIndex, arguments, sizeof arguments))
        traceFailure(m_debug, kCaption, "command line too long for", "*_inst.exe");

    // Both loops below delete files of the folder they walk: the names are
    // listed whole first, so the search never runs over entries that vanish.
    CZKCopyFile files;
    files.setDebugMode(m_debug);
    char pattern[2 * kText], path[2 * kText];
    FileNames found;
    formatText(pattern, sizeof pattern, "%s\\*_inst.exe", temp);
    listFiles(pattern, found);
    for (int i = 0; i < found.count; ++i) {
        formatText(path, sizeof path, "%s\\%s", temp, found.names[i]);
        clearReadOnly(path);  // a stale copy may have kept the disc's read-only flag
        files.Remove(path);
    }

    formatText(pattern, sizeof pattern, "%s\\*_inst.exe", root);
    char text[5 * kText];
    formatText(text, sizeof text, "Looking for %s", pattern);
    trace(text, kCaption);
    listFiles(pattern, found);
    for (int i = 0; i < found.count; ++i) {
        formatText(path, sizeof path, "%s\\%s", root, found.names[i]);
        formatText(text, sizeof text, "Copy %s->%s", path, temp);
        trace(text, kCaption);
        int cancel = 0;
        files.XCopy(path, temp, 0, &cancel, nullptr, 1, nullptr, nullptr, nullptr);
    }

    int sum = 0;
    formatText(pattern, sizeof pattern, "%s\\*_inst.exe", temp);
    listFiles(pattern, found);
    if (!found.complete)
        traceFailure(m_debug, kCaption, "more installers than are run", pattern);
    for (int i = 0; arguments[0] && i < found.count; ++i) {
        formatText(path, sizeof path, "%s\\%s", temp, found.names[i]);
        formatText(text, sizeof text, "exec:  %s with commandline '%s'", path, arguments);
        trace(text, kCaption);
        CZKSystem system;
        system.setDebugMode(m_debug);
        unsigned long code = system.execAndWait(path, temp, arguments, 0, 1);
        // A program that did not start counts -1, so it never stops the run.
        sum += code == kNotStarted ? -1 : static_cast<int>(code);
        if (sum > 0)
            break;  // this copy stays for whoever looks into the failure
        Sleep(100);
        files.Remove(path);
    }
    trace("Exit runGameSpecificExe", kCaption);
    return sum;
}

} // namespace zk
