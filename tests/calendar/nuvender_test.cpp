// The control as a container or script sees it: IDispatch, Change events,
// persistence and the class factory.
#include "control_support.h"
#include "message_box_answerer.h"
#include "proc_address.h"

#include <gtest/gtest.h>
#include <olectl.h>

#include <map>

namespace nuv::test {
namespace {

using namespace std::chrono_literals;
using velmi::test::MessageBoxAnswerer;

class ControlTest : public ::testing::Test {
protected:
    ComPtr<IDispatch> control = CreateControl();
    ChangeSink sink{control.Get()};
    void SetUp() override { sink.Advise(); }
    void TearDown() override { sink.Unadvise(); }
};

TEST_F(ControlTest, StartsWithoutADate) {
    EXPECT_EQ(GetText(control.Get()), L"");
}

TEST_F(ControlTest, PutOfAnotherFormRaisesTwiceWithTheCanonicalText) {
    PutText(control.Get(), L"March  1,  2000");
    EXPECT_EQ(sink.texts, std::vector<std::wstring>{L"March  1,  2000"});  // already canonical
    sink.Clear();

    PutText(control.Get(), L"11-15-1999");
    EXPECT_EQ(sink.texts,
              (std::vector<std::wstring>{L"November  15,  1999", L"November  15,  1999"}));
    sink.Clear();
    PutText(control.Get(), L"November  15,  1999");  // what it holds: nothing happens
    EXPECT_EQ(sink.Count(), 0u);
}

TEST_F(ControlTest, BlanksEmptyTheTextAndRaiseOnce) {
    PutText(control.Get(), L"11-15-1999");
    sink.Clear();
    PutText(control.Get(), L"   ");
    EXPECT_EQ(sink.texts, std::vector<std::wstring>{L""});
    sink.Clear();
    PutText(control.Get(), L"");
    EXPECT_EQ(sink.Count(), 0u);
}

TEST_F(ControlTest, ANonDateIsRefusedWithAMessage) {
    PutText(control.Get(), L"11-15-1999");
    sink.Clear();
    MessageBoxAnswerer answerer;
    PutText(control.Get(), L"tomorrow");
    ASSERT_TRUE(answerer.WaitForCount(1, 5s));
    const auto box = answerer.Seen().at(0);
    EXPECT_EQ(box.text, L"Invalid date");
    EXPECT_EQ(box.title, L"Ruviruve");
    EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_FALSE(box.hasIcon);
    EXPECT_EQ(GetText(control.Get()), L"November  15,  1999");
    EXPECT_EQ(sink.Count(), 0u);
}

TEST_F(ControlTest, PutDateRaisesOnceAndNothingForTheShownDate) {
    PutDate(control.Get(), Date(2001, 3, 7) + 0.75);  // the time of day is ignored
    EXPECT_EQ(sink.texts, std::vector<std::wstring>{L"March  7,  2001"});
    sink.Clear();
    PutDate(control.Get(), Date(2001, 3, 7));
    EXPECT_EQ(sink.Count(), 0u);
    PutDate(control.Get(), -1.25);  // 29 December 1899, 6 a.m.
    EXPECT_EQ(sink.texts, std::vector<std::wstring>{L"December  29,  1899"});
}

TEST_F(ControlTest, PutDateRefusesValuesThatNameNoDay) {
    PutDate(control.Get(), Date(2001, 3, 7));
    for (double bad : {1e300, -1e300, 2958466.0, -657435.0}) {
        DATE value = bad;
        VARIANT arg;
        arg.vt = VT_DATE | VT_BYREF;
        arg.pdate = &value;
        DISPPARAMS params{&arg, nullptr, 1, 0};
        EXCEPINFO exception{};
        EXPECT_EQ(control->Invoke(kPutDateDispId, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                                  &exception, nullptr),
                  DISP_E_EXCEPTION);
        EXPECT_EQ(exception.scode, E_INVALIDARG);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
    }
    EXPECT_EQ(GetText(control.Get()), L"March  7,  2001");
}

TEST_F(ControlTest, EverySinkHearsAndMayLeaveDuringTheEvent) {
    ChangeSink second(control.Get()), third(control.Get());
    second.Advise();
    third.Advise();
    // The first sink to hear of the change takes the third one off the list,
    // and the second one takes itself off.
    sink.onChange = [&] { third.Unadvise(); };
    second.onChange = [&] { second.Unadvise(); };
    PutText(control.Get(), L"March  1,  2000");
    EXPECT_EQ(sink.Count(), 1u);
    EXPECT_EQ(second.Count(), 1u);
    EXPECT_EQ(third.Count(), 0u);
    sink.onChange = nullptr;
    PutText(control.Get(), L"March  2,  2000");
    EXPECT_EQ(sink.Count(), 2u);
    EXPECT_EQ(second.Count(), 1u);
}

TEST_F(ControlTest, ConnectionPointsCanBeListed) {
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(control.As(&container), S_OK);
    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(container->EnumConnectionPoints(&points), S_OK);
    IConnectionPoint* point = nullptr;
    ULONG fetched = 0;
    ASSERT_EQ(points->Next(1, &point, &fetched), S_OK);
    IID iid{};
    EXPECT_EQ(point->GetConnectionInterface(&iid), S_OK);
    EXPECT_EQ(iid, DIID___Nuvender);
    point->Release();
    EXPECT_EQ(points->Next(1, &point, &fetched), S_FALSE);
    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(ComPtr<IConnectionPoint>().Get(), nullptr);
    ComPtr<IConnectionPoint> found;
    ASSERT_EQ(container->FindConnectionPoint(DIID___Nuvender, &found), S_OK);
    ASSERT_EQ(found->EnumConnections(&connections), S_OK);
    CONNECTDATA data{};
    ASSERT_EQ(connections->Next(1, &data, &fetched), S_OK);
    EXPECT_EQ(data.dwCookie, sink.cookie);
    data.pUnk->Release();
    EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, &found), CONNECT_E_NOCONNECTION);
}

// The dispatch interface checks what callers send before anything runs.
TEST_F(ControlTest, BadCallsFailAndLeaveTheControlWorking) {
    VARIANT result;
    VariantInit(&result);
    VARIANT arg;
    arg.vt = VT_BSTR;
    arg.bstrVal = SysAllocString(L"March  1,  2000");
    DISPID named = DISPID_PROPERTYPUT;
    auto call = [&](DISPID id, WORD flags, DISPPARAMS* p, VARIANT* r = nullptr) {
        return control->Invoke(id, IID_NULL, 0, flags, p, r, nullptr, nullptr);
    };
    DISPPARAMS none{};
    DISPPARAMS putNoName{&arg, nullptr, 1, 0};
    DISPPARAMS oneArgGet{&arg, nullptr, 1, 0};
    DISPPARAMS nullArgs{nullptr, nullptr, 2, 0};
    DISPPARAMS nullNames{&arg, nullptr, 1, 1};
    DISPPARAMS tooManyNames{&arg, &named, 0, 1};
    EXPECT_EQ(call(kTextDispId, DISPATCH_PROPERTYGET, nullptr, &result), E_POINTER);
    EXPECT_EQ(call(kTextDispId, DISPATCH_PROPERTYGET, &nullArgs, &result), E_INVALIDARG);
    EXPECT_EQ(call(kTextDispId, DISPATCH_PROPERTYPUT, &nullNames), E_INVALIDARG);
    EXPECT_EQ(call(kTextDispId, DISPATCH_PROPERTYPUT, &tooManyNames), E_INVALIDARG);
    EXPECT_EQ(call(0x1234, DISPATCH_METHOD, &none), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(call(kPutDateDispId, DISPATCH_METHOD, &none), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(call(kTextDispId, DISPATCH_PROPERTYPUT, &putNoName), DISP_E_PARAMNOTFOUND);
    VARIANT twoArgs[2] = {arg, arg};
    DISPPARAMS tooMany{twoArgs, nullptr, 2, 0};
    EXPECT_EQ(call(kPutDateDispId, DISPATCH_METHOD, &tooMany), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(call(kTextDispId, DISPATCH_PROPERTYGET, &oneArgGet, &result), DISP_E_BADPARAMCOUNT);
    VARIANT unknown;
    unknown.vt = VT_UNKNOWN;
    unknown.punkVal = nullptr;
    DISPPARAMS wrongType{&unknown, nullptr, 1, 0};
    EXPECT_EQ(call(kPutDateDispId, DISPATCH_METHOD, &wrongType), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(control->Invoke(kTextDispId, IID_IDispatch, 0, DISPATCH_PROPERTYGET, &none, &result,
                              nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
    EXPECT_EQ(control->GetTypeInfoCount(nullptr), E_POINTER);
    EXPECT_EQ(control->GetTypeInfo(0, 0, nullptr), E_POINTER);
    ITypeInfo* info = nullptr;
    EXPECT_EQ(control->GetTypeInfo(1, 0, &info), DISP_E_BADINDEX);
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, nullptr, 1, 0, nullptr), E_POINTER);

    // Still answers, and a put through a good call works.
    DISPPARAMS put{&arg, &named, 1, 1};
    EXPECT_EQ(call(kTextDispId, DISPATCH_PROPERTYPUT, &put), S_OK);
    EXPECT_EQ(GetText(control.Get()), L"March  1,  2000");
    VariantClear(&arg);

    LPOLESTR names[] = {const_cast<LPOLESTR>(L"putdate"), const_cast<LPOLESTR>(L"text")};
    DISPID ids[2] = {};
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, names, 1, 0, ids), S_OK);
    EXPECT_EQ(ids[0], kPutDateDispId);
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, names + 1, 1, 0, ids), S_OK);
    EXPECT_EQ(ids[0], kTextDispId);
}

TEST_F(ControlTest, DescribesItsClassAndEvents) {
    ComPtr<IProvideClassInfo2> info;
    ASSERT_EQ(control.As(&info), S_OK);
    GUID source{};
    EXPECT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    EXPECT_EQ(source, DIID___Nuvender);
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(info->GetClassInfo(&coclass), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->guid, CLSID_Nuvender);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCONTROL);
    coclass->ReleaseTypeAttr(attr);

    ComPtr<IOleObject> ole;
    ASSERT_EQ(control.As(&ole), S_OK);
    DWORD status = 0;
    EXPECT_EQ(ole->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 0x20191u);
    SIZEL extent{};
    EXPECT_EQ(ole->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    EXPECT_EQ(extent.cx, MulDiv(2790, 2540, 1440));
    EXPECT_EQ(extent.cy, MulDiv(3855, 2540, 1440));
}

// A property bag that matches names without regard to case, as containers' bags do.
class Bag final : public IPropertyBag {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        *out = (riid == IID_IUnknown || riid == IID_IPropertyBag) ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
        for (auto& [key, text] : entries) {
            if (_wcsicmp(key.c_str(), name) == 0) {
                value->vt = VT_BSTR;
                value->bstrVal = SysAllocString(text.c_str());
                return S_OK;
            }
        }
        return E_INVALIDARG;
    }
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override {
        if (value->vt != VT_BSTR) return E_INVALIDARG;
        entries[name] = value->bstrVal ? value->bstrVal : L"";
        return S_OK;
    }
    std::map<std::wstring, std::wstring> entries;
};

TEST_F(ControlTest, PropertyBagLoadAndSave) {
    ComPtr<IPersistPropertyBag> persist;
    ASSERT_EQ(control.As(&persist), S_OK);

    Bag lowerCase;
    lowerCase.entries[L"text"] = L"11-15-1999";
    ASSERT_EQ(persist->Load(&lowerCase, nullptr), S_OK);
    EXPECT_EQ(sink.texts,
              (std::vector<std::wstring>{L"November  15,  1999", L"November  15,  1999"}));

    Bag saved;
    ASSERT_EQ(persist->Save(&saved, TRUE, TRUE), S_OK);
    EXPECT_EQ(saved.entries[L"Text"], L"November  15,  1999");

    // Whatever the bag holds goes into the date box unchecked and unannounced.
    MessageBoxAnswerer answerer;
    sink.Clear();
    Bag notADate;
    notADate.entries[L"Text"] = L"tomorrow";
    ASSERT_EQ(persist->Load(&notADate, nullptr), S_OK);
    EXPECT_EQ(GetText(control.Get()), L"tomorrow");
    EXPECT_EQ(sink.Count(), 1u);
    EXPECT_TRUE(answerer.Seen().empty());
}

TEST(ControlPersistence, AStoredEmptyTextKeepsTheDesignState) {
    ComPtr<IDispatch> control = CreateControl();
    ComPtr<IPersistPropertyBag> persist;
    ASSERT_EQ(control.As(&persist), S_OK);
    Bag empty;
    empty.entries[L"text"] = L"";
    ASSERT_EQ(persist->Load(&empty, nullptr), S_OK);
    EXPECT_EQ(GetText(control.Get()), L"");
}

TEST(ControlPersistence, ABagWithoutTheKeyGivesToday) {
    ComPtr<IDispatch> control = CreateControl();
    ChangeSink sink(control.Get());
    sink.Advise();
    ComPtr<IPersistPropertyBag> persist;
    ASSERT_EQ(control.As(&persist), S_OK);
    Bag none;
    ASSERT_EQ(persist->Load(&none, nullptr), S_OK);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t month[40] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &now, L"MMMM", month, 40, nullptr);
    const std::wstring today = std::wstring(month) + L"  " + std::to_wstring(now.wDay) + L",  " +
                               std::to_wstring(now.wYear);
    EXPECT_EQ(sink.texts, (std::vector<std::wstring>{today, today}));  // short form, then canonical
    sink.Unadvise();
}

TEST(ControlPersistence, StreamRoundTrip) {
    ComPtr<IDispatch> first = CreateControl();
    PutText(first.Get(), L"March  1,  2000");
    ComPtr<IPersistStreamInit> save;
    ASSERT_EQ(first.As(&save), S_OK);
    EXPECT_EQ(save->IsDirty(), S_OK);
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    ASSERT_EQ(save->Save(stream.Get(), TRUE), S_OK);
    EXPECT_EQ(save->IsDirty(), S_FALSE);

    ComPtr<IDispatch> second = CreateControl();
    ComPtr<IPersistStreamInit> load;
    ASSERT_EQ(second.As(&load), S_OK);
    ASSERT_EQ(stream->Seek({}, STREAM_SEEK_SET, nullptr), S_OK);
    ASSERT_EQ(load->Load(stream.Get()), S_OK);
    EXPECT_EQ(GetText(second.Get()), L"March  1,  2000");
}

TEST(ClassFactory, ServesOnlyTheCalendarAndCountsWhatLives) {
    HMODULE library = LoadLibraryW((BinDirectory() + L"Nuv.ocx").c_str());
    ASSERT_NE(library, nullptr);
    auto getClass = velmi::test::ProcAddress<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
        library, "DllGetClassObject");
    auto canUnload = velmi::test::ProcAddress<HRESULT(WINAPI*)()>(library, "DllCanUnloadNow");
    ASSERT_TRUE(getClass && canUnload);

    ComPtr<IClassFactory> factory;
    EXPECT_EQ(getClass(IID_IDispatch, IID_PPV_ARGS(&factory)), CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(getClass(CLSID_Nuvender, IID_PPV_ARGS(&factory)), S_OK);
    ComPtr<IDispatch> control;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&control)), S_OK);
    ComPtr<IUnknown> outer;
    EXPECT_EQ(factory->CreateInstance(control.Get(), IID_PPV_ARGS(&outer)), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(canUnload(), S_FALSE);  // an instance lives
    control.Reset();
    factory.Reset();
    EXPECT_EQ(canUnload(), S_OK);
    ASSERT_EQ(getClass(CLSID_Nuvender, IID_PPV_ARGS(&factory)), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&control)), S_OK);
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    factory.Reset();
    EXPECT_EQ(canUnload(), S_FALSE);
    control.Reset();
    EXPECT_EQ(canUnload(), S_FALSE);  // still locked
    ComPtr<IClassFactory> again;
    ASSERT_EQ(getClass(CLSID_Nuvender, IID_PPV_ARGS(&again)), S_OK);
    ASSERT_EQ(again->LockServer(FALSE), S_OK);
    again.Reset();
    CoFreeUnusedLibraries();
    EXPECT_EQ(canUnload(), S_OK);
    FreeLibrary(library);
}

}  // namespace
}  // namespace nuv::test
