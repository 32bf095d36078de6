// Hostile but well-formed callers: random IDispatch::Invoke calls and random
// property bags and streams, on a bare control and on one hosted in place.
// Nothing may crash; memory, handles and window objects must not grow; every
// object handed to the control must be released; and afterwards the control
// must work as usual.
//
// Every run is seeded and prints its seed; VELMI_FUZZ_SEED repeats a run.
// VELMI_INVOKE_CALLS sets the number of calls (100,000; a twentieth as many
// loads and saves), VELMI_INVOKE_REFUSALS the most puts of texts that are no
// date (250, each a message box to answer), and VELMI_INVOKE_TRACE=1 prints
// every call before it is made.
#include "control_support.h"
#include "message_box_answerer.h"
#include "proc_address.h"
#include "resource_usage.h"

#include <gtest/gtest.h>
#include <olectl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace nuv::test {
namespace {

using namespace std::chrono_literals;
using velmi::test::MeasureResources;
using velmi::test::MessageBoxAnswerer;
using velmi::test::ResourceUsage;

std::uint64_t EnvNumber(const wchar_t* name, std::uint64_t fallback) {
    wchar_t value[32] = {};
    if (!GetEnvironmentVariableW(name, value, 32)) return fallback;
    return std::wcstoull(value, nullptr, 0);
}

// What is being done right now, for the report of a crash.
std::string g_current;
bool g_trace = false;

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* e) {
    std::fprintf(stderr, "\nCRASH (exception 0x%08lx at %p) during:\n%s\n",
                 e->ExceptionRecord->ExceptionCode, e->ExceptionRecord->ExceptionAddress,
                 g_current.c_str());
    std::fflush(stderr);
    return EXCEPTION_CONTINUE_SEARCH;
}

class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}
    std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(engine_() % n); }
    bool Chance(std::uint32_t percent) { return Below(100) < percent; }
    std::uint64_t Bits() { return engine_(); }
    template <typename T, std::size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(N)];
    }

private:
    std::mt19937_64 engine_;
};

// An object handed to the control inside arguments and bag values. Its
// default member answers what the platform asks when it converts it.
class Probe final : public OnStack<IDispatch> {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        if (id != DISPID_VALUE) return DISP_E_MEMBERNOTFOUND;
        const unsigned answer = calls_++ % 5;
        if (answer == 4) return E_FAIL;
        if (!result) return S_OK;
        VariantInit(result);
        if (answer == 0 || answer == 1) {
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocString(answer == 0 ? L"March  1,  2000" : L"  ");
        } else if (answer == 2) {
            result->vt = VT_DATE;
            result->date = 36600.5;
        }
        return S_OK;
    }

private:
    unsigned calls_ = 0;
};

class ErrorLog final : public OnStack<IErrorLog> {
public:
    STDMETHODIMP AddError(LPCOLESTR, EXCEPINFO*) override { return S_OK; }
};

// ---- Arguments --------------------------------------------------------------

// Where a VT_BYREF argument points: storage for any one value, freed after
// the call as whatever it then holds, since an [in, out] callee may replace it.
union Pointee {
    VARIANT variant;
    BSTR bstr;
    IUnknown* unknown;
    SAFEARRAY* array;
    DECIMAL decimal;
    unsigned char raw[32];
};

// Payload for types that a VARIANT may not carry: a pointer that is valid,
// with zeros before it (a length prefix of 0) and after it.
alignas(16) unsigned char g_zeros[512];
void* SafePointer() {
    return g_zeros + 64;
}

// Wine 8's text shaping crashes the process when an edit box shows one of
// these (spacing modifier letters such as U+02BB and U+02C8, and Lao marks)
// in the default GUI font; the hosted control's date box would show them.
// That is the platform's fault, not the control's, so random text avoids them.
wchar_t ShownByWine(wchar_t c) {
    return (c >= 0x02B0 && c <= 0x02FF) || (c >= 0x0EB0 && c <= 0x0ECF) ? L'?' : c;
}

const wchar_t* const kDates[] = {L"11-15-1999",        L"March  1,  2000",   L"November  5,  1999",
                                 L"February 28, 2001", L"12/31/9999",        L"1/1/100",
                                 L"January 01, 100",   L"December 31, 9999", L"  3-7-2001  "};
const wchar_t* const kNoDates[] = {
    L"tomorrow",    L"February 30, 2001", L"Label3 01, Year", L"13-13-2001", L"1/1/99999",
    L"{*07:45PM*}", L"\u00e9t\u00e9",     L"\xD800",          L"31/31/31"};

class Generator {
public:
    explicit Generator(Random& random, Probe& probe) : r_(random), probe_(probe) {}

    // Texts that are no date end in the "Invalid date" box when they reach a
    // put; those stay rare so that the boxes do not dominate the run time.
    BSTR MakeBstr(std::string& d) {
        const std::uint32_t kind = r_.Below(100);
        std::wstring text;
        if (kind < 8) {
            d += "null";
            return nullptr;
        } else if (kind < 50) {
            text = r_.Pick(kDates);
        } else if (kind < 70) {
            text.assign(r_.Below(4), L' ');
        } else if (kind < 80) {  // a date, a zero, then anything
            text = std::wstring(r_.Pick(kDates)) + L'\0' + r_.Pick(kNoDates);
        } else if (kind < 90) {  // an odd number of bytes
            std::string bytes(1 + 2 * r_.Below(6), '\0');
            for (char& c : bytes)
                c = static_cast<char>(r_.Below(256));
            d += "odd bytes " + std::to_string(bytes.size());
            BSTR odd = SysAllocStringByteLen(bytes.data(), static_cast<UINT>(bytes.size()));
            for (UINT i = 0; odd && i < SysStringLen(odd); ++i)
                odd[i] = ShownByWine(odd[i]);
            return odd;
        } else if (kind < 95) {
            text = r_.Pick(kNoDates);
        } else if (kind < 97) {
            text.assign(2000 + r_.Below(6000), L'7');
        } else {
            text.assign(r_.Below(12), L'\0');
            for (wchar_t& c : text)
                c = ShownByWine(static_cast<wchar_t>(r_.Below(0x10000)));
        }
        d += Narrow(text);
        return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }

    // A value for a VARIANT of the given type that is not VT_BYREF.
    void FillValue(VARIANT& v, VARTYPE base, std::string& d) {
        switch (base) {
            case VT_EMPTY:
            case VT_NULL:
                break;
            case VT_BSTR:
                v.bstrVal = MakeBstr(d);
                break;
            case VT_DISPATCH:
            case VT_UNKNOWN:
                v.pdispVal = r_.Chance(50) ? &probe_ : nullptr;
                if (v.pdispVal) probe_.AddRef();
                break;
            case VT_RECORD:
                v.pvRecord = nullptr;
                v.pRecInfo = nullptr;
                break;
            case VT_R8:
            case VT_DATE:
                v.dblVal = MakeDouble();
                break;
            case VT_R4:
                v.fltVal = static_cast<float>(MakeDouble());
                break;
            case VT_DECIMAL:
                v.decVal.scale = static_cast<BYTE>(r_.Below(30));
                v.decVal.sign = r_.Chance(50) ? DECIMAL_NEG : 0;
                v.decVal.Hi32 = static_cast<ULONG>(r_.Bits());
                v.decVal.Lo64 = r_.Bits();
                v.vt = VT_DECIMAL;  // shares its place with wReserved
                break;
            case VT_I1:
            case VT_UI1:
            case VT_I2:
            case VT_UI2:
            case VT_I4:
            case VT_UI4:
            case VT_I8:
            case VT_UI8:
            case VT_INT:
            case VT_UINT:
            case VT_CY:
            case VT_BOOL:
            case VT_ERROR:
                v.ullVal = r_.Chance(50) ? r_.Bits() : r_.Below(40);
                break;
            default:  // no VARIANT type: whatever is read there is a valid address
                v.byref = SafePointer();
                v.pRecInfo = reinterpret_cast<IRecordInfo*>(SafePointer());
                break;
        }
    }

    // An array of the given element type, or none.
    SAFEARRAY* MakeArray(VARTYPE base, std::string& d) {
        static constexpr VARTYPE kElements[] = {
            VT_I2, VT_I4,      VT_R8,       VT_DATE,  VT_BSTR,    VT_BOOL, VT_UI1,
            VT_I8, VT_VARIANT, VT_DISPATCH, VT_ERROR, VT_DECIMAL, VT_CY};
        bool supported = false;
        for (VARTYPE e : kElements)
            supported = supported || e == base;
        if (!supported || r_.Chance(20)) {
            d += "(no array)";
            return nullptr;
        }
        const ULONG count = r_.Below(4);
        SAFEARRAY* array = SafeArrayCreateVector(base, 0, count);
        d += "[" + std::to_string(count) + "]";
        for (LONG i = 0; array && i < static_cast<LONG>(count); ++i) {
            VARIANT element;
            std::memset(&element, 0, sizeof element);
            const VARTYPE type = base == VT_VARIANT ? r_.Pick(kSimple) : base;
            element.vt = type;
            FillValue(element, type, d);
            // The array stores copies: of the variant itself, of the string or
            // object, or of the value's bytes.
            void* data = &element.llVal;
            if (base == VT_VARIANT) data = &element;
            if (base == VT_BSTR) data = element.bstrVal;
            if (base == VT_DISPATCH) data = element.pdispVal;
            if (base == VT_DECIMAL) data = &element.decVal;
            (void)SafeArrayPutElement(array, &i, data);
            VariantClear(&element);
        }
        return array;
    }

    // Any argument a caller can build with valid pointers.
    void MakeArgument(VARIANT& v, std::vector<std::unique_ptr<Pointee>>& pointees, std::string& d,
                      bool nested = false) {
        std::memset(&v, 0, sizeof v);
        const VARTYPE base = PickBase();
        VARTYPE modifier = 0;
        const std::uint32_t m = r_.Below(100);
        if (m < 62 || nested) {
            modifier = 0;
        } else if (m < 82) {
            modifier = VT_BYREF;
        } else if (m < 89) {
            modifier = VT_ARRAY;
        } else if (m < 94) {
            modifier = VT_ARRAY | VT_BYREF;
        } else if (m < 96) {
            modifier = VT_VECTOR;
        } else if (m < 98) {
            modifier = VT_RESERVED;
        } else {
            modifier = static_cast<VARTYPE>(r_.Bits() & 0xF000);
        }
        const VARTYPE vt = base | modifier;
        d += "vt 0x" + Hex(vt) + " ";

        if (modifier == VT_BYREF || modifier == (VT_ARRAY | VT_BYREF)) {
            auto& p = *pointees.emplace_back(std::make_unique<Pointee>());
            std::memset(&p, 0, sizeof p);
            if (modifier & VT_ARRAY) {
                p.array = MakeArray(base, d);
                v.pparray = &p.array;
            } else if (base == VT_VARIANT) {
                d += "-> (";
                MakeArgument(p.variant, pointees, d, true);
                d += ")";
                v.pvarVal = &p.variant;
            } else {
                VARIANT value;
                std::memset(&value, 0, sizeof value);
                FillValue(value, base, d);
                if (base == VT_DECIMAL) {
                    p.decimal = value.decVal;
                } else {
                    std::memcpy(p.raw, &value.llVal, 16);
                }
                v.byref = &p;
            }
            v.vt = vt;
            owned_.push_back({&p, vt});
            return;
        }
        if (modifier == VT_ARRAY) {
            v.parray = MakeArray(base, d);
        } else if (modifier == 0) {
            FillValue(v, base, d);
        } else {
            v.byref = SafePointer();
            v.pRecInfo = reinterpret_cast<IRecordInfo*>(SafePointer());
        }
        v.vt = vt;
    }

    // Whether this put may carry anything at all: rarely, and never more
    // often than the budget allows.
    bool TakeRefusal() {
        if (refusals_ == 0 || r_.Below(1000) >= 10) return false;
        --refusals_;
        return true;
    }

    // An argument for a put that reads as a date or is blank: a text, a date
    // value, an empty variant, the probe, by value or by reference.
    void MakeDateArgument(VARIANT& v, std::vector<std::unique_ptr<Pointee>>& pointees,
                          std::string& d) {
        std::memset(&v, 0, sizeof v);
        const std::uint32_t kind = r_.Below(100);
        BSTR text = nullptr;
        if (kind < 70) {
            std::wstring date = r_.Chance(80) ? r_.Pick(kDates) : std::wstring(r_.Below(4), L' ');
            if (r_.Chance(5)) date.append(2000 + r_.Below(4000), L' ');
            d += "vt 0x8 " + Narrow(date);
            // An odd byte length leaves a byte after the text.
            const UINT bytes = static_cast<UINT>(date.size() * sizeof(wchar_t)) + r_.Below(2);
            text = SysAllocStringByteLen(nullptr, bytes);
            if (text) std::memcpy(text, date.data(), date.size() * sizeof(wchar_t));
        }
        if (text && r_.Chance(20)) {
            auto& p = *pointees.emplace_back(std::make_unique<Pointee>());
            std::memset(&p, 0, sizeof p);
            p.bstr = text;
            v.vt = VT_BSTR | VT_BYREF;
            v.pbstrVal = &p.bstr;
            owned_.push_back({&p, v.vt});
        } else if (text) {
            v.vt = VT_BSTR;
            v.bstrVal = text;
        } else if (kind < 85) {
            v.vt = VT_DATE;
            v.date = static_cast<double>(r_.Below(2'000'000)) + 0.5 * r_.Below(2);
            d += "vt 0x7 " + std::to_string(v.date);
        } else if (kind < 93) {
            d += "vt 0x0";
        } else {
            v.vt = VT_DISPATCH;
            v.pdispVal = &probe_;
            probe_.AddRef();
            d += "vt 0x9 probe";
        }
    }

    // After the call: frees what the by-reference arguments hold now.
    void FreePointees() {
        for (auto& [p, vt] : owned_) {
            const VARTYPE base = vt & VT_TYPEMASK;
            if (vt & VT_ARRAY) {
                if (p->array) SafeArrayDestroy(p->array);
            } else if (base == VT_VARIANT) {
                FreeArgument(p->variant);
            } else if (base == VT_BSTR) {
                SysFreeString(p->bstr);
            } else if ((base == VT_DISPATCH || base == VT_UNKNOWN) && p->unknown) {
                p->unknown->Release();
            }
        }
        owned_.clear();
    }

    // Frees a top-level argument that is not by reference.
    static void FreeArgument(VARIANT& v) {
        const VARTYPE modifier = v.vt & ~VT_TYPEMASK;
        if (modifier == 0 || modifier == VT_ARRAY) {
            const VARTYPE base = v.vt & VT_TYPEMASK;
            if (modifier == VT_ARRAY || base == VT_BSTR || base == VT_DISPATCH ||
                base == VT_UNKNOWN) {
                VariantClear(&v);
            }
        }
    }

private:
    static constexpr VARTYPE kSimple[] = {VT_EMPTY, VT_NULL, VT_I4,   VT_R8,
                                          VT_DATE,  VT_BSTR, VT_BOOL, VT_ERROR};

    VARTYPE PickBase() {
        static constexpr VARTYPE kValid[] = {
            VT_EMPTY,   VT_NULL,    VT_I2,      VT_I4,     VT_R4,   VT_R8,       VT_CY,    VT_DATE,
            VT_BSTR,    VT_BSTR,    VT_BSTR,    VT_BSTR,   VT_BSTR, VT_DISPATCH, VT_ERROR, VT_BOOL,
            VT_VARIANT, VT_UNKNOWN, VT_DECIMAL, VT_I1,     VT_UI1,  VT_UI2,      VT_UI4,   VT_I8,
            VT_UI8,     VT_INT,     VT_UINT,    VT_RECORD, VT_DATE, VT_DATE};
        static constexpr VARTYPE kInvalid[] = {
            VT_VOID,   VT_HRESULT, VT_PTR,     VT_SAFEARRAY, VT_CARRAY,   VT_USERDEFINED,
            VT_LPSTR,  VT_LPWSTR,  VT_INT_PTR, VT_UINT_PTR,  VT_FILETIME, VT_BLOB,
            VT_STREAM, VT_STORAGE, VT_CF,      VT_CLSID,     15,          0x20,
            0x3F,      0x49,       0x7F,       0xFFF};
        if (r_.Chance(85)) return r_.Pick(kValid);
        if (r_.Chance(80)) return r_.Pick(kInvalid);
        return static_cast<VARTYPE>(r_.Bits() & VT_TYPEMASK);
    }

    double MakeDouble() {
        static constexpr double kOdd[] = {0.0,       -0.0,      36600.75, -657434.0, 2958465.99,
                                          -657435.0, 2958466.0, 1e300,    -1e300,    1e-310};
        const std::uint32_t k = r_.Below(10);
        if (k < 5) return r_.Pick(kOdd);
        if (k < 8) return static_cast<double>(r_.Below(3'600'000)) - 657434.0 + 0.25 * r_.Below(4);
        double any = 0;
        const std::uint64_t bits = r_.Bits();
        std::memcpy(&any, &bits, sizeof any);  // NaNs and infinities too
        return any;
    }

    static std::string Hex(unsigned value) {
        char text[16];
        std::snprintf(text, sizeof text, "%x", value);
        return text;
    }

public:
    static std::string Narrow(std::wstring_view text) {
        std::string out = "\"";
        for (const wchar_t c : text.substr(0, 40)) {
            if (c >= 0x20 && c < 0x7F) {
                out += static_cast<char>(c);
            } else {
                out += "\\u" + Hex(c);
            }
        }
        return out + (text.size() > 40 ? "...\"(" + std::to_string(text.size()) + ")" : "\"");
    }

private:
    Random& r_;
    Probe& probe_;
    std::vector<std::pair<Pointee*, VARTYPE>> owned_;
    int refusals_ = static_cast<int>(EnvNumber(L"VELMI_INVOKE_REFUSALS", 250));
};

// ---- Measuring ----------------------------------------------------------------

// Growth beyond noise: the first round of calls fills the platform's caches,
// a second round of the same size must not keep growing.
void ExpectNoGrowth(const ResourceUsage& before, const ResourceUsage& after) {
    constexpr long long kHeapSlack = 256 * 1024;
    constexpr long long kPrivateSlack = 4 * 1024 * 1024;
    const std::string change = Describe(before) + " -> " + Describe(after);
    EXPECT_LE(after.heapBytes, before.heapBytes + kHeapSlack) << change;
    EXPECT_LE(after.privateBytes, before.privateBytes + kPrivateSlack) << change;
    EXPECT_LE(after.handles, before.handles + 8) << change;
    EXPECT_LE(after.gdi, before.gdi + 8) << change;
    EXPECT_LE(after.user, before.user + 2) << change;
}

// ---- The controls under fire --------------------------------------------------

// A bare control and one hosted in place (which also redraws its windows on
// every change), each with a Change sink that reads the text in the event.
struct Targets {
    ComPtr<IDispatch> bare = CreateControl();
    AtlHost host;
    ChangeSink bareSink{bare.Get()};
    ChangeSink hostSink{host.Control()};

    Targets() {
        bareSink.Advise();
        hostSink.Advise();
    }
    ~Targets() {
        bareSink.Unadvise();
        hostSink.Unadvise();
    }
    // Each change of a hosted control redraws its windows, some ten
    // milliseconds under Wine; the bare one takes a tenth of a millisecond.
    IDispatch* Pick(Random& r, std::uint32_t hostedPercent) {
        // The sinks' records would otherwise grow like a leak.
        bareSink.Clear();
        hostSink.Clear();
        return r.Chance(hostedPercent) ? host.Control() : bare.Get();
    }
};

// After the storm the control behaves as documented.
void ExpectWorking(IDispatch* control, ChangeSink& sink, MessageBoxAnswerer& answerer) {
    PutText(control, L"March  1,  2000");
    sink.Clear();
    PutText(control, L"11-15-1999");
    EXPECT_EQ(sink.texts,
              (std::vector<std::wstring>{L"November  15,  1999", L"November  15,  1999"}));
    sink.Clear();
    PutText(control, L"November  15,  1999");
    EXPECT_EQ(sink.Count(), 0u);
    PutDate(control, Date(2001, 3, 7));
    EXPECT_EQ(sink.texts, std::vector<std::wstring>{L"March  7,  2001"});
    sink.Clear();
    answerer.Clear();
    PutText(control, L"tomorrow");
    EXPECT_TRUE(answerer.WaitForCount(1, 5s));
    EXPECT_EQ(GetText(control), L"March  7,  2001");
    EXPECT_EQ(sink.Count(), 0u);
    PutText(control, L"   ");
    EXPECT_EQ(sink.texts, std::vector<std::wstring>{L""});
    EXPECT_EQ(GetText(control), L"");
    sink.Clear();
}

class InvokeFuzz : public ::testing::Test {
protected:
    void SetUp() override {
        seed = EnvNumber(L"VELMI_FUZZ_SEED",
                         GetTickCount64() ^ (std::uint64_t{GetCurrentProcessId()} << 32));
        calls = EnvNumber(L"VELMI_INVOKE_CALLS", 100'000);
        g_trace = EnvNumber(L"VELMI_INVOKE_TRACE", 0) != 0;
        std::printf("seed %llu (VELMI_FUZZ_SEED=%llu repeats this run)\n",
                    static_cast<unsigned long long>(seed), static_cast<unsigned long long>(seed));
        std::fflush(stdout);
        RecordProperty("seed", std::to_string(seed));
        previousFilter = SetUnhandledExceptionFilter(ReportCrash);
        // Freed strings would otherwise linger in the platform's cache and
        // look like growth.
        using SetOaNoCacheFn = void(WINAPI*)();
        if (auto noCache = velmi::test::ProcAddress<SetOaNoCacheFn>(
                GetModuleHandleW(L"oleaut32.dll"), "SetOaNoCache")) {
            noCache();
        }
    }
    void TearDown() override { SetUnhandledExceptionFilter(previousFilter); }

    std::uint64_t seed = 0;
    std::uint64_t calls = 0;
    LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
};

// One random call; returns its result.
// The shape of a call: mostly the control's own members with the right
// flags, the rest anything at all.
struct Shape {
    DISPID id = kTextDispId;
    WORD flags = DISPATCH_PROPERTYGET;
    UINT argc = 0;
    UINT named = 0;
};

Shape PickShape(Random& r) {
    // The members inherited from IUnknown and IDispatch (0x6000xxxx) are in
    // the type information too, restricted.
    static constexpr DISPID kIds[] = {kTextDispId,        kPutDateDispId,
                                      DISPID_PROPERTYPUT, DISPID_VALUE,
                                      DISPID_UNKNOWN,     DISPID_NEWENUM,
                                      DISPID_EVALUATE,    1,
                                      0x68030001,         0x60030001,
                                      0x60030003,         0x60000000,
                                      0x60000001,         0x60000002,
                                      0x60010000,         0x60010003,
                                      0x7FFFFFFF,         static_cast<DISPID>(0x80000000)};
    static constexpr WORD kFlags[] = {DISPATCH_METHOD,
                                      DISPATCH_PROPERTYGET,
                                      DISPATCH_PROPERTYPUT,
                                      DISPATCH_PROPERTYPUTREF,
                                      DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                      DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF,
                                      0};
    const std::uint32_t kind = r.Below(100);
    if (kind < 20) return {kTextDispId, DISPATCH_PROPERTYPUT, 1, 1};
    if (kind < 35) return {kTextDispId, r.Chance(50) ? WORD{DISPATCH_PROPERTYGET} : WORD{3}, 0, 0};
    if (kind < 50) return {kPutDateDispId, DISPATCH_METHOD, 1, 0};
    Shape s{r.Pick(kIds), r.Pick(kFlags), r.Below(5), 0};
    if (r.Chance(10)) s.id = static_cast<DISPID>(r.Bits());
    if (r.Chance(10)) s.flags = static_cast<WORD>(r.Bits());
    if (r.Chance(5)) s.argc = 5 + r.Below(30);
    if (s.flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) s.named = r.Chance(85) ? 1 : 0;
    if (r.Chance(10)) s.named = r.Below(s.argc + 2);
    return s;
}

// One random call; returns its result.
HRESULT RandomInvoke(IDispatch* control, Random& r, Generator& g, std::uint64_t index) {
    const Shape shape = PickShape(r);
    const DISPID id = shape.id;
    const WORD flags = shape.flags;
    const UINT argc = shape.argc;
    const UINT named = shape.named;
    // A put that reaches the control with a text that is no date shows a
    // message box, which costs far more than a call; most puts therefore
    // carry texts that are dates or blank, a few anything at all.
    const bool put = id == kTextDispId && (flags & DISPATCH_PROPERTYPUT) && argc == 1;
    const bool mayRefuse = !put || g.TakeRefusal();

    std::string d = "call " + std::to_string(index) + ": id 0x";
    char hex[64];
    std::snprintf(hex, sizeof hex, "%08lx flags 0x%x", static_cast<unsigned long>(id), flags);
    d += hex;

    std::vector<VARIANT> args(argc);
    std::vector<std::unique_ptr<Pointee>> pointees;
    for (UINT i = 0; i < argc; ++i) {
        d += "\n  arg " + std::to_string(i) + ": ";
        if (mayRefuse) {
            g.MakeArgument(args[i], pointees, d);
        } else {
            g.MakeDateArgument(args[i], pointees, d);
        }
    }
    std::vector<DISPID> names(named);
    for (DISPID& n : names)
        n = r.Chance(80) ? DISPID_PROPERTYPUT : static_cast<DISPID>(r.Below(4)) - 1;
    DISPPARAMS params{args.empty() ? nullptr : args.data(), names.empty() ? nullptr : names.data(),
                      argc, named};
    if (r.Chance(3)) params.rgvarg = nullptr;
    if (r.Chance(3)) params.rgdispidNamedArgs = nullptr;
    if (r.Chance(3)) params.cNamedArgs = argc + 1 + r.Below(3);
    d += "\n  named " + std::to_string(params.cNamedArgs) + (params.rgvarg ? "" : " null args") +
         (params.rgdispidNamedArgs ? "" : " null names");

    static constexpr LCID kLocales[] = {0, LOCALE_USER_DEFAULT, 0x409, 0x40C, 0x411, 0xFFFF};
    const LCID lcid = r.Pick(kLocales);
    const IID iid = r.Chance(97) ? IID_NULL : IID_IDispatch;
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    UINT argError = 0;
    const bool wantResult = r.Chance(70), wantException = r.Chance(50), wantArgError = r.Chance(50);
    const bool noParams = r.Chance(1);
    d += std::string(wantResult ? " result" : "") + (wantException ? " excepinfo" : "") +
         (wantArgError ? " argerr" : "") + (noParams ? " no DISPPARAMS" : "");

    g_current = d;
    if (g_trace) std::printf("%s\n", d.c_str());
    const HRESULT hr = control->Invoke(
        id, iid, lcid, flags, noParams ? nullptr : &params, wantResult ? &result : nullptr,
        wantException ? &exception : nullptr, wantArgError ? &argError : nullptr);
    if (g_trace) std::printf("  -> 0x%08lx\n", static_cast<unsigned long>(hr));

    VariantClear(&result);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    for (VARIANT& v : args)
        if (!(v.vt & VT_BYREF)) Generator::FreeArgument(v);
    g.FreePointees();
    std::memset(g_zeros, 0, sizeof g_zeros);
    return hr;
}

// Lets the windows handle what the calls posted (paints above all), without
// the pauses of Pump().
void Drain() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Every box so far must be the control's "Invalid date"; the record is then
// emptied so that it does not grow like a leak.
std::size_t TakeBoxes(MessageBoxAnswerer& answerer) {
    const auto seen = answerer.Seen();
    for (const auto& box : seen) {
        EXPECT_EQ(box.text, L"Invalid date");
        EXPECT_EQ(box.title, L"Ruviruve");
    }
    answerer.Clear();
    return seen.size();
}

TEST_F(InvokeFuzz, RandomCallsNeitherCrashNorLeakAndTheControlStillWorks) {
    MessageBoxAnswerer answerer;
    Probe probe;
    Random r(seed);
    Generator g(r, probe);
    std::size_t boxes = 0;
    {
        Targets targets;
        const std::uint64_t warmUp = std::max<std::uint64_t>(calls / 10, 1000);
        std::uint64_t done = 0;
        auto run = [&](std::uint64_t until) {
            for (; done < until; ++done) {
                (void)RandomInvoke(targets.Pick(r, 3), r, g, done);
                if (done % 256 == 0) {
                    Drain();
                    boxes += TakeBoxes(answerer);
                }
            }
            Pump();
            boxes += TakeBoxes(answerer);
        };
        run(warmUp);
        const ResourceUsage before = MeasureResources();
        run(warmUp + calls);
        const ResourceUsage after = MeasureResources();
        g_current = "checking the controls after the calls";
        std::printf("%llu calls, %zu message boxes; %s -> %s\n",
                    static_cast<unsigned long long>(done), boxes, Describe(before).c_str(),
                    Describe(after).c_str());
        ExpectNoGrowth(before, after);
        ExpectWorking(targets.bare.Get(), targets.bareSink, answerer);
        ExpectWorking(targets.host.Control(), targets.hostSink, answerer);
    }
    EXPECT_EQ(probe.Refs(), 1u) << "the control kept or lost references to an argument";
}

// ---- Property bags and streams --------------------------------------------------

// A bag with random entries. Each entry answers a read with its value, with
// another type than asked for, or with a failure, as containers' bags may.
class RandomBag final : public OnStack<IPropertyBag> {
public:
    enum class Answer { kValue, kFailure };
    struct Entry {
        std::wstring name;
        Answer answer = Answer::kValue;
        HRESULT failure = E_FAIL;
        VARIANT value{};
    };

    RandomBag(Random& r, Generator& g, std::string& d) {
        static const wchar_t* const kNames[] = {L"Text", L"text", L"TEXT",  L"tExT", L"Text ",
                                                L"Tex",  L"",     L"Texts", L"Other"};
        static constexpr HRESULT kFailures[] = {
            E_FAIL,    E_OUTOFMEMORY,      E_INVALIDARG, DISP_E_TYPEMISMATCH,
            E_NOTIMPL, STG_E_ACCESSDENIED, E_UNEXPECTED};
        missing_ = r.Chance(85) ? E_INVALIDARG : r.Pick(kFailures);
        d += "bag (missing 0x" + std::to_string(static_cast<unsigned long>(missing_)) + ")";
        for (std::uint32_t n = r.Below(4); n > 0; --n) {
            Entry& e = entries_.emplace_back();
            e.name = r.Pick(kNames);
            e.answer = r.Chance(80) ? Answer::kValue : Answer::kFailure;
            e.failure = r.Pick(kFailures);
            d += "\n  " + Generator::Narrow(e.name) + ": ";
            if (e.answer == Answer::kFailure) {
                d += "fails";
                continue;
            }
            std::vector<std::unique_ptr<Pointee>> none;
            std::memset(&e.value, 0, sizeof e.value);
            if (r.Chance(60)) {
                e.value.vt = VT_BSTR;
                e.value.bstrVal = g.MakeBstr(d);
            } else {
                g.MakeArgument(e.value, none, d, true);  // held by value, never by reference
            }
        }
    }
    ~RandomBag() {
        for (Entry& e : entries_)
            Generator::FreeArgument(e.value);
    }

    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override {
        if (!name || !value) return E_POINTER;
        // The value comes in as [in, out]: whatever it holds must be ours to clear.
        const VARTYPE asked = value->vt;
        if ((asked == VT_BSTR && value->bstrVal) || (asked & ~VT_TYPEMASK)) foreignInput = true;
        for (Entry& e : entries_) {
            if (_wcsicmp(e.name.c_str(), name) != 0) continue;
            if (e.answer == Answer::kFailure) {
                if (log) {
                    EXCEPINFO info{};
                    info.scode = e.failure;
                    (void)log->AddError(name, &info);
                }
                return e.failure;
            }
            VariantInit(value);
            return VariantCopy(value, &e.value);
        }
        return missing_;
    }
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override {
        if (!name || !value) return E_POINTER;
        ++writes;
        return writeAnswer;
    }

    bool foreignInput = false;
    HRESULT writeAnswer = S_OK;
    int writes = 0;

private:
    std::vector<Entry> entries_;
    HRESULT missing_ = E_INVALIDARG;
};

// A stream with the saved form's header, or with nearly it, or with anything.
ComPtr<IStream> RandomStream(Random& r, std::string& d) {
    std::vector<unsigned char> bytes;
    auto add32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<unsigned char>(v >> (8 * i)));
    };
    if (r.Chance(80)) add32(r.Chance(90) ? 0x3156554E : static_cast<std::uint32_t>(r.Bits()));
    const std::uint32_t length = r.Chance(70)   ? r.Below(40)
                                 : r.Chance(50) ? 0x100000 + r.Below(3) - 1
                                                : static_cast<std::uint32_t>(r.Bits());
    if (r.Chance(90)) add32(length);
    const std::uint32_t body =
        r.Chance(70) ? std::min<std::uint32_t>(length, 64) * 2 : r.Below(200);
    for (std::uint32_t i = 0; i < body; ++i)
        bytes.push_back(static_cast<unsigned char>(r.Chance(80) ? (i % 2 ? 0 : 0x30 + r.Below(10))
                                                                : r.Below(256)));
    for (std::size_t i = 8; i + 1 < bytes.size(); i += 2) {
        const wchar_t c = ShownByWine(static_cast<wchar_t>(bytes[i] | bytes[i + 1] << 8));
        bytes[i] = static_cast<unsigned char>(c);
        bytes[i + 1] = static_cast<unsigned char>(c >> 8);
    }
    d += "stream of " + std::to_string(bytes.size()) + " bytes, length " + std::to_string(length) +
         ":";
    for (const unsigned char b : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", b);
        d += hex;
    }
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return nullptr;
    (void)stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    (void)stream->Seek({}, STREAM_SEEK_SET, nullptr);
    return stream;
}

// One random load or save of the control's persistent state.
void RandomPersistence(IDispatch* control, Random& r, Generator& g, ErrorLog& log,
                       std::uint64_t index, bool& foreignInput) {
    std::string d = "persistence " + std::to_string(index) + ": ";
    const std::uint32_t kind = r.Below(100);
    if (kind < 80) {
        ComPtr<IPersistPropertyBag> persist;
        ASSERT_EQ(control->QueryInterface(IID_PPV_ARGS(&persist)), S_OK);
        RandomBag bag(r, g, d);
        const bool withLog = r.Chance(50);
        d += withLog ? "\n  Load with an error log" : "\n  Load";
        g_current = d;
        if (g_trace) std::printf("%s\n", d.c_str());
        (void)persist->Load(&bag, withLog ? &log : nullptr);
        foreignInput = foreignInput || bag.foreignInput;
        EXPECT_EQ(bag.Refs(), 1u) << d;
    } else if (kind < 90) {
        ComPtr<IPersistPropertyBag> persist;
        ASSERT_EQ(control->QueryInterface(IID_PPV_ARGS(&persist)), S_OK);
        RandomBag bag(r, g, d);
        static constexpr HRESULT kAnswers[] = {S_OK, E_FAIL, E_OUTOFMEMORY, STG_E_ACCESSDENIED};
        bag.writeAnswer = r.Pick(kAnswers);
        d += "\n  Save";
        g_current = d;
        (void)persist->Save(&bag, r.Chance(50), r.Chance(50));
        EXPECT_EQ(bag.Refs(), 1u) << d;
    } else {
        ComPtr<IPersistStreamInit> persist;
        ASSERT_EQ(control->QueryInterface(IID_PPV_ARGS(&persist)), S_OK);
        ComPtr<IStream> stream = RandomStream(r, d);
        g_current = d;
        if (stream) (void)persist->Load(stream.Get());
    }
}

TEST_F(InvokeFuzz, RandomBagsAndStreamsNeitherCrashNorLeak) {
    MessageBoxAnswerer answerer;
    Probe probe;
    ErrorLog log;
    Random r(seed);
    Generator g(r, probe);
    bool foreignInput = false;
    {
        Targets targets;
        const std::uint64_t loads = std::max<std::uint64_t>(calls / 20, 1000);
        std::uint64_t done = 0;
        for (; done < loads / 10; ++done)
            RandomPersistence(targets.Pick(r, 30), r, g, log, done, foreignInput);
        Pump();
        const ResourceUsage before = MeasureResources();
        for (; done < loads / 10 + loads; ++done) {
            RandomPersistence(targets.Pick(r, 30), r, g, log, done, foreignInput);
            if (done % 256 == 0) Drain();
        }
        Pump();
        const ResourceUsage after = MeasureResources();
        g_current = "checking the controls after the loads";
        std::printf("%llu loads and saves; %s -> %s\n", static_cast<unsigned long long>(done),
                    Describe(before).c_str(), Describe(after).c_str());
        ExpectNoGrowth(before, after);
        EXPECT_TRUE(answerer.Seen().empty()) << "a stored text is taken without a message";
        ExpectWorking(targets.bare.Get(), targets.bareSink, answerer);
        ExpectWorking(targets.host.Control(), targets.hostSink, answerer);
    }
    EXPECT_FALSE(foreignInput) << "IPropertyBag::Read was handed a value the control never set";
    EXPECT_EQ(probe.Refs(), 1u);
    EXPECT_EQ(log.Refs(), 1u);
}

}  // namespace
}  // namespace nuv::test
