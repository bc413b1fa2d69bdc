#include "window.h"

#include <commctrl.h>

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

} // namespace

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
    m_window = CreateWindowExW(0, kClass, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                               r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                               wc.hInstance, nullptr);
    if (!m_window)
        return false;
    m_text = child(m_window, L"STATIC", SS_NOPREFIX | SS_PATHELLIPSIS, kMargin, 20);
    m_bar = child(m_window, PROGRESS_CLASSW, 0, kMargin + 32, 22);
    SendMessageW(m_bar, PBM_SETRANGE32, 0, 1000);
    return true;
}

bool ProgressWindow::ask(const std::wstring& question) {
    return MessageBoxW(m_window, question.c_str(), m_title.c_str(),
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void ProgressWindow::tell(const std::wstring& text) {
    MessageBoxW(m_window, text.c_str(), m_title.c_str(), MB_OK | MB_ICONINFORMATION);
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
