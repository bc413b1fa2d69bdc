// The wizard face: one window, a page per question, modal boxes for the
// library's messages.  Pages are built from plain controls; every word comes
// from the host's texts in the installation's language.
#include "wizard_face.h"

#include <commctrl.h>
#include <cstring>
#include <shlobj.h>

#include "answers.h"
#include "progress.h"
#include "resource.h"
#include "wizard_ids.h"

namespace autorun {

namespace {

const char kWizardClass[] = ZK_WIZARD_CLASS;
const char kAskClass[] = ZK_ASK_CLASS;
const UINT kAskMessage = WM_APP + 1;  // a box asked for from another thread

// Page layout (client pixels).
const int kWidth = 520, kHeight = 380, kMargin = 16, kButtonW = 104, kButtonH = 26;
const int kBodyW = kWidth - 2 * kMargin;


struct AskRequest {
    const std::string* caption;
    const std::string* text;
    const std::vector<int>* buttons;
    int defaultButton;
    int result;
    // When given, asked twice a second: true ends the box with its default.
    const std::function<bool()>* ready;
};

const UINT_PTR kReadyTimer = 1;
const UINT kReadyMs = 500;

// A child window's number, as CreateWindowEx takes it.
HMENU controlId(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

std::string windowText(HWND control) {
    char text[1024] = {0};
    GetWindowTextA(control, text, sizeof text);
    return text;
}

// Edit controls want \r\n line ends.
std::string crlf(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

LRESULT CALLBACK wizardProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        CREATESTRUCTA* cs = reinterpret_cast<CREATESTRUCTA*>(l);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    WizardFace* face = reinterpret_cast<WizardFace*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return face ? face->handle(window, message, w, l) : DefWindowProcA(window, message, w, l);
}

// The modal box: its result (a Btn*) lands in the int its creator passed.
LRESULT CALLBACK askProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        CREATESTRUCTA* cs = reinterpret_cast<CREATESTRUCTA*>(l);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    AskRequest* r = reinterpret_cast<AskRequest*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (r && message == WM_COMMAND && HIWORD(w) == BN_CLICKED) {
        int id = LOWORD(w);
        if (id == IDOK)
            r->result = r->defaultButton;
        else if (id >= IdAskButton)
            r->result = id - IdAskButton;
        else if (id == IDCANCEL)
            for (int b : {BtnCancel, BtnAbort, BtnNo})
                for (int have : *r->buttons)
                    if (have == b && r->result == 0)
                        r->result = b;
        return 0;
    }
    if (r && message == WM_TIMER && w == kReadyTimer && r->ready && r->result == 0 &&
        (*r->ready)()) {
        r->result = r->defaultButton;
        return 0;
    }
    if (r && message == WM_CLOSE) {
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
    }
    return DefWindowProcA(window, message, w, l);
}

BOOL CALLBACK destroyChild(HWND child, LPARAM) {
    DestroyWindow(child);
    return TRUE;
}

} // namespace

WizardFace::WizardFace() : m_thread(GetCurrentThreadId()) {}

WizardFace::~WizardFace() {
    if (m_window)
        DestroyWindow(m_window);
    if (m_bold)
        DeleteObject(m_bold);
}

bool WizardFace::open() {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    CoInitialize(nullptr);  // the folder picker needs COM
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = wizardProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWizardClass;
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    RegisterClassA(&wc);
    wc.lpfnWndProc = askProc;
    wc.lpszClassName = kAskClass;
    RegisterClassA(&wc);

    m_font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA lf;
    GetObjectA(m_font, sizeof lf, &lf);
    lf.lfWeight = FW_BOLD;
    m_bold = CreateFontIndirectA(&lf);

    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT r = {0, 0, kWidth, kHeight};
    AdjustWindowRect(&r, style, FALSE);
    // Centred on the screen's work area, as a setup's window usually is.
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int w = r.right - r.left, h = r.bottom - r.top;
    m_window = CreateWindowExA(0, kWizardClass, "AutoRun", style,
                               area.left + (area.right - area.left - w) / 2,
                               area.top + (area.bottom - area.top - h) / 2, w, h, nullptr, nullptr,
                               instance, this);
    return m_window != nullptr;
}

LRESULT WizardFace::handle(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_COMMAND: {
        int id = LOWORD(w);
        if (id == IdEdit && HIWORD(w) == EN_CHANGE && GetDlgItem(window, IdSpace) && m_pageReady)
            showSpace(windowText(GetDlgItem(window, IdEdit)));
        if (id == IdList && HIWORD(w) == LBN_SELCHANGE && m_offered && languagePicked) {
            LRESULT at = SendDlgItemMessageA(window, IdList, LB_GETCURSEL, 0, 0);
            if (at >= 0 && static_cast<size_t>(at) < m_offered->size()) {
                languagePicked((*m_offered)[at].index);
                labelWelcome();
            }
        }
        if (HIWORD(w) != BN_CLICKED)
            return 0;
        if (id == IdBrowse) {
            std::string title = hostText(IDS_WIZ_PICK_FOLDER);
            BROWSEINFOA bi = {};
            bi.hwndOwner = window;
            bi.lpszTitle = title.c_str();
            bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
            LPITEMIDLIST picked = SHBrowseForFolderA(&bi);
            char path[MAX_PATH] = {0};
            if (picked && SHGetPathFromIDListA(picked, path)) {
                // The game keeps its own folder below the one picked.
                std::string now = windowText(GetDlgItem(window, IdEdit));
                std::string leaf = now.substr(now.find_last_of('\\') + 1);
                std::string folder = path;
                if (!folder.empty() && folder.back() != '\\')
                    folder += '\\';
                SetDlgItemTextA(window, IdEdit, (folder + leaf).c_str());
            }
            if (picked)
                CoTaskMemFree(picked);
        } else if (id >= IdRadio && id < IdRadio + 8) {
            // The type page: the space line follows the type picked.
            if (static_cast<size_t>(id - IdRadio) < m_typeBytes.size())
                m_needed = m_typeBytes[id - IdRadio];
            showSpace(m_spaceFolder);
        } else if (id == IDCANCEL && m_copying) {
            m_cancelAsked = true;
        } else if (id == IDOK || id == IDCANCEL || id == IdNo) {
            m_pressed = id;
        }
        return 0;
    }
    case WM_CLOSE:
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(m_finished ? IDOK : IDCANCEL, BN_CLICKED), 0);
        return 0;
    case kAskMessage: {
        AskRequest* r = reinterpret_cast<AskRequest*>(l);
        r->result = ask(*r->caption, *r->text, *r->buttons, r->defaultButton, r->ready);
        return 0;
    }
    }
    return DefWindowProcA(window, message, w, l);
}

HWND WizardFace::add(const char* kind, const std::string& text, DWORD style, int x, int y, int w,
                     int h, int id) {
    HWND control = CreateWindowExA(strcmp(kind, "EDIT") == 0 || strcmp(kind, "LISTBOX") == 0
                                       ? WS_EX_CLIENTEDGE
                                       : 0,
                                   kind, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                                   m_window, controlId(id),
                                   GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    return control;
}

void WizardFace::startPage(const std::string& heading, const std::string& next) {
    EnumChildWindows(m_window, destroyChild, 0);
    m_copying = false;
    m_pageReady = false;
    SetWindowTextA(m_window, hostText(IDS_SETUP_TITLE, {m_product}).c_str());
    HWND title = add("STATIC", heading, SS_NOPREFIX, kMargin, 14, kBodyW, 34, IdHeading);
    SendMessageA(title, WM_SETFONT, reinterpret_cast<WPARAM>(m_bold), FALSE);
    add("STATIC", "", SS_ETCHEDHORZ, kMargin, kHeight - 52, kBodyW, 2, -1);
    int y = kHeight - 40, x = kWidth - kMargin - kButtonW;
    if (!m_finished)
        add("BUTTON", hostText(IDS_BUTTON_CANCEL), WS_TABSTOP, x, y, kButtonW, kButtonH, IDCANCEL);
    if (!next.empty())
        add("BUTTON", next, WS_TABSTOP | BS_DEFPUSHBUTTON, m_finished ? x : x - kButtonW - 8, y,
            kButtonW, kButtonH, IDOK);
    if (!IsWindowVisible(m_window)) {
        ShowWindow(m_window, SW_SHOWNORMAL);
        SetForegroundWindow(m_window);
    }
}

void WizardFace::pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageA(m_window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

int WizardFace::runPage() {
    for (;;) {
        m_pressed = 0;
        while (m_pressed == 0) {
            WaitMessage();
            pump();
        }
        if (m_pressed != IDCANCEL || userConfirmsCancel())
            return m_pressed;
    }
}

int WizardFace::ask(const std::string& caption, const std::string& text,
                    const std::vector<int>& buttons, int defaultButton,
                    const std::function<bool()>* ready) {
    AskRequest r = {&caption, &text, &buttons, defaultButton, 0, ready};
    if (GetCurrentThreadId() != m_thread) {
        SendMessageA(m_window, kAskMessage, 0, reinterpret_cast<LPARAM>(&r));
        return r.result;
    }
    // The text's height at the box's width decides the box's height.
    const int width = 420, textW = width - 2 * kMargin;
    HDC dc = GetDC(m_window);
    HGDIOBJ old = SelectObject(dc, m_font);
    RECT measure = {0, 0, textW, 0};
    DrawTextA(dc, text.c_str(), -1, &measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(m_window, dc);
    int height = measure.bottom + 3 * kMargin + kButtonH;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT frame = {0, 0, width, height}, owner;
    AdjustWindowRect(&frame, style, FALSE);
    GetWindowRect(m_window, &owner);
    int w = frame.right - frame.left, h = frame.bottom - frame.top;
    HWND box = CreateWindowExA(WS_EX_DLGMODALFRAME, kAskClass,
                               (caption.empty() ? m_product : caption).c_str(), style,
                               (owner.left + owner.right - w) / 2,
                               (owner.top + owner.bottom - h) / 2, w, h, m_window, nullptr,
                               GetModuleHandleA(nullptr), &r);
    HWND label = CreateWindowExA(0, "STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX,
                                 kMargin, kMargin, textW, measure.bottom, box,
                                 controlId(ready ? IdDiscText : 0),
                                 nullptr, nullptr);
    if (ready)
        SetTimer(box, kReadyTimer, kReadyMs, nullptr);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    int x = width - kMargin - static_cast<int>(buttons.size()) * (kButtonW + 8) + 8;
    for (int b : buttons) {
        DWORD bs = WS_CHILD | WS_VISIBLE | WS_TABSTOP |
                   (b == defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND button = CreateWindowExA(0, "BUTTON", hostText(buttonTextId(b)).c_str(), bs, x,
                                      height - kMargin - kButtonH, kButtonW, kButtonH, box,
                                      controlId(IdAskButton + b),
                                      nullptr, nullptr);
        SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
        if (b == defaultButton)
            SetFocus(button);
        x += kButtonW + 8;
    }
    EnableWindow(m_window, FALSE);
    ShowWindow(box, SW_SHOWNORMAL);
    SetForegroundWindow(box);
    MSG msg;
    while (r.result == 0 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(box, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    EnableWindow(m_window, TRUE);
    DestroyWindow(box);
    SetForegroundWindow(m_window);
    return r.result;
}

bool WizardFace::userConfirmsCancel() {
    return ask(m_product, hostText(IDS_CANCEL_QUESTION), {BtnYes, BtnNo}, BtnNo) == BtnYes;
}

// --- the questions ---------------------------------------------------------------

void WizardFace::begin(const std::string& product, const std::string&) {
    m_product = product;
}

void WizardFace::say(const std::string& text) {
    m_said = text;
    if (m_window && GetDlgItem(m_window, IdInfo))
        SetDlgItemTextA(m_window, IdInfo, text.c_str());
}

void WizardFace::error(const std::string& text) {
    m_said = text;
    if (m_window)
        ask(m_product, text, {BtnOK}, BtnOK);
}

Reply WizardFace::chooseLanguage(const std::vector<LanguageEntry>& offered, int& choice,
                                 bool) {
    startPage(hostText(IDS_WIZ_WELCOME, {m_product}), hostText(IDS_WIZ_NEXT));
    add("STATIC", hostText(IDS_LANGUAGE_LIST), 0, kMargin, 60, kBodyW, 20, IdInfo);
    HWND list = add("LISTBOX", "", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY, kMargin, 84, 260, 200,
                    IdList);
    for (size_t i = 0; i < offered.size(); ++i) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(offered[i].name.c_str()));
        if (offered[i].index == choice)
            SendMessageA(list, LB_SETCURSEL, i, 0);
    }
    SetFocus(list);
    m_offered = &offered;
    int pressed = runPage();
    m_offered = nullptr;
    if (pressed == IDCANCEL)
        return Reply::Cancelled;
    LRESULT picked = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (picked >= 0 && static_cast<size_t>(picked) < offered.size())
        choice = offered[picked].index;
    return Reply::Answered;
}

void WizardFace::labelWelcome() {
    SetWindowTextA(m_window, hostText(IDS_SETUP_TITLE, {m_product}).c_str());
    SetDlgItemTextA(m_window, IdHeading, hostText(IDS_WIZ_WELCOME, {m_product}).c_str());
    SetDlgItemTextA(m_window, IdInfo, hostText(IDS_LANGUAGE_LIST).c_str());
    SetDlgItemTextA(m_window, IDOK, hostText(IDS_WIZ_NEXT).c_str());
    SetDlgItemTextA(m_window, IDCANCEL, hostText(IDS_BUTTON_CANCEL).c_str());
}

Reply WizardFace::chooseType(const std::vector<TypeEntry>& types, int& type,
                             const std::string& folder) {
    startPage(hostText(IDS_TYPE_LIST), hostText(IDS_WIZ_NEXT));
    std::vector<HWND> radios;
    for (size_t i = 0; i < types.size(); ++i)
        radios.push_back(add("BUTTON", types[i].name + "   (" + formatBytes(types[i].bytes) + ")",
                             BS_AUTORADIOBUTTON | WS_TABSTOP | (i == 0 ? WS_GROUP : 0), kMargin,
                             60 + static_cast<int>(i) * 28, kBodyW, 24, IdRadio + types[i].type));
    add("STATIC", "", SS_NOPREFIX, kMargin, 76 + static_cast<int>(types.size()) * 28, kBodyW, 20,
        IdSpace);
    m_typeBytes.assign(8, 0);
    for (const TypeEntry& t : types)
        m_typeBytes[t.type] = t.bytes;
    m_needed = m_typeBytes[type];
    m_spaceFolder = folder;
    showSpace(m_spaceFolder);
    CheckDlgButton(m_window, IdRadio + type, BST_CHECKED);
    if (runPage() == IDCANCEL)
        return Reply::Cancelled;
    for (const TypeEntry& t : types)
        if (IsDlgButtonChecked(m_window, IdRadio + t.type) == BST_CHECKED)
            type = t.type;
    for (const TypeEntry& t : types)
        if (t.type == type)
            m_needed = t.bytes;
    return Reply::Answered;
}

void WizardFace::showSpace(const std::string& folder) {
    m_spaceFolder = folder;
    ULARGE_INTEGER free;
    std::string root = folder.size() >= 3 ? folder.substr(0, 3) : folder;
    std::string room = !root.empty() && GetDiskFreeSpaceExA(root.c_str(), &free, nullptr, nullptr)
                           ? formatBytes(static_cast<long long>(free.QuadPart))
                           : "-";
    SetDlgItemTextA(m_window, IdSpace,
                    hostText(IDS_WIZ_SPACE, {formatBytes(m_needed), room}).c_str());
}

Reply WizardFace::chooseFolder(std::string& folder, const Checker& checker) {
    startPage(hostText(IDS_WIZ_FOLDER, {m_product}), hostText(IDS_WIZ_NEXT));
    add("EDIT", folder, WS_TABSTOP | ES_AUTOHSCROLL, kMargin, 64, kBodyW - kButtonW - 8, 24,
        IdEdit);
    add("BUTTON", hostText(IDS_WIZ_BROWSE), WS_TABSTOP, kWidth - kMargin - kButtonW, 63, kButtonW,
        kButtonH, IdBrowse);
    add("STATIC", "", SS_NOPREFIX, kMargin, 100, kBodyW, 20, IdSpace);
    add("STATIC", "", SS_NOPREFIX, kMargin, 130, kBodyW, 60, IdProblem);
    showSpace(folder);
    m_pageReady = true;
    SetFocus(GetDlgItem(m_window, IdEdit));
    for (;;) {
        if (runPage() == IDCANCEL)
            return Reply::Cancelled;
        std::string value = windowText(GetDlgItem(m_window, IdEdit)), why;
        if (checker(value, why)) {
            folder = value;
            return Reply::Answered;
        }
        // The problem stays on the page, where the folder is typed.
        SetDlgItemTextA(m_window, IdProblem, why.c_str());
    }
}

Reply WizardFace::chooseGroup(std::string& group, const Checker& checker) {
    startPage(hostText(IDS_WIZ_GROUP), hostText(IDS_WIZ_NEXT));
    add("EDIT", group, WS_TABSTOP | ES_AUTOHSCROLL, kMargin, 64, kBodyW, 24, IdEdit);
    add("BUTTON", hostText(IDS_WIZ_DESKTOP), WS_TABSTOP | BS_AUTOCHECKBOX, kMargin, 100, kBodyW,
        24, IdCheck);
    add("STATIC", "", SS_NOPREFIX, kMargin, 136, kBodyW, 60, IdProblem);
    CheckDlgButton(m_window, IdCheck, m_desktop ? BST_CHECKED : BST_UNCHECKED);
    for (;;) {
        if (runPage() == IDCANCEL)
            return Reply::Cancelled;
        std::string value = windowText(GetDlgItem(m_window, IdEdit)), why;
        m_desktop = IsDlgButtonChecked(m_window, IdCheck) == BST_CHECKED;
        if (checker(value, why)) {
            group = value;
            return Reply::Answered;
        }
        SetDlgItemTextA(m_window, IdProblem, why.c_str());
    }
}

void WizardFace::showLicence(const std::string& heading, const std::string& text) {
    m_licenceHeading = heading;
    m_licence = text;
}

void WizardFace::showFinish(const std::string& text, const std::string& check, bool& checked) {
    m_finished = true;
    startPage(hostText(IDS_SETUP_TITLE, {m_product}), hostText(IDS_WIZ_FINISH));
    add("STATIC", text, SS_NOPREFIX, kMargin, 60, kBodyW, 80, IdInfo);
    if (!check.empty()) {
        add("BUTTON", check, WS_TABSTOP | BS_AUTOCHECKBOX, kMargin, 150, kBodyW, 24, IdCheck);
        CheckDlgButton(m_window, IdCheck, checked ? BST_CHECKED : BST_UNCHECKED);
    }
    runPage();
    if (!check.empty())
        checked = IsDlgButtonChecked(m_window, IdCheck) == BST_CHECKED;
}

Reply WizardFace::askYesNo(Question kind, const std::string& question, bool& yes) {
    switch (kind) {
    case Question::Desktop: yes = yes && m_desktop; return Reply::Answered;
    case Question::Restart:
        showFinish(m_said, hostText(IDS_WIZ_RESTART_NOW), yes);
        return Reply::Answered;
    case Question::StartGame:
        showFinish(m_said, hostText(IDS_WIZ_START, {m_product}), yes);
        return Reply::Answered;
    default: break;
    }
    bool licence = kind == Question::Licence && !m_licence.empty();
    std::string next = kind == Question::Confirm ? hostText(IDS_WIZ_INSTALL)
                       : licence                 ? hostText(IDS_WIZ_ACCEPT)
                                                 : hostText(IDS_BUTTON_YES);
    startPage(licence ? m_licenceHeading : question, next);
    if (licence) {
        add("EDIT", crlf(m_licence),
            WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, kMargin, 56,
            kBodyW, 210, IdEdit);
        add("STATIC", question, SS_NOPREFIX, kMargin, 274, kBodyW, 44, IdInfo);
        m_licence.clear();
    }
    if (kind != Question::Confirm)
        add("BUTTON", licence ? hostText(IDS_WIZ_DECLINE) : hostText(IDS_BUTTON_NO), WS_TABSTOP,
            kWidth - kMargin - 3 * kButtonW - 16, kHeight - 40, kButtonW, kButtonH, IdNo);
    int pressed = runPage();
    if (pressed == IDCANCEL)
        return Reply::Cancelled;
    yes = pressed == IDOK;
    return Reply::Answered;
}

int WizardFace::askMessage(const std::string& text, const std::string& caption, unsigned style) {
    return ask(caption, text, buttonsOf(style), defaultButton(style));
}

int WizardFace::askDisc(int disc, const std::string& drive, const std::function<bool()>& arrived) {
    return ask(m_product, hostText(IDS_WIZ_DISC, {std::to_string(disc), drive}), {BtnOK, BtnCancel},
               BtnOK, &arrived);
}

// --- the copy --------------------------------------------------------------------

void WizardFace::progress(const CopyState& s) {
    if (!m_copying) {
        startPage(hostText(IDS_COPYING), "");
        m_copying = true;
        HWND bar = add(PROGRESS_CLASSA, "", 0, kMargin, 64, kBodyW, 22, IdBar);
        SendMessageA(bar, PBM_SETRANGE32, 0, 1000);
        add("STATIC", "", SS_NOPREFIX, kMargin, 98, kBodyW, 20, IdBytes);
        add("STATIC", "", SS_NOPREFIX, kMargin, 122, kBodyW, 20, IdTimes);
        add("STATIC", "", SS_NOPREFIX | SS_PATHELLIPSIS, kMargin, 146, kBodyW, 20, IdFile);
        add("STATIC", "", SS_NOPREFIX, kMargin, 180, kBodyW, 60, IdInfo);
    }
    float p = s.percent >= 0.0f && s.percent <= 100.0f ? s.percent : s.percent > 100.0f ? 100.0f
                                                                                          : 0.0f;
    SendDlgItemMessageA(m_window, IdBar, PBM_SETPOS, static_cast<WPARAM>(p * 10.0f), 0);
    long long done = static_cast<long long>(static_cast<double>(s.expected) * p / 100.0);
    SetDlgItemTextA(m_window, IdBytes,
                    hostText(IDS_WIZ_BYTES, {std::to_string(static_cast<int>(p)),
                                             formatBytes(done), formatBytes(s.expected)})
                        .c_str());
    std::string remaining =
        p >= 1.0f ? formatElapsed(static_cast<unsigned long long>(s.elapsedMs * (100.0f - p) / p))
                  : "-";
    SetDlgItemTextA(m_window, IdTimes,
                    hostText(IDS_WIZ_TIMES, {formatElapsed(s.elapsedMs), remaining}).c_str());
    SetDlgItemTextA(m_window, IdFile, s.file.c_str());
}

void WizardFace::endProgress(const CopyState& s) {
    progress(s);
    pump();
}

Reply WizardFace::pollCancel() {
    if (!m_cancelAsked)
        return Reply::Answered;
    m_cancelAsked = false;
    return userConfirmsCancel() ? Reply::Cancelled : Reply::Answered;
}

bool WizardFace::waitFor(HANDLE object, DWORD ms) {
    DWORD started = GetTickCount();
    for (;;) {
        DWORD spent = GetTickCount() - started;
        if (spent >= ms)
            return WaitForSingleObject(object, 0) == WAIT_OBJECT_0;
        DWORD r = MsgWaitForMultipleObjects(1, &object, FALSE, ms - spent, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0)
            return true;
        if (r != WAIT_OBJECT_0 + 1)
            return false;
        pump();
    }
}

void WizardFace::close() {
    if (!m_window || m_finished)
        return;
    bool unused = false;
    showFinish(m_said, "", unused);
}

} // namespace autorun
