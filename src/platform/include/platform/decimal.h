// decimal.h - decimal numbers in version texts, read and written with a full
// stop whatever the process locale: choosing a language sets the runtime's
// locale, and French or German would otherwise read "5.50" as 5.
#ifndef ZK_PLATFORM_DECIMAL_H
#define ZK_PLATFORM_DECIMAL_H

#include <cstddef>

namespace zk {

// Reads a number as "%f" does in the C locale: blanks, a sign, digits with
// one full stop (no exponent).  False, value untouched, when the text does not
// start with a number.
bool readDecimal(const char* text, double* value);
// The same, as a float.
bool readDecimal(const char* text, float* value);
// The number as "%g" writes it in the C locale.
void formatDecimal(char* out, size_t cap, double value);

} // namespace zk

#endif
