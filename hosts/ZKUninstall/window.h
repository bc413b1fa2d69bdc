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
    // The boxes' buttons in the game's language (Windows would name them in
    // its own).
    void setButtons(const std::wstring& yes, const std::wstring& no, const std::wstring& ok);
    // Yes/No, No the default.
    bool ask(const std::wstring& question);
    void tell(const std::wstring& text);
    // Shows the window with `text` and the bar at `percent`.
    void show(const std::wstring& text, float percent);
    // Waits `ms` while the window repaints.
    void wait(DWORD ms);

    // Names the buttons of a box being shown (from the hook).
    void nameButtons(HWND box) const;

  private:
    HWND m_window = nullptr;
    HWND m_text = nullptr;
    HWND m_bar = nullptr;
    std::wstring m_title;
    std::wstring m_yes, m_no, m_ok;
};

} // namespace zkuninstall

#endif
