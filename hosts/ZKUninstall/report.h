// report.h - what ZKUninstall tells: lines on the console and in its log
// (/LOG=file, one time-stamped line each, flushed at once), a progress bar that
// is redrawn in place, and in the log one line for every tenth of the way.
// The library's messages arrive on its worker thread while the host's thread
// draws the progress: every call takes the report's lock.
#ifndef ZKUNINSTALL_REPORT_H
#define ZKUNINSTALL_REPORT_H

#include <windows.h>

#include <cstdio>
#include <string>

namespace zkuninstall {

class Report {
  public:
    Report();
    ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    // Replaces the log, or adds to it (the relaunched copy continues the
    // first run's log); false when it cannot be written.
    bool openLog(const std::string& path, bool append);

    void say(const std::string& line);   // console and log
    void note(const std::string& line);  // log only
    void progress(float percent);
    void endProgress();

  private:
    void log(const std::string& line);
    void endProgressLocked();

    CRITICAL_SECTION m_lock;
    FILE* m_log = nullptr;
    bool m_progressShown = false;
    int m_loggedTenth = -1;
};

// "[#########-----------]  45%": the bar of `percent`, clamped to 0..100.
std::string progressBar(float percent);

} // namespace zkuninstall

#endif
