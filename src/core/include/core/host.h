// host.h - how the library talks to its host: message boxes through the host's
// callback and message texts fetched by number from the host's string tables.
#ifndef ZK_CORE_HOST_H
#define ZK_CORE_HOST_H

#include "ZKInstall.h"
#include "platform/notify.h"

namespace zk {

// Host callbacks.
extern ZKMessageBoxCallback g_messageBox;
extern ZKDiscRequestCallback g_beforeDiscRequest;
extern ZKDiscRequestCallback g_afterDiscRequest;
// Both disc callbacks until the host sets its own: answers 0 at once.
int __stdcall noDiscAnswer(int disc);

// Shows a message through the host's callback and returns the button code.
// Without a callback the text goes to the debugger output and is answered as a
// user who backs out would: OK, Cancel, Abort, and Yes to a yes/no question
// (the library's yes/no questions confirm quitting after a Cancel).
int showMessage(HWND owner, const char* text, const char* caption, unsigned style);

// The answer showMessage gives when the host has no callback.
int answerWithoutHost(unsigned style);

// Fetches host text `id` (the host's string tables, then the program's) into buf.
void hostString(int id, char* buf, int size);

// Fetches host text `id` and substitutes its one %s, %c or %d conversion with
// `arg` ("%%" stays a percent sign; any other % text is kept literally), so a
// host text can never read arguments that are not there.
void hostMessage(int id, const char* arg, char* out, int size);

// Substitution used by hostMessage, exposed for the tests.
void substituteOne(const char* pattern, const char* arg, char* out, int size);

} // namespace zk

#endif
