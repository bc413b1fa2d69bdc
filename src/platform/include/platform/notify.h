// notify.h - how platform code reaches the user without knowing the host.
// The installer core installs these hooks when the library loads; platform
// code reports through them and never shows a box of its own.
#ifndef ZK_PLATFORM_NOTIFY_H
#define ZK_PLATFORM_NOTIFY_H

namespace zk {

struct PlatformHooks {
    // Shows a message and returns the button code.
    int (*showMessage)(const char* text, const char* caption, unsigned style);
    // Fetches the host's text `id` into buf (size bytes, always terminated).
    void (*hostText)(int id, char* buf, int size);
    // A program to run is missing (its disc may be out): true to look again.
    // May end the process when the user quits.
    bool (*programMissing)(const char* program);
};

// Replaces the hooks; a null member falls back to the default: messages go to
// the debugger output answered as the first button, texts are empty, and a
// missing program is given up on.
void setPlatformHooks(const PlatformHooks& hooks);

int notifyMessage(const char* text, const char* caption, unsigned style);
void notifyHostText(int id, char* buf, int size);
bool notifyProgramMissing(const char* program);

// The system's text for an error code, in the user's default language;
// "Error <code>" when the system has none.
void systemErrorText(unsigned long code, char* out, int size);

} // namespace zk

#endif
