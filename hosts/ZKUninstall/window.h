// window.h - ZKUninstall's windows: the confirmation, a progress window with
// a bar and the step being done, and the last word, all owned by one window.
#ifndef ZKUNINSTALL_WINDOW_H
#define ZKUNINSTALL_WINDOW_H

#include <windows.h>

#include <string>

namespace zkuninstall {

class ProgressWindow {
  public:
    ~ProgressWindow();
    // Makes the (hidden) window: false when no window can be shown.
    bool open(const std::string& title);
    // Yes/No, No the default.
    bool ask(const std::string& question);
    void tell(const std::string& text);
    // Shows the window with `text` and the bar at `percent`.
    void show(const std::string& text, float percent);
    // Waits `ms` while the window repaints.
    void wait(DWORD ms);

  private:
    HWND m_window = nullptr;
    HWND m_text = nullptr;
    HWND m_bar = nullptr;
    std::string m_title;
};

} // namespace zkuninstall

#endif
