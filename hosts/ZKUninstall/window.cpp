#include "window.h"

#include <commctrl.h>

#include <utility>

namespace zkuninstall {

namespace {

const wchar_t kClass[] = L"ZKUninstallProgress";
const int kWidth = 420, kHeight = 110, kMargin = 16;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_CLOSE)
        return 0;  // the removal cannot be stopped halfway
    return DefWindowProcW(window, message, w, l);
}

HWND child(HWND parent, const wchar_t* kind, DWORD style, int y, int h) {
    HWND control = CreateWindowExW(0, kind, L"", WS_CHILD | WS_VISIBLE | style, kMargin, y,
                                   kWidth - 2 * kMargin, h, parent, nullptr, nullptr, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    return control;
}

// The box about to show is named through a hook on this thread: Windows'
// own message box offers no other way to name its buttons.
const ProgressWindow* g_naming = nullptr;
HHOOK g_hook = nullptr;

LRESULT CALLBACK nameButtons(int code, WPARAM w, LPARAM l) {
    if (code == HCBT_ACTIVATE && g_naming)
        g_naming->nameButtons(reinterpret_cast<HWND>(w));
    return CallNextHookEx(g_hook, code, w, l);
}

// A message box with its buttons named by `owner`.
int messageBox(const ProgressWindow* owner, HWND window, const std::wstring& text,
               const std::wstring& title, UINT style) {
    g_naming = owner;
    g_hook = SetWindowsHookExW(WH_CBT, nameButtons, nullptr, GetCurrentThreadId());
    int pressed = MessageBoxW(window, text.c_str(), title.c_str(), style);
    if (g_hook)
        UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
    g_naming = nullptr;
    return pressed;
}

// Centred on the screen's work area.
POINT centred(int w, int h) {
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return {area.left + (area.right - area.left - w) / 2,
            area.top + (area.bottom - area.top - h) / 2};
}

} // namespace

void ProgressWindow::setButtons(const std::wstring& yes, const std::wstring& no,
                                const std::wstring& ok) {
    m_yes = yes;
    m_no = no;
    m_ok = ok;
}

void ProgressWindow::nameButtons(HWND box) const {
    for (auto& named : {std::make_pair(IDYES, &m_yes), std::make_pair(IDNO, &m_no),
                        std::make_pair(IDOK, &m_ok)})
        if (!named.second->empty() && GetDlgItem(box, named.first))
            SetDlgItemTextW(box, named.first, named.second->c_str());
}

ProgressWindow::~ProgressWindow() {
    if (m_window)
        DestroyWindow(m_window);
}

bool ProgressWindow::open(const std::wstring& title) {
    m_title = title;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_MINIMIZEBOX;
    RECT r = {0, 0, kWidth, kHeight};
    AdjustWindowRect(&r, style, FALSE);
    POINT at = centred(r.right - r.left, r.bottom - r.top);
    m_window = CreateWindowExW(0, kClass, title.c_str(), style, at.x, at.y, r.right - r.left,
                               r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    if (!m_window)
        return false;
    m_text = child(m_window, L"STATIC", SS_NOPREFIX | SS_PATHELLIPSIS, kMargin, 20);
    m_bar = child(m_window, PROGRESS_CLASSW, 0, kMargin + 32, 22);
    SendMessageW(m_bar, PBM_SETRANGE32, 0, 1000);
    return true;
}

bool ProgressWindow::ask(const std::wstring& question) {
    return messageBox(this, m_window, question, m_title,
                      MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void ProgressWindow::tell(const std::wstring& text) {
    messageBox(this, m_window, text, m_title, MB_OK | MB_ICONINFORMATION);
}

void ProgressWindow::show(const std::wstring& text, float percent) {
    SetWindowTextW(m_text, text.c_str());
    float p = percent >= 0.0f && percent <= 100.0f ? percent : percent > 100.0f ? 100.0f : 0.0f;
    SendMessageW(m_bar, PBM_SETPOS, static_cast<WPARAM>(p * 10.0f), 0);
    // Filled before it shows: never seen without its line.
    if (!IsWindowVisible(m_window))
        ShowWindow(m_window, SW_SHOWNORMAL);
    wait(0);
}

void ProgressWindow::wait(DWORD ms) {
    DWORD started = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        DWORD spent = GetTickCount() - started;
        if (spent >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
    }
}

} // namespace zkuninstall
