// Times N turns of the extraction's message pump (one PeekMessage with
// removal) on a thread that owns no window, as the installation's worker
// thread is.  Prints the seconds taken.
//   peek_cost.exe N
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

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

int main(int argc, char** argv) {
    long turns = argc > 1 ? atol(argv[1]) : 0;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    HANDLE thread = CreateThread(nullptr, 0, pump, &turns, 0, nullptr);
    if (!thread)
        return 1;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    QueryPerformanceCounter(&end);
    printf("%.3f\n", static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
    return 0;
}
