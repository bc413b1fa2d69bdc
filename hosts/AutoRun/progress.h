// progress.h - the one-line progress display of the copy: bar, percentage,
// bytes, elapsed time and the file being copied, fitted to the console.
#ifndef AUTORUN_PROGRESS_H
#define AUTORUN_PROGRESS_H

#include <string>

namespace autorun {

// "0 B", "512 B", "1.5 KB", "12.4 MB", "3.20 GB" (powers of 1024).
std::string formatBytes(long long bytes);

// "m:ss" below an hour, "h:mm:ss" from then on.
std::string formatElapsed(unsigned long long ms);

// Shortens a path to at most `width` characters by replacing its middle with
// "...", keeping the file name's end visible.
std::string fitPath(const std::string& path, size_t width);

// The progress line, at most `width` characters.  The percentage is clamped
// to 0..100 (a value that is not a number counts as 0); the bytes shown are
// that share of `expected`, since the library reports only the percentage.
std::string progressLine(float percent, long long expected, unsigned long long elapsedMs,
                         const std::string& currentFile, size_t width);

} // namespace autorun

#endif
