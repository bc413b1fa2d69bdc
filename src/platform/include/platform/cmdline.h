// cmdline.h - command lines for the programs this library starts again: every
// argument quoted so that the program reads it back unchanged, in a buffer
// that grows up to what Windows takes for a command line.
#ifndef ZK_PLATFORM_CMDLINE_H
#define ZK_PLATFORM_CMDLINE_H

#include <cstddef>

namespace zk {

// The longest command line Windows starts a program with, terminator included.
const size_t kCommandLineLimit = 32768;

class CZKCommandLine {
  public:
    CZKCommandLine() = default;
    ~CZKCommandLine();
    CZKCommandLine(const CZKCommandLine&) = delete;
    CZKCommandLine& operator=(const CZKCommandLine&) = delete;

    // Appends one argument as quoteArgument writes it, after a blank unless
    // it is the first.  False, the line unchanged, when it would not fit.
    bool add(const char* argument);
    const char* text() const { return m_text ? m_text : ""; }
    size_t length() const { return m_length; }

  private:
    bool reserve(size_t bytes);

    char* m_text = nullptr;
    size_t m_length = 0;
    size_t m_capacity = 0;
};

// The arguments a relaunched front end gets: `arguments` (its program name
// left out) without any "-restart -dir <folder>" group an earlier relaunch
// added, then "-restart -dir <folder>".  False when the line would not fit.
bool buildRestartArguments(const char* const* arguments, int count, const char* folder,
                           CZKCommandLine& out);

} // namespace zk

#endif
