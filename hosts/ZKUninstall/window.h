// window.h - ZKUninstall's windows: the confirmation, a progress window with
// a bar and the step being done, and the last word, all owned by one window.
// Their texts are wide: a game's language need not be the ANSI code page's.
#ifndef ZKUNINSTALL_WINDOW_H
#define ZKUNINSTALL_WINDOW_H

#include <windows.h>

#include <string>

namespace zkuninstall {

class ProgressWindow {
  public:
    ~ProgressWindow();
    // Makes the (hidden) window: false when no window can be shown.
    bool open(const std::wstring& title);
    // Yes/No, No the default.
    bool ask(const std::wstring& question);
    void tell(const std::wstring& text);
    // Shows the window with `text` and the bar at `percent`.
    void show(const std::wstring& text, float percent);
    // Waits `ms` while the window repaints.
    void wait(DWORD ms);

  private:
    HWND m_window = nullptr;
    HWND m_text = nullptr;
    HWND m_bar = nullptr;
    std::wstring m_title;
};

} // namespace zkuninstall

#endif
