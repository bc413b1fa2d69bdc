// face.h - what the installation asks and tells the user, whatever shows it.
// Setup walks the same steps in every mode and hands each question to a face:
// the console's prompts, or the wizard's windows.  A face that has nobody to
// ask (closed input) says so, and Setup goes on with the unattended answers.
#ifndef AUTORUN_FACE_H
#define AUTORUN_FACE_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "texts.h"

namespace autorun {

// How a question ended.  Cancelled: the user confirmed stopping the whole
// installation.  Closed: nobody can answer any more.
enum class Reply { Answered, Cancelled, Closed };

// The yes/no questions of the road, so that a face may show each where it
// fits (the wizard asks some on its pages, in advance).
// Licence: accepting the text just shown; Component: a prerequisite.
enum class Question { Confirm, Licence, Component, Desktop, AddOn, Restart, StartGame };

struct TypeEntry {
    int type;  // 1 ... 4
    std::string name;
    long long bytes;
};

// Checks a proposed folder or group: true when it can be used, else the
// problem to show in `why`.  It may tidy the value (a trailing backslash).
using Checker = std::function<bool(std::string& value, std::string& why)>;

// The copy as a face shows it.
struct CopyState {
    float percent;
    long long expected;             // bytes of the chosen type
    unsigned long long elapsedMs;
    std::string file;               // being copied now ("" at the end)
};

class Face {
  public:
    virtual ~Face() {}

    // The game's name is known (disc 1 read): `heading` introduces the run.
    virtual void begin(const std::string& product, const std::string& heading) = 0;
    virtual void say(const std::string& text) = 0;
    virtual void error(const std::string& text) = 0;

    // `choice`: the suggestion on entry (a language index, a type), the
    // answer on return.  `settled`: the library chose the language itself; a
    // face may still show the choice.
    virtual Reply chooseLanguage(const std::vector<LanguageEntry>& offered, int& choice,
                                 bool settled) = 0;
    // `folder`: the install folder suggested so far, whose drive's free space
    // a face may show beside the types.
    virtual Reply chooseType(const std::vector<TypeEntry>& types, int& type,
                             const std::string& folder) = 0;
    // Returns only with a value the checker accepted (or Cancelled/Closed).
    virtual Reply chooseFolder(std::string& folder, const Checker& checker) = 0;
    virtual Reply chooseGroup(std::string& group, const Checker& checker) = 0;
    // `yes` holds the suggestion on entry.
    virtual Reply askYesNo(Question kind, const std::string& question, bool& yes) = 0;
    // A licence text read before the question that accepts it.
    virtual void showLicence(const std::string& heading, const std::string& text) = 0;

    // The library's message boxes and disc requests (possibly on the copy
    // thread): the button (Btn*), or 0 when nobody can answer.
    virtual int askMessage(const std::string& text, const std::string& caption,
                           unsigned style) = 0;
    // A disc request names the drive (or disc-image folder) disc 1 came from;
    // `arrived` tells whether the disc has turned up meanwhile, so that a face
    // may stop asking by itself (answering OK: look again).
    virtual int askDisc(int disc, const std::string& drive,
                        const std::function<bool()>& arrived) = 0;

    // The copy: shown while it runs, and the state it ended in.
    virtual void progress(const CopyState& state) = 0;
    virtual void endProgress(const CopyState& state) = 0;
    // During the copy: Cancelled once the user asked to stop and confirmed.
    virtual Reply pollCancel() = 0;
    // Waits for `object` at most `ms`, keeping the face alive meanwhile:
    // true when it was signalled.
    virtual bool waitFor(HANDLE object, DWORD ms) = 0;
};

} // namespace autorun

#endif
