// A stand-in for the drawing program's automation server, for tests only: an
// in-process COM server registered under the twelve version ProgIDs. Each
// application object answers the members Lumbrel uses; what they return comes
// from the environment of the process that loads it:
//   KM_DRAW_FOLDER  the settings folder property (text as returned)
//   KM_DRAW_VBA     "0": VBA is missing, otherwise present
//   KM_DRAW_GMS     the GMS folder text (unset or empty: empty)
//   KM_DRAW_FAIL    a DISPID in hex whose call fails with an exception
//   KM_DRAW_LOG     the file every call is appended to, one line each:
//                   "<object> <kind> <DISPID> <arguments>", plus "create <ProgID>"
//                   and "release <object>" when the last reference goes.
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <olectl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

HMODULE g_module = nullptr;

const wchar_t* const kProgIds[12] = {
    L"coreldraw.Application.11", L"coreldraw.Application.12", L"coreldraw.Application.13",
    L"coreldraw.Application.14", L"coreldraw.Application.15", L"coreldraw.Application.16",
    L"coreldraw.Application.16.1", L"coreldraw.Application.17", L"coreldraw.Application.18",
    L"CorelDRAW.Application.19", L"coreldraw.Application.20", L"coreldraw.Application.21"};

// One class per version: the base GUID with the version's row in the last byte.
CLSID ClassOf(int row) {
    CLSID c = {0x6B4D7E10, 0x3C2A, 0x4F5B, {0x9A, 0x71, 0x0C, 0x5E, 0x2D, 0x8B, 0x40, 0x00}};
    c.Data4[7] = static_cast<unsigned char>(row);
    return c;
}

std::wstring Env(const wchar_t* name) {
    wchar_t buf[1024] = {};
    DWORD n = GetEnvironmentVariableW(name, buf, 1024);
    return n && n < 1024 ? std::wstring(buf, n) : std::wstring();
}

std::string Utf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

void Log(const std::string& line) {
    std::wstring path = Env(L"KM_DRAW_LOG");
    if (path.empty()) return;
    HANDLE f = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    std::string text = line + "\r\n";
    DWORD put = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
    CloseHandle(f);
}

std::string Hex(DISPID id) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08lX", static_cast<unsigned long>(id));
    return buf;
}

const char* KindOf(WORD flags) {
    if (flags & DISPATCH_PROPERTYPUT) return "put";
    if (flags == DISPATCH_PROPERTYGET) return "get";
    if (flags & DISPATCH_METHOD) return "method";
    return "get";
}

std::string ArgText(const VARIANT& v) {
    switch (v.vt) {
    case VT_BSTR: return "\"" + Utf8(v.bstrVal ? std::wstring(v.bstrVal, SysStringLen(v.bstrVal)) : std::wstring()) + "\"";
    case VT_BOOL: return v.boolVal ? "TRUE" : "FALSE";
    default: return "vt" + std::to_string(v.vt);
    }
}

// What a member takes and gives.
enum class Result { None, Text, Bool, Object };
struct Member {
    DISPID id;
    const char* kind;   // "get", "put", "method"
    VARTYPE arg;        // VT_EMPTY: no argument
    Result result;
};

// The members of the three kinds of object.
const Member kApp[] = {{0x6002006B, "get", VT_EMPTY, Result::Text},  {0x60020051, "method", VT_EMPTY, Result::Bool},
                       {0x60020045, "method", VT_BSTR, Result::None}, {0x60020044, "get", VT_EMPTY, Result::Object},
                       {0x6002000E, "method", VT_EMPTY, Result::None}};
const Member kApp11[] = {{0x6002005F, "method", VT_EMPTY, Result::Bool},  {0x60020002, "put", VT_BOOL, Result::None},
                         {0x6002001F, "method", VT_EMPTY, Result::Object}, {0x6002004F, "method", VT_BSTR, Result::None},
                         {0x6002004E, "get", VT_EMPTY, Result::Object},    {0x60020011, "method", VT_EMPTY, Result::None}};
const Member kGms[] = {{0x60020000, "get", VT_EMPTY, Result::Text}};

// Reference counting and QueryInterface for one interface I (with its IID).
template <class I>
class CUnknown : public I {
public:
    explicit CUnknown(const IID& iid) : iid_(iid) {}
    virtual ~CUnknown() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, iid_)) {
            *out = static_cast<I*>(this);
            this->AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) {
            LastRelease();
            delete this;
        }
        return static_cast<ULONG>(n);
    }

protected:
    virtual void LastRelease() {}

private:
    LONG refs_ = 1;
    const IID& iid_;
};

class CObject : public CUnknown<IDispatch> {
public:
    CObject(std::string name, const Member* members, size_t count)
        : CUnknown<IDispatch>(IID_IDispatch), name_(std::move(name)), members_(members, members + count) {}
    void LastRelease() override { Log("release " + name_); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        if (n) *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT*) override {
        std::string line = name_ + " " + KindOf(flags) + " " + Hex(id);
        UINT n = params ? params->cArgs : 0;
        for (UINT i = n; i > 0; --i) line += " " + ArgText(params->rgvarg[i - 1]);
        Log(line);

        const Member* m = nullptr;
        for (const Member& each : members_)
            if (each.id == id) m = &each;
        if (!m || std::string(m->kind) != KindOf(flags)) return DISP_E_MEMBERNOTFOUND;
        UINT want = m->arg == VT_EMPTY ? 0 : 1;
        if (n != want) return DISP_E_BADPARAMCOUNT;
        if (want && params->rgvarg[0].vt != m->arg) return DISP_E_TYPEMISMATCH;
        std::string hex = Hex(id);
        if (Env(L"KM_DRAW_FAIL") == std::wstring(hex.begin(), hex.end()))
            return Fail(info, L"The stand-in was told to fail this call.");
        // A file to load must be there, as for the real program.
        if (m->arg == VT_BSTR && GetFileAttributesW(params->rgvarg[0].bstrVal) == INVALID_FILE_ATTRIBUTES)
            return Fail(info, L"The file to load does not exist.");

        if (!result) return m->result == Result::None ? S_OK : DISP_E_PARAMNOTOPTIONAL;
        VariantInit(result);
        switch (m->result) {
        case Result::None: break;
        case Result::Text: {
            std::wstring text = Env(id == 0x60020000 ? L"KM_DRAW_GMS" : L"KM_DRAW_FOLDER");
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
            break;
        }
        case Result::Bool:
            result->vt = VT_BOOL;
            result->boolVal = Env(L"KM_DRAW_VBA") == L"0" ? VARIANT_FALSE : VARIANT_TRUE;
            break;
        case Result::Object:
            result->vt = VT_DISPATCH;
            result->pdispVal = id == 0x6002001F ? new CObject("doc", nullptr, 0) : new CObject("gms", kGms, 1);
            break;
        }
        return S_OK;
    }

private:
    static HRESULT Fail(EXCEPINFO* info, const wchar_t* text) {
        if (info) {
            *info = EXCEPINFO();
            info->scode = E_FAIL;
            info->bstrSource = SysAllocString(L"Drawing program stand-in");
            info->bstrDescription = SysAllocString(text);
        }
        return DISP_E_EXCEPTION;
    }
    std::string name_;
    std::vector<Member> members_;
};

class CFactory : public CUnknown<IClassFactory> {
public:
    explicit CFactory(int row) : CUnknown<IClassFactory>(IID_IClassFactory), row_(row) {}
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        Log("create " + Utf8(kProgIds[row_]));
        CObject* app = row_ == 0 ? new CObject("app11", kApp11, sizeof kApp11 / sizeof kApp11[0])
                                 : new CObject("app", kApp, sizeof kApp / sizeof kApp[0]);
        HRESULT hr = app->QueryInterface(iid, out);
        app->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    int row_;
};

std::wstring GuidText(const CLSID& c) {
    wchar_t buf[64] = {};
    StringFromGUID2(c, buf, 64);
    return buf;
}

bool SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY k;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS)
        return false;
    LONG r = RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(k);
    return r == ERROR_SUCCESS;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = module;
    return TRUE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    for (int row = 0; row < 12; ++row) {
        if (IsEqualCLSID(clsid, ClassOf(row))) {
            CFactory* f = new CFactory(row);
            HRESULT hr = f->QueryInterface(iid, out);
            f->Release();
            return hr;
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() { return S_FALSE; }

__declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(g_module, path, MAX_PATH);
    for (int row = 0; row < 12; ++row) {
        std::wstring clsid = GuidText(ClassOf(row));
        bool ok = SetValue(kProgIds[row], nullptr, L"Drawing program stand-in") &&
                  SetValue(std::wstring(kProgIds[row]) + L"\\CLSID", nullptr, clsid) &&
                  SetValue(L"CLSID\\" + clsid, nullptr, L"Drawing program stand-in") &&
                  SetValue(L"CLSID\\" + clsid + L"\\ProgID", nullptr, kProgIds[row]) &&
                  SetValue(L"CLSID\\" + clsid + L"\\InprocServer32", nullptr, path) &&
                  SetValue(L"CLSID\\" + clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
        if (!ok) return SELFREG_E_CLASS;
    }
    return S_OK;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
    for (int row = 0; row < 12; ++row) {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgIds[row]);
        RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + GuidText(ClassOf(row))).c_str());
    }
    return S_OK;
}

}  // extern "C"
