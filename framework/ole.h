#pragma once
// OLE automation: start-up of the COM libraries and a driver that calls an
// automation object through IDispatch by DISPID. Texts are UTF-8 here and BSTR
// on the wire; booleans are BOOL here and VARIANT_BOOL on the wire.
#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

// Initialises OLE for this thread once; it is ended when the program ends.
BOOL AfxOleInit();

// The error record of a failed creation: the status code and its text.
class COleException {
public:
    SCODE m_sc = S_OK;
    std::string GetErrorMessage() const;
    // The standard automation error box (the application's title as caption).
    int ReportError(UINT type = MB_OK | MB_ICONEXCLAMATION) const;
};

// A failed call on an automation object, with what the object said about it.
class COleDispatchException {
public:
    SCODE m_scError = S_OK;
    DISPID m_dispid = 0;
    std::string m_strSource, m_strDescription;
    std::string GetErrorMessage() const;
    int ReportError(UINT type = MB_OK | MB_ICONEXCLAMATION) const;
};

// Text of a status code as the system words it, or "Automation error 0x........".
std::string OleErrorText(SCODE sc);

// One argument of a call.
class COleArg {
public:
    COleArg(const std::string& text);  // BSTR
    COleArg(const char* text) : COleArg(std::string(text)) {}
    static COleArg Bool(BOOL value);   // VARIANT_BOOL
    COleArg(const COleArg& other);
    COleArg& operator=(const COleArg&) = delete;
    ~COleArg();
    VARIANT m_var;

private:
    COleArg();
};

class COleDispatchDriver {
public:
    COleDispatchDriver() = default;
    explicit COleDispatchDriver(LPDISPATCH dispatch, BOOL autoRelease = TRUE)
        : m_lpDispatch(dispatch), m_bAutoRelease(autoRelease) {}
    virtual ~COleDispatchDriver() { ReleaseDispatch(); }
    COleDispatchDriver(const COleDispatchDriver&) = delete;
    COleDispatchDriver& operator=(const COleDispatchDriver&) = delete;

    // Creates the object registered under the ProgID (in-process or local server);
    // on failure the status code goes into error (when given) and the result is FALSE.
    BOOL CreateDispatch(const std::string& progId, COleException* error = nullptr);
    void AttachDispatch(LPDISPATCH dispatch, BOOL autoRelease = TRUE);
    // Lets go of the object without releasing it.
    LPDISPATCH DetachDispatch();
    // Releases the object (when it is ours to release) and lets go of it.
    void ReleaseDispatch();

    // Typed calls; a failure throws COleDispatchException.
    std::string GetPropertyString(DISPID id);
    LPDISPATCH GetPropertyDispatch(DISPID id);  // the caller owns the reference
    void SetPropertyBool(DISPID id, BOOL value);
    void InvokeMethod(DISPID id, const std::vector<COleArg>& args = {});
    BOOL InvokeMethodBool(DISPID id, const std::vector<COleArg>& args = {});
    LPDISPATCH InvokeMethodDispatch(DISPID id, const std::vector<COleArg>& args = {});  // caller owns it

    // The general call: flags is DISPATCH_METHOD, DISPATCH_PROPERTYGET or
    // DISPATCH_PROPERTYPUT; args in the order of the member's parameters; the
    // result, when asked for, is converted to resultType (VT_EMPTY: no conversion).
    void InvokeHelper(DISPID id, WORD flags, const std::vector<COleArg>& args, VARTYPE resultType, VARIANT* result);

    LPDISPATCH m_lpDispatch = nullptr;
    BOOL m_bAutoRelease = TRUE;
};
