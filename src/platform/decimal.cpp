#include "platform/decimal.h"

#include <cctype>
#include <clocale>
#include <cmath>

#include "platform/text.h"

namespace zk {

namespace {

// Significant digits kept exactly: up to 10^19 fits an unsigned 64-bit value,
// and beyond 19 digits the rest cannot change a double.
const int kKeptDigits = 19;

} // namespace

bool readDecimal(const char* text, double* value) {
    if (!text)
        return false;
    const char* p = text;
    while (isspace(static_cast<unsigned char>(*p)))
        ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    unsigned long long mantissa = 0;
    int kept = 0, scale = 0;  // value = mantissa * 10^scale
    bool anyDigit = false, pastStop = false;
    for (;; ++p) {
        if (*p == '.' && !pastStop) {
            pastStop = true;
            continue;
        }
        if (!isdigit(static_cast<unsigned char>(*p)))
            break;
        anyDigit = true;
        if (kept < kKeptDigits && (kept > 0 || *p != '0')) {
            mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
            ++kept;
            if (pastStop)
                --scale;
        } else if (kept > 0 && !pastStop) {
            ++scale;  // an integer digit beyond those kept
        } else if (kept == 0 && pastStop) {
            --scale;  // a leading zero after the stop
        }
    }
    if (!anyDigit)
        return false;
    // Exact for the short texts of versions: both factors are exact doubles
    // (up to 2^53 and 10^22), so one division rounds once; longer scales are
    // divided in exact steps.
    double result = static_cast<double>(mantissa);
    for (; scale < -22; scale += 22)
        result /= 1e22;
    if (scale < 0)
        result /= pow(10.0, -scale);
    else if (scale > 0)
        result *= pow(10.0, scale);
    *value = negative ? -result : result;
    return true;
}

bool readDecimal(const char* text, float* value) {
    double number = 0.0;
    if (!readDecimal(text, &number))
        return false;
    *value = static_cast<float>(number);
    return true;
}

void formatDecimal(char* out, size_t cap, double value) {
    formatText(out, cap, "%g", value);
    // "%g" writes nothing but digits, a sign, an exponent and the decimal point.
    const char* point = localeconv()->decimal_point;
    char mark = point && point[0] ? point[0] : '.';
    for (char* c = out; c && *c; ++c)
        if (*c == mark)
            *c = '.';
}

} // namespace zk
