// The automation driver against a small object of the test's own.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ole.h"

namespace {

// Records each call; answers with the result it is given.
class CRecorder : public IDispatch {
public:
    LONG refs = 1;
    DISPID lastId = 0;
    WORD lastFlags = 0;
    std::vector<VARTYPE> argTypes;
    std::vector<std::wstring> texts;  // string arguments, in parameter order
    UINT named = 0;
    DISPID namedId = 0;
    VARIANT answer{};
    HRESULT fail = S_OK;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* p, VARIANT* result,
                                     EXCEPINFO* info, UINT*) override {
        lastId = id;
        lastFlags = flags;
        argTypes.clear();
        texts.clear();
        for (UINT i = p->cArgs; i > 0; --i) {
            const VARIANT& v = p->rgvarg[i - 1];
            argTypes.push_back(v.vt);
            if (v.vt == VT_BSTR) texts.emplace_back(v.bstrVal, SysStringLen(v.bstrVal));
        }
        named = p->cNamedArgs;
        namedId = named ? p->rgdispidNamedArgs[0] : 0;
        if (fail == DISP_E_EXCEPTION) {
            info->scode = E_FAIL;
            info->bstrDescription = SysAllocString(L"Das Objekt lehnt ab \u00e4");
            return fail;
        }
        if (FAILED(fail)) return fail;
        if (result) VariantCopy(result, &answer);
        return S_OK;
    }
};

TEST(OleDispatchDriver, PassesArgumentsInOrderAndConvertsResults) {
    CRecorder obj;
    COleDispatchDriver d;
    d.AttachDispatch(&obj, FALSE);

    d.InvokeMethod(0x60020045, {std::string("C:\\f\u00fcr\\a.xslt"), COleArg::Bool(TRUE)});
    EXPECT_EQ(obj.lastFlags, DISPATCH_METHOD);
    EXPECT_EQ(obj.argTypes, (std::vector<VARTYPE>{VT_BSTR, VT_BOOL}));
    EXPECT_EQ(obj.texts, std::vector<std::wstring>{L"C:\\f\u00fcr\\a.xslt"});

    d.SetPropertyBool(0x60020002, TRUE);
    EXPECT_EQ(obj.lastFlags, DISPATCH_PROPERTYPUT);
    EXPECT_EQ(obj.named, 1u);
    EXPECT_EQ(obj.namedId, DISPID_PROPERTYPUT);

    // A number where a flag is expected still reads as one.
    obj.answer.vt = VT_I4;
    obj.answer.lVal = 7;
    EXPECT_TRUE(d.InvokeMethodBool(0x60020051));
    obj.answer.lVal = 0;
    EXPECT_FALSE(d.InvokeMethodBool(0x60020051));

    obj.answer.vt = VT_BSTR;
    obj.answer.bstrVal = SysAllocString(L"C:\\GMS\\\u5b8f\\");
    EXPECT_EQ(d.GetPropertyString(0x60020000), "C:\\GMS\\\u5b8f\\");
    EXPECT_EQ(obj.lastFlags, DISPATCH_PROPERTYGET);
    VariantClear(&obj.answer);
    d.DetachDispatch();
}

TEST(OleDispatchDriver, FailuresThrowWithTheObjectsWords) {
    CRecorder obj;
    COleDispatchDriver d(&obj, FALSE);
    obj.fail = DISP_E_EXCEPTION;
    try {
        d.InvokeMethod(0x6002000E);
        ADD_FAILURE() << "no exception";
    } catch (const COleDispatchException& e) {
        EXPECT_EQ(e.m_dispid, 0x6002000E);
        EXPECT_EQ(e.m_scError, E_FAIL);
        EXPECT_EQ(e.GetErrorMessage(), "Das Objekt lehnt ab \u00e4");
    }
    obj.fail = DISP_E_MEMBERNOTFOUND;
    EXPECT_THROW(d.GetPropertyString(1), COleDispatchException);
    // A text where an object is expected is no object.
    obj.fail = S_OK;
    obj.answer.vt = VT_BSTR;
    obj.answer.bstrVal = SysAllocString(L"x");
    EXPECT_THROW(d.GetPropertyDispatch(2), COleDispatchException);
    VariantClear(&obj.answer);
    d.DetachDispatch();

    COleDispatchDriver empty;
    EXPECT_THROW(empty.InvokeMethod(1), COleDispatchException);
}

TEST(OleDispatchDriver, ReleasesOnlyWhatItOwns) {
    CRecorder obj;
    {
        COleDispatchDriver owner(&obj, TRUE);
        obj.AddRef();
    }
    EXPECT_EQ(obj.refs, 1) << "released at the end";
    {
        COleDispatchDriver d(&obj, TRUE);
        EXPECT_EQ(d.DetachDispatch(), &obj);
    }
    EXPECT_EQ(obj.refs, 1) << "a detached object is not released";
}

TEST(OleDispatchDriver, CreatingAnUnknownProgIdRecordsTheError) {
    ASSERT_TRUE(AfxOleInit());
    COleDispatchDriver d;
    COleException error;
    EXPECT_FALSE(d.CreateDispatch("No.Such.Program.1", &error));
    EXPECT_EQ(error.m_sc, CO_E_CLASSSTRING);
    EXPECT_EQ(error.GetErrorMessage(), "Invalid class string");
    EXPECT_EQ(d.m_lpDispatch, nullptr);
}

}  // namespace
