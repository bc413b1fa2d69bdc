// CZKVersion: reads the FileVersion text of a file's version resource and
// compares dotted version numbers of up to four fields.
#include "ZKInstall.h"

#include <cstdlib>
#include <cstring>

#include "platform/text.h"

namespace {

const int kVersionText = 1024;
const int kFields = 4;

// Reads up to four "%d"-style fields separated by full stops.  Reading stops at
// the first field that is not a number; the fields not read stay 0.  Values
// out of range are clamped rather than left to overflow.
void readFields(const char* text, long fields[kFields]) {
    for (int i = 0; i < kFields; ++i)
        fields[i] = 0;
    const char* p = text;
    for (int i = 0; i < kFields; ++i) {
        if (i > 0) {
            if (*p != '.')
                return;
            ++p;
        }
        char* end = nullptr;
        long value = strtol(p, &end, 10);
        if (end == p)
            return;
        fields[i] = value;
        p = end;
    }
}

// Copies a version text and pads it with ".0" fields so it has at least four.
void normalise(const char* in, char* out) {
    zk::copyText(out, kVersionText, in && in[0] ? in : "0");
    int stops = 0;
    for (const char* p = out; *p; ++p)
        if (*p == '.')
            ++stops;
    for (; stops < kFields - 1; ++stops)
        zk::appendText(out, kVersionText, ".0");
}

// The version information block of one file, freed when it goes.
class VersionBlock {
  public:
    explicit VersionBlock(const char* file) {
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeA(file, &ignored);
        if (size == 0)
            return;
        data_ = malloc(size);
        if (data_ && !GetFileVersionInfoA(file, 0, size, data_)) {
            free(data_);
            data_ = nullptr;
        }
    }
    ~VersionBlock() { free(data_); }
    VersionBlock(const VersionBlock&) = delete;
    VersionBlock& operator=(const VersionBlock&) = delete;

    bool loaded() const { return data_ != nullptr; }

    bool query(const char* path, void** value, UINT* length) {
        *value = nullptr;
        *length = 0;
        return VerQueryValueA(data_, path, value, length) && *value != nullptr;
    }

  private:
    void* data_ = nullptr;
};

} // namespace

CZKVersion::CZKVersion() {}
CZKVersion::~CZKVersion() {}
CZKVersion& CZKVersion::operator=(const CZKVersion&) { return *this; }

int CZKVersion::compare(const char* a, const char* b) {
    char left[kVersionText];
    char right[kVersionText];
    normalise(a, left);
    normalise(b, right);
    long x[kFields], y[kFields];
    readFields(left, x);
    readFields(right, y);
    for (int i = 0; i < kFields; ++i) {
        if (x[i] < y[i])
            return -1;
        if (x[i] > y[i])
            return 1;
    }
    return 0;
}

bool CZKVersion::getVersionString(const char* file, char* out) {
    if (out)
        out[0] = '\0';
    if (!file || !out)
        return false;

    VersionBlock block(file);
    if (!block.loaded())
        return false;

    // The translation table lists (language, code page) pairs; the first
    // string table among them that has a FileVersion is the one we report.
    void* table = nullptr;
    UINT tableBytes = 0;
    if (!block.query("\\VarFileInfo\\Translation", &table, &tableBytes))
        return false;
    const WORD* entries = static_cast<const WORD*>(table);
    UINT count = tableBytes / (2 * sizeof(WORD));

    const char* found = nullptr;
    for (UINT i = 0; i < count && !found; ++i) {
        char path[64];
        zk::formatText(path, sizeof path, "\\StringFileInfo\\%04x%04x\\FileVersion",
                       entries[2 * i], entries[2 * i + 1]);
        void* value = nullptr;
        UINT length = 0;
        if (block.query(path, &value, &length))
            found = static_cast<const char*>(value);
    }
    if (!found || found[0] == '\0')
        return false;
    zk::copyText(out, kVersionText, found);
    return true;
}
