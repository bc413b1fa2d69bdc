#include "hostlog.h"

namespace autorun {

HostLog::HostLog() {
    InitializeCriticalSection(&m_lock);
}

HostLog::~HostLog() {
    close();
    DeleteCriticalSection(&m_lock);
}

bool HostLog::open(const std::string& path, bool append) {
    close();
    m_file = fopen(path.c_str(), append ? "a" : "w");
    return m_file != nullptr;
}

void HostLog::close() {
    EnterCriticalSection(&m_lock);
    if (m_file) {
        fclose(m_file);
        m_file = nullptr;
    }
    LeaveCriticalSection(&m_lock);
}

void HostLog::write(const std::string& line) {
    EnterCriticalSection(&m_lock);
    if (m_file) {
        SYSTEMTIME t;
        GetLocalTime(&t);
        fprintf(m_file, "%04u-%02u-%02u %02u:%02u:%02u.%03u %s\n", t.wYear, t.wMonth, t.wDay,
                t.wHour, t.wMinute, t.wSecond, t.wMilliseconds, line.c_str());
        fflush(m_file);
    }
    LeaveCriticalSection(&m_lock);
}

} // namespace autorun
