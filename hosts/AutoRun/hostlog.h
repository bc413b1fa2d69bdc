// hostlog.h - AutoRun's own log (/LOG=file): one time-stamped line per event,
// flushed at once so that a run that ends abruptly still leaves its story.
#ifndef AUTORUN_HOSTLOG_H
#define AUTORUN_HOSTLOG_H

#include <windows.h>

#include <cstdio>
#include <string>

namespace autorun {

class HostLog {
  public:
    HostLog();
    ~HostLog();
    // Truncates (or appends to) the file; false when it cannot be written.
    bool open(const std::string& path, bool append = false);
    void close();
    void write(const std::string& line);
    bool isOpen() const { return m_file != nullptr; }

  private:
    FILE* m_file = nullptr;
    CRITICAL_SECTION m_lock;
};

} // namespace autorun

#endif
