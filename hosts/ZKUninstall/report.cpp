#include "report.h"

namespace zkuninstall {

namespace {

const int kBarWidth = 20;

float clamp(float percent) {
    if (!(percent >= 0.0f))  // also a value that is not a number
        return 0.0f;
    return percent > 100.0f ? 100.0f : percent;
}

// A lock held for one call.
class Locked {
  public:
    explicit Locked(CRITICAL_SECTION& lock) : m_lock(lock) { EnterCriticalSection(&m_lock); }
    ~Locked() { LeaveCriticalSection(&m_lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

  private:
    CRITICAL_SECTION& m_lock;
};

} // namespace

std::string progressBar(float percent) {
    float p = clamp(percent);
    int filled = static_cast<int>(p / 100.0f * kBarWidth + 0.5f);
    char text[48];
    snprintf(text, sizeof text, "] %3d%%", static_cast<int>(p));
    return "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '-') + text;
}

Report::Report() {
    InitializeCriticalSection(&m_lock);
}

Report::~Report() {
    if (m_log)
        fclose(m_log);
    DeleteCriticalSection(&m_lock);
}

bool Report::openLog(const std::string& path, bool append) {
    Locked held(m_lock);
    if (m_log)
        fclose(m_log);
    m_log = fopen(path.c_str(), append ? "a" : "w");
    return m_log != nullptr;
}

void Report::log(const std::string& line) {
    if (!m_log)
        return;
    SYSTEMTIME t;
    GetLocalTime(&t);
    fprintf(m_log, "%04u-%02u-%02u %02u:%02u:%02u.%03u [%lu] %s\n", t.wYear, t.wMonth, t.wDay,
            t.wHour, t.wMinute, t.wSecond, t.wMilliseconds, GetCurrentProcessId(), line.c_str());
    fflush(m_log);
}

void Report::say(const std::string& line) {
    Locked held(m_lock);
    endProgressLocked();
    fputs((line + "\n").c_str(), stdout);
    fflush(stdout);
    log(line);
}

void Report::note(const std::string& line) {
    Locked held(m_lock);
    log(line);
}

void Report::progress(float percent) {
    Locked held(m_lock);
    fputs(("\rRemoving " + progressBar(percent)).c_str(), stdout);
    fflush(stdout);
    m_progressShown = true;
    int tenth = static_cast<int>(clamp(percent)) / 10;
    if (tenth > m_loggedTenth) {
        m_loggedTenth = tenth;
        log("progress " + std::to_string(tenth * 10) + "%");
    }
}

void Report::endProgress() {
    Locked held(m_lock);
    endProgressLocked();
}

void Report::endProgressLocked() {
    if (m_progressShown) {
        fputs("\n", stdout);
        fflush(stdout);
        m_progressShown = false;
    }
}

} // namespace zkuninstall
