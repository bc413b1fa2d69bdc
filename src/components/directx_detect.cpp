// The DirectX installed on this machine: asked of the DirectX diagnostic
// provider, else read from the file versions of DirectX's system libraries.
#include <dxdiag.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "components/directx.h"

namespace zk {

namespace {

const CLSID kDxDiagProvider = {
    0xA65B8071, 0x3BFE, 0x4213, {0x9A, 0x5B, 0x49, 0x1D, 0xA4, 0x46, 0x1C, 0xA7}};
const IID kIDxDiagProvider = {
    0x9C6B4CB0, 0x23F8, 0x49CC, {0xA3, 0xED, 0x45, 0xA5, 0x50, 0x00, 0xA6, 0xD2}};
const DWORD kDxDiagHeaderVersion = 111;

// Releases a COM interface when it goes.
template <typename T>
class Held {
  public:
    ~Held() {
        if (m_p)
            m_p->Release();
    }
    T** out() { return &m_p; }
    T* get() const { return m_p; }
    T* operator->() const { return m_p; }

  private:
    T* m_p = nullptr;
};

class Variant {
  public:
    Variant() { VariantInit(&m_v); }
    ~Variant() { VariantClear(&m_v); }
    VARIANT* get() { return &m_v; }

  private:
    VARIANT m_v;
};

bool readNumber(IDxDiagContainer* info, const wchar_t* name, int* out) {
    Variant v;
    if (FAILED(info->GetProp(name, v.get())) || v.get()->vt != VT_UI4)
        return false;
    *out = static_cast<int>(v.get()->ulVal);
    return true;
}

bool readLetter(IDxDiagContainer* info, char* out) {
    Variant v;
    if (FAILED(info->GetProp(L"szDirectXVersionLetter", v.get())) || v.get()->vt != VT_BSTR ||
        !v.get()->bstrVal)
        return false;
    char text[10] = {};
    WideCharToMultiByte(CP_ACP, 0, v.get()->bstrVal, -1, text, sizeof text - 1, nullptr, nullptr);
    *out = text[0] ? text[0] : ' ';
    return true;
}

bool askProvider(DirectXVersion* version) {
    Held<IDxDiagProvider> provider;
    if (FAILED(CoCreateInstance(kDxDiagProvider, nullptr, CLSCTX_INPROC_SERVER, kIDxDiagProvider,
                                reinterpret_cast<void**>(provider.out()))))
        return false;
    DXDIAG_INIT_PARAMS params = {};
    // The provider insists on its own structure size (16 bytes in a 32-bit build).
    params.dwSize = sizeof params;
    params.dwDxDiagHeaderVersion = kDxDiagHeaderVersion;
    params.bAllowWHQLChecks = FALSE;
    params.pReserved = nullptr;
    if (FAILED(provider->Initialize(&params)))
        return false;
    Held<IDxDiagContainer> root, info;
    if (FAILED(provider->GetRootContainer(root.out())) ||
        FAILED(root->GetChildContainer(L"DxDiag_SystemInfo", info.out())))
        return false;
    DirectXVersion found;
    if (!readNumber(info.get(), L"dwDirectXVersionMajor", &found.major) ||
        !readNumber(info.get(), L"dwDirectXVersionMinor", &found.minor) ||
        !readLetter(info.get(), &found.letter))
        return false;
    *version = found;
    return true;
}

// A file version a.b.c.d as one number that compares as the version does.
constexpr uint64_t v(uint64_t a, uint64_t b, uint64_t c, uint64_t d) {
    return a << 48 | b << 32 | c << 16 | d;
}

// The fixed file version of a file's version resource.
bool fixedVersion(const char* path, uint64_t* out) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return false;
    void* data = malloc(size);
    if (!data)
        return false;
    bool ok = false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (GetFileVersionInfoA(path, 0, size, data) &&
        VerQueryValueA(data, "\\", reinterpret_cast<void**>(&info), &length) && info &&
        length >= sizeof *info) {
        *out = static_cast<uint64_t>(info->dwFileVersionMS) << 32 | info->dwFileVersionLS;
        ok = true;
    }
    free(data);
    return ok;
}

// One step of the ladder: holds when the file's version is at least `least`;
// with `least5`, a file numbered 4 must reach `least` and one numbered 5 `least5`.
struct Rung {
    const char* file;
    uint64_t least;
    uint64_t least5;
    DirectXVersion result;
};

// In release order: every rung that holds overrides the ones before.
const Rung kLadder[] = {
    {"ddraw.dll", v(4, 2, 0, 95), 0, {1, 0, ' '}},
    {"ddraw.dll", v(4, 3, 0, 1096), 0, {2, 0, ' '}},
    {"ddraw.dll", v(4, 4, 0, 68), 0, {3, 0, ' '}},
    {"d3drg8x.dll", v(4, 4, 0, 70), 0, {3, 0, 'a'}},
    {"ddraw.dll", v(4, 5, 0, 155), 0, {5, 0, ' '}},
    {"ddraw.dll", v(4, 6, 0, 318), 0, {6, 0, ' '}},
    {"ddraw.dll", v(4, 6, 0, 436), 0, {6, 1, ' '}},
    {"dplayx.dll", v(4, 6, 3, 518), 0, {6, 1, 'a'}},
    {"ddraw.dll", v(4, 7, 0, 700), 0, {7, 0, ' '}},
    {"dinput.dll", v(4, 7, 0, 716), 0, {7, 0, 'a'}},
    {"dinput.dll", v(4, 7, 1, 0), 0, {7, 1, ' '}},
    {"ddraw.dll", v(4, 8, 0, 400), v(5, 1, 2258, 400), {8, 0, ' '}},
    {"d3d8.dll", v(4, 8, 1, 881), v(5, 1, 2600, 881), {8, 1, ' '}},
    {"d3d8.dll", v(4, 8, 1, 901), v(5, 1, 2600, 901), {8, 1, 'a'}},
    {"mpg2splt.ax", v(6, 3, 1, 885), 0, {8, 1, 'b'}},
    {"dpnet.dll", v(4, 9, 0, 134), v(5, 2, 3677, 134), {8, 2, ' '}},
    {"d3d9.dll", 0, 0, {9, 0, ' '}},  // any readable version
};

bool holds(const Rung& rung, uint64_t version) {
    if (rung.least5 == 0)
        return version >= rung.least;
    uint64_t first = version >> 48;
    return (first == 4 && version >= rung.least) || (first == 5 && version >= rung.least5);
}

} // namespace

bool diagnosticDirectXVersion(DirectXVersion* version) {
    HRESULT init = CoInitialize(nullptr);
    // S_FALSE means COM was already initialised here: it counts and must be
    // balanced too.  After RPC_E_CHANGED_MODE it is the thread owner's to undo.
    bool initialised = init == S_OK || init == S_FALSE;
    bool ok = askProvider(version);
    if (initialised)
        CoUninitialize();
    return ok;
}

DirectXVersion fileDirectXVersion(const char* systemFolder) {
    DirectXVersion result;
    if (!systemFolder || !systemFolder[0])
        return result;
    for (const Rung& rung : kLadder) {
        char path[kText];
        if (strlen(systemFolder) + strlen(rung.file) + 2 > sizeof path)
            continue;
        formatText(path, sizeof path, "%s\\%s", systemFolder, rung.file);
        uint64_t version = 0;
        if (fixedVersion(path, &version) && holds(rung, version))
            result = rung.result;
    }
    return result;
}

HRESULT CZKDirectX::getInstalledVersion(char* name) {
    const size_t kNameSize = 255;
    if (!name)
        return E_FAIL;
    DirectXVersion version;
    if (!diagnosticDirectXVersion(&version)) {
        char system[kText];
        UINT n = GetSystemDirectoryA(system, sizeof system);
        version = fileDirectXVersion(n > 0 && n < sizeof system ? system : "");
    }
    directXName(version, name, kNameSize);
    return S_OK;
}

} // namespace zk
