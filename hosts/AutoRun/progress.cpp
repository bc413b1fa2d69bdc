#include "progress.h"

#include <cmath>
#include <cstdio>

namespace autorun {

namespace {

const size_t kBarWidth = 20;

float clampPercent(float percent) {
    if (!(percent >= 0.0f))  // also catches NaN
        return 0.0f;
    return percent > 100.0f ? 100.0f : percent;
}

} // namespace

std::string formatBytes(long long bytes) {
    if (bytes < 0)
        bytes = 0;
    static const char* const units[] = {"B", "KB", "MB", "GB", "TB"};
    if (bytes < 1024)
        return std::to_string(bytes) + " B";
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1024.0 && unit < 4) {
        value /= 1024.0;
        ++unit;
    }
    char text[32];
    snprintf(text, sizeof text, value < 10.0 ? "%.2f %s" : "%.1f %s", value, units[unit]);
    return text;
}

std::string formatElapsed(unsigned long long ms) {
    unsigned long long s = ms / 1000;
    char text[32];
    if (s < 3600)
        snprintf(text, sizeof text, "%llu:%02llu", s / 60, s % 60);
    else
        snprintf(text, sizeof text, "%llu:%02llu:%02llu", s / 3600, s / 60 % 60, s % 60);
    return text;
}

std::string fitPath(const std::string& path, size_t width) {
    if (path.size() <= width)
        return path;
    if (width <= 3)
        return path.substr(path.size() - width);
    size_t keepEnd = (width - 3) * 2 / 3;
    size_t keepStart = width - 3 - keepEnd;
    return path.substr(0, keepStart) + "..." + path.substr(path.size() - keepEnd);
}

std::string progressLine(float percent, long long expected, unsigned long long elapsedMs,
                         const std::string& currentFile, size_t width) {
    float p = clampPercent(percent);
    size_t filled = static_cast<size_t>(p / 100.0f * kBarWidth + 0.5f);
    if (filled > kBarWidth)
        filled = kBarWidth;
    std::string bar = "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '-') + "]";

    char pct[16];
    snprintf(pct, sizeof pct, "%5.1f%%", p);
    std::string line = bar + " " + pct;
    if (expected > 0) {
        long long done = static_cast<long long>(std::floor(expected * (p / 100.0)));
        line += "  " + formatBytes(done) + " / " + formatBytes(expected);
    }
    line += "  " + formatElapsed(elapsedMs);
    if (line.size() >= width)
        return line.substr(0, width);
    if (!currentFile.empty() && width - line.size() > 6)
        line += "  " + fitPath(currentFile, width - line.size() - 2);
    return line;
}

} // namespace autorun
