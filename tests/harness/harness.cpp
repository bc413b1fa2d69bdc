#include "zktest/harness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace zktest {

static MessageScript* s_script = nullptr;

MessageScript::MessageScript() { s_script = this; }
MessageScript::~MessageScript() {
    if (s_script == this)
        s_script = nullptr;
}

static int play(std::deque<Step>& steps, int fallback) {
    if (steps.empty())
        return fallback;
    Step step = steps.front();
    steps.pop_front();
    if (step.then)
        step.then();
    return step.answer;
}

int __stdcall MessageScript::callback(HWND, const char* text, const char* caption, unsigned style) {
    if (!s_script) {
        ADD_FAILURE() << "message box without a script: " << (text ? text : "");
        return IDCANCEL;
    }
    s_script->calls_.push_back({text ? text : "", caption ? caption : "", style});
    // A runaway retry or quit loop fails in seconds, not by the ctest time-out.
    if (s_script->boxSteps_.empty() && ++s_script->unscripted_ > 1000)
        s_script->fallback_ = kEndProcess;
    int answer = play(s_script->boxSteps_, s_script->fallback_);
    if (answer == kEndProcess) {
        fprintf(stderr, "unscripted message box: %s | %s\n", caption, text);
        fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    return answer;
}

int __stdcall MessageScript::beforeRequest(int disc) {
    if (!s_script)
        return ADD_FAILURE() << "disc request without a script", IDCANCEL;
    s_script->before_.push_back(disc);
    return play(s_script->beforeSteps_, IDCANCEL);
}

int __stdcall MessageScript::afterRequest(int disc) {
    if (s_script)
        s_script->after_.push_back(disc);
    return 0;
}

ScratchDir::ScratchDir(const std::string& tag) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string base(temp);
    if (!base.empty() && base.back() == '\\')
        base.pop_back();
    static unsigned counter = 0;
    char name[64];
    snprintf(name, sizeof name, "\\%s_%lu_%u", tag.c_str(), GetCurrentProcessId(), ++counter);
    path_ = base + name;
    removeTree(path_);
    makeDirs(path_);
}

ScratchDir::~ScratchDir() { removeTree(path_); }

void writeFile(const std::string& path, const std::string& content) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f != nullptr) << path;
    fwrite(content.data(), 1, content.size(), f);
    fclose(f);
}

std::string readFile(const std::string& path) {
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return std::string();
    std::string out;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, n);
    fclose(f);
    return out;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool isDirectory(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void makeDirs(const std::string& path) {
    for (size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '\\')
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
}

void removeTree(const std::string& path) {
    DWORD attr = GetFileAttributesA(path.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(attr & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string n = fd.cFileName;
            if (n != "." && n != "..")
                removeTree(path + "\\" + n);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out.push_back(line);
        start = end + 1;
    }
    return out;
}

std::string binDir() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string p(path);
    return p.substr(0, p.find_last_of('\\'));
}

std::string currentDirectory() {
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof cwd, cwd);
    return cwd;
}

RunResult run(const std::string& commandLine, const std::string& folder, DWORD timeoutMs) {
    RunResult result;
    ScratchDir dir("run");
    const std::string output = dir / "output.txt";
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE file = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              &sa, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = file;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    std::string cmd = commandLine;
    BOOL ok = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr,
                             folder.empty() ? nullptr : folder.c_str(), &si, &pi);
    CloseHandle(file);
    if (!ok)
        return {result.exitCode, "could not start: " + commandLine};
    if (WaitForSingleObject(pi.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 0xDEAD);
        WaitForSingleObject(pi.hProcess, 5000);
        ADD_FAILURE() << "timed out: " << commandLine;
    }
    GetExitCodeProcess(pi.hProcess, &result.exitCode);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    result.output = readFile(output);
    return result;
}

static std::string discRoot() {
    const char* root = getenv("ZK_DISC_ROOT");
    return root ? root : "";
}

bool haveDiscDrives() { return !discRoot().empty(); }

std::string discFolder(char letter) {
    return discRoot() + "\\" + std::string(1, static_cast<char>(tolower(letter)));
}

void ejectDisc(char letter) { removeTree(discFolder(letter)); }

void insertEmptyDisc(char letter) {
    removeTree(discFolder(letter));
    makeDirs(discFolder(letter));
}

void deleteTree(HKEY root, const std::string& path) { RegDeleteTreeA(root, path.c_str()); }

bool keyExists(HKEY root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

} // namespace zktest
