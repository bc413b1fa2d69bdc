// Times, on their own, the two fixed costs of the installation's copy thread:
//   fixed_costs.exe pump N   N turns of the extraction's message pump (one
//                            PeekMessage with removal) on a thread that owns
//                            no window, as the copy thread is
//   fixed_costs.exe pause    the thread's start: created, it sleeps the second
//                            the copy thread waits before it sets its running
//                            flag, and is waited for, as a host does
// Prints the seconds taken.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static DWORD WINAPI pump(void* turns) {
    long n = *static_cast<long*>(turns);
    MSG msg;
    for (long i = 0; i < n; ++i)
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    return 0;
}

static DWORD WINAPI pause(void*) {
    Sleep(1000);
    return 0;
}

int main(int argc, char** argv) {
    bool pumping = argc > 2 && !strcmp(argv[1], "pump");
    if (!pumping && !(argc == 2 && !strcmp(argv[1], "pause"))) {
        fprintf(stderr, "usage: fixed_costs.exe pump N | pause\n");
        return 2;
    }
    long turns = pumping ? atol(argv[2]) : 0;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    HANDLE thread = CreateThread(nullptr, 0, pumping ? pump : pause, &turns, 0, nullptr);
    if (!thread)
        return 1;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    QueryPerformanceCounter(&end);
    printf("%.3f\n", static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
    return 0;
}
