// Setup's copy: the library's copy thread started and watched, with the
// progress line (or log steps when unattended) and Ctrl+C.
#include "setup.h"

#include "ZKInstall.h"
#include "bounded.h"
#include "exitcodes.h"
#include "progress.h"
#include "resource.h"
#include "texts.h"

namespace autorun {

namespace {

// The copy is polled this often; the display is redrawn at most every
// kRedrawMs, and an unattended run logs every kLogStep percent.
const DWORD kPollMs = 100;
const ULONGLONG kRedrawMs = 250;
const int kLogStep = 10;
const DWORD kThreadEndMs = 10000;
// A drive with less room than this cannot take the rest of a game.
const ULONGLONG kNoRoomBytes = 1024 * 1024;
// How long a rollback may take before AutoRun gives up watching it.
const ULONGLONG kRollbackMs = 10 * 60 * 1000;

// CPU time of the calling thread so far, kernel and user.
ULONGLONG threadCpuMs() {
    FILETIME created, ended, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user))
        return 0;
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return (k.QuadPart + u.QuadPart) / 10000;
}

} // namespace

int Setup::copyGame() {
    // The copy reads the language's file list from where the library last
    // saw disc 1, and an earlier installation that was found points it at the
    // drive that installation ended on (the last disc).  Make sure it starts
    // from disc 1.
    if (ZKINSTALL_requestSpecificCD(1) != 0)
        return quitCode();
    char from[kPath] = {0};
    ZKINSTALL_getInstallFromLocation(from);
    m_log.write(std::string("copying from ") + from);
    // Disc 1's place: the run after a restart starts from there.
    m_source = from;
    if (m_source.size() == 2 && m_source[1] == ':')
        m_source += '\\';

    m_phase = PhaseCopy;
    note(hostText(IDS_COPYING));
    // The thread sets running itself only after its first second; set it
    // here so that the poll below cannot mistake the start for the end.
    m_running = 1;
    m_cancel = 0;
    m_percent = 0.0f;
    m_currentFile[0] = '\0';
    void* thread = nullptr;
    ULONGLONG started = GetTickCount64();
    ULONGLONG cpuBefore = threadCpuMs();
    ZKINSTALL_copyCacheFiles(m_type, &m_running, m_currentFile, &m_percent, &m_cancel, m_expected,
                             &thread);
    if (thread == nullptr || thread == INVALID_HANDLE_VALUE) {
        m_running = 0;
        complain("the copy could not start");
        return ExitFailed;
    }

    volatile int& running = m_running;
    volatile int& cancel = m_cancel;
    volatile float& percent = m_percent;
    ULONGLONG lastDraw = 0;
    int logged = 0;
    while (running) {
        if (!m_unattended)
            follow(m_face.pollCancel());
        // The thread clears the flag when it starts; keep it set once the
        // user decided.
        if (m_userCancelled)
            cancel = 1;
        ULONGLONG now = GetTickCount64();
        float p = percent;
        if (m_unattended) {
            int step = static_cast<int>(p) / kLogStep * kLogStep;
            if (step > logged) {
                logged = step;
                note(std::to_string(step) + "% copied");
            }
        } else if (now - lastDraw >= kRedrawMs) {
            lastDraw = now;
            char file[sizeof m_currentFile];
            copyText(file, const_cast<const char*>(m_currentFile));
            m_face.progress({p, m_expected, now - started, file});
        }
        // Wakes up early when the thread ends.
        if (m_face.waitFor(thread, kPollMs))
            break;
    }
    // The flag drops just before the thread's last words; let it finish
    // before its handle, which is ours, is closed.
    WaitForSingleObject(thread, kThreadEndMs);
    CloseHandle(thread);
    ULONGLONG elapsed = GetTickCount64() - started;
    // What watching the copy cost this thread: it should sleep, not spin.
    m_log.write("host thread cpu: " + std::to_string(threadCpuMs() - cpuBefore) + " ms");
    if (!m_unattended)
        m_face.endProgress({percent, m_expected, elapsed, ""});
    m_phase = PhaseAfterCopy;
    // Tenths by hand: the library moves the C locale to the chosen language.
    int tenths = static_cast<int>(percent * 10.0f + 0.5f);
    m_log.write("copy ended after " + formatElapsed(elapsed) + " at " +
                std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) +
                "%, cancel flag " + std::to_string(cancel));
    if (cancel != 0) {
        rollBack();
        return quitCode();
    }
    return ExitInstalled;
}

bool Setup::destinationIsFull(unsigned long error) {
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL)
        return true;
    ULARGE_INTEGER free;
    return GetDiskFreeSpaceExA(m_destination.c_str(), &free, nullptr, nullptr) &&
           free.QuadPart < kNoRoomBytes;
}

void Setup::rollBack() {
    // Said in every mode: a window must not sit silent while files go.
    say(hostText(IDS_ROLLING_BACK));
    volatile int& running = m_rollbackRunning;
    volatile float& progress = m_rollbackProgress;
    running = 0;
    progress = 0.0f;
    // The copy thread has ended (its flag is 0), so the library need not
    // wait for it.
    ZKINSTALL_cancelInstallGame(&m_running, &m_rollbackRunning, &m_rollbackProgress, &m_cancel);
    ULONGLONG started = GetTickCount64();
    int logged = 0;
    // Never signalled: the waits below only keep the face alive.
    HANDLE idle = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    while (running && GetTickCount64() - started < kRollbackMs) {
        int step = static_cast<int>(progress) / kLogStep * kLogStep;
        if (step > logged) {
            logged = step;
            m_log.write(std::to_string(step) + "% removed");
        }
        if (idle)
            m_face.waitFor(idle, kPollMs);
        else
            Sleep(kPollMs);
    }
    if (idle)
        CloseHandle(idle);
    if (running) {
        complain("the rollback did not finish in time");
        return;
    }
    m_log.write("rollback took " + formatElapsed(GetTickCount64() - started));
    say(hostText(IDS_ROLLED_BACK));
}

} // namespace autorun
