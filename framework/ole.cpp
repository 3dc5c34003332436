#include "ole.h"

#include <oleauto.h>

#include "app.h"
#include "fwstring.h"

BOOL AfxOleInit() {
    // Ended at program exit, after the last dialog has let go of its objects.
    static struct OleSession {
        HRESULT hr = OleInitialize(nullptr);
        ~OleSession() {
            if (SUCCEEDED(hr)) OleUninitialize();
        }
    } session;
    return SUCCEEDED(session.hr);
}

std::string OleErrorText(SCODE sc) {
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, static_cast<DWORD>(sc), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::string out;
    if (n && text) {
        out = WideToUtf8(text, static_cast<int>(n));
        while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) out.pop_back();
    }
    if (text) LocalFree(text);
    // Where the system has no words for the common failures of creating an object.
    static const struct { SCODE sc; const char* text; } kKnown[] = {
        {CO_E_CLASSSTRING, "Invalid class string"},
        {REGDB_E_CLASSNOTREG, "Class not registered"},
        {CO_E_SERVER_EXEC_FAILURE, "Server execution failed"},
        {CO_E_NOTINITIALIZED, "CoInitialize has not been called"},
        {E_NOINTERFACE, "No such interface supported"},
        {E_OUTOFMEMORY, "Not enough memory"},
    };
    for (const auto& k : kKnown)
        if (out.empty() && k.sc == sc) out = k.text;
    if (out.empty()) out = FormatText("Automation error 0x%08X.", static_cast<unsigned>(sc));
    return out;
}

std::string COleException::GetErrorMessage() const { return OleErrorText(m_sc); }

int COleException::ReportError(UINT type) const { return AfxMessageBox(GetErrorMessage(), type); }

std::string COleDispatchException::GetErrorMessage() const {
    if (!m_strDescription.empty()) return m_strDescription;
    return OleErrorText(m_scError);
}

int COleDispatchException::ReportError(UINT type) const { return AfxMessageBox(GetErrorMessage(), type); }

// --- arguments ---------------------------------------------------------------

COleArg::COleArg() { VariantInit(&m_var); }

COleArg::COleArg(const std::string& text) : COleArg() {
    std::wstring w = Utf8ToWide(text);
    m_var.vt = VT_BSTR;
    m_var.bstrVal = SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
}

COleArg COleArg::Bool(BOOL value) {
    COleArg a;
    a.m_var.vt = VT_BOOL;
    a.m_var.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return a;
}

COleArg::COleArg(const COleArg& other) : COleArg() { VariantCopy(&m_var, const_cast<VARIANT*>(&other.m_var)); }

COleArg::~COleArg() { VariantClear(&m_var); }

// --- the driver --------------------------------------------------------------

namespace {
// Clears a VARIANT when it goes out of scope.
struct VariantHolder {
    VARIANT v;
    VariantHolder() { VariantInit(&v); }
    ~VariantHolder() { VariantClear(&v); }
};

std::string FromBstr(BSTR text) { return text ? WideToUtf8(text, static_cast<int>(SysStringLen(text))) : std::string(); }

[[noreturn]] void ThrowDispatch(DISPID id, SCODE sc, const std::string& description = std::string(),
                                const std::string& source = std::string()) {
    COleDispatchException e;
    e.m_scError = sc;
    e.m_dispid = id;
    e.m_strDescription = description;
    e.m_strSource = source;
    throw e;
}
}  // namespace

BOOL COleDispatchDriver::CreateDispatch(const std::string& progId, COleException* error) {
    ReleaseDispatch();
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(Utf8ToWide(progId).c_str(), &clsid);
    IUnknown* unknown = nullptr;
    if (SUCCEEDED(hr)) hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, reinterpret_cast<void**>(&unknown));
    // A local server may still be starting up: wait until it runs.
    if (SUCCEEDED(hr)) hr = OleRun(unknown);
    LPDISPATCH dispatch = nullptr;
    if (SUCCEEDED(hr)) hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    if (unknown) unknown->Release();
    if (FAILED(hr)) {
        if (error) error->m_sc = hr;
        return FALSE;
    }
    AttachDispatch(dispatch, TRUE);
    return TRUE;
}

void COleDispatchDriver::AttachDispatch(LPDISPATCH dispatch, BOOL autoRelease) {
    ReleaseDispatch();
    m_lpDispatch = dispatch;
    m_bAutoRelease = autoRelease;
}

LPDISPATCH COleDispatchDriver::DetachDispatch() {
    LPDISPATCH d = m_lpDispatch;
    m_lpDispatch = nullptr;
    return d;
}

void COleDispatchDriver::ReleaseDispatch() {
    if (m_lpDispatch && m_bAutoRelease) m_lpDispatch->Release();
    m_lpDispatch = nullptr;
}

void COleDispatchDriver::InvokeHelper(DISPID id, WORD flags, const std::vector<COleArg>& args, VARTYPE resultType,
                                      VARIANT* result) {
    if (!m_lpDispatch) ThrowDispatch(id, E_POINTER, "No automation object is attached.");
    // IDispatch takes the arguments last one first.
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(it->m_var);
    DISPPARAMS params = {};
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    params.cArgs = static_cast<UINT>(reversed.size());
    DISPID named = DISPID_PROPERTYPUT;
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    VariantHolder out;
    EXCEPINFO info = {};
    UINT badArg = 0;
    HRESULT hr = m_lpDispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                      result ? &out.v : nullptr, &info, &badArg);
    if (hr == DISP_E_EXCEPTION) {
        if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
        std::string description = FromBstr(info.bstrDescription), source = FromBstr(info.bstrSource);
        SCODE sc = info.scode ? info.scode : (info.wCode ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_DISPATCH, info.wCode) : hr);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrHelpFile);
        ThrowDispatch(id, sc, description, source);
    }
    if (FAILED(hr)) ThrowDispatch(id, hr);
    if (!result) return;
    VariantInit(result);
    if (resultType == VT_EMPTY) {
        hr = VariantCopy(result, &out.v);
    } else {
        hr = VariantChangeType(result, &out.v, 0, resultType);
    }
    if (FAILED(hr)) ThrowDispatch(id, hr);
}

std::string COleDispatchDriver::GetPropertyString(DISPID id) {
    VariantHolder r;
    InvokeHelper(id, DISPATCH_PROPERTYGET, {}, VT_BSTR, &r.v);
    return FromBstr(r.v.bstrVal);
}

LPDISPATCH COleDispatchDriver::GetPropertyDispatch(DISPID id) {
    VariantHolder r;
    InvokeHelper(id, DISPATCH_PROPERTYGET, {}, VT_DISPATCH, &r.v);
    LPDISPATCH d = r.v.pdispVal;
    r.v.vt = VT_EMPTY;  // the reference goes to the caller
    return d;
}

void COleDispatchDriver::SetPropertyBool(DISPID id, BOOL value) {
    InvokeHelper(id, DISPATCH_PROPERTYPUT, {COleArg::Bool(value)}, VT_EMPTY, nullptr);
}

void COleDispatchDriver::InvokeMethod(DISPID id, const std::vector<COleArg>& args) {
    InvokeHelper(id, DISPATCH_METHOD, args, VT_EMPTY, nullptr);
}

BOOL COleDispatchDriver::InvokeMethodBool(DISPID id, const std::vector<COleArg>& args) {
    VariantHolder r;
    InvokeHelper(id, DISPATCH_METHOD, args, VT_BOOL, &r.v);
    return r.v.boolVal ? TRUE : FALSE;
}

LPDISPATCH COleDispatchDriver::InvokeMethodDispatch(DISPID id, const std::vector<COleArg>& args) {
    VariantHolder r;
    InvokeHelper(id, DISPATCH_METHOD, args, VT_DISPATCH, &r.v);
    LPDISPATCH d = r.v.pdispVal;
    r.v.vt = VT_EMPTY;
    return d;
}
