// Hostile but well-formed callers: random IDispatch::Invoke calls and random
// property bags, on a bare control and on one hosted in place. What is ours
// on that path is the argument check, the three members and the bag reads, so
// the calls use the members' ids with any flags and counts, and texts, days
// and objects as arguments. Nothing may crash, memory and handles must not
// grow, every object handed over must come back, and afterwards the control
// must still work.
//
// Every run prints its seed; VELMI_FUZZ_SEED repeats a run, VELMI_INVOKE_CALLS
// sets the number of calls (20,000; a tenth as many bag loads).
#include "control_support.h"
#include "message_box_answerer.h"
#include "resource_usage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string_view>

namespace nuv::test {
namespace {

std::uint64_t EnvNumber(const wchar_t* name, std::uint64_t fallback) {
    wchar_t value[32] = {};
    return GetEnvironmentVariableW(name, value, 32) ? std::wcstoull(value, nullptr, 0) : fallback;
}

// An object handed over in arguments: the control must give back every
// reference it takes. Asked for its value it answers with a date.
class Probe final : public DispatchOnStack {
public:
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        if (!result) return E_FAIL;
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocString(L"March  1,  2000");
        return S_OK;
    }
};

class Fuzzer {
public:
    explicit Fuzzer(std::uint64_t seed) : random_(seed) {}
    std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(random_() % n); }

    // A text, a day, an object or nothing. Texts that are no date are rare:
    // each put of one costs a message box.
    void Argument(VARIANT& v) {
        static constexpr VARTYPE kTypes[] = {VT_BSTR, VT_BSTR, VT_DATE, VT_DISPATCH, VT_NULL};
        static constexpr std::wstring_view kTexts[] = {
            L"11-15-1999", L"  ", L"March  1,  2000", L"12/31/9999", {L"3-7-2001\0zz", 11}, {}};
        static const double kDays[] = {36600.75, -0.5, 2958465.99, -657435, 1e300, std::nan("")};
        const std::wstring_view text = Below(200) ? kTexts[Below(6)] : L"no date";
        VariantInit(&v);
        v.vt = kTypes[Below(5)];
        if (v.vt == VT_BSTR && !text.empty())
            v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (v.vt == VT_DATE) v.date = kDays[Below(6)];
        if (v.vt == VT_DISPATCH) v.pdispVal = (probe.AddRef(), &probe);
    }

    // A call to one of the members, or to none, in any shape; counts that do
    // not match their pointers are refused before any use.
    void Call(IDispatch* control) {
        static constexpr DISPID kIds[] = {kTextDispId, kPutDateDispId, DISPID_VALUE};
        VARIANT args[3], result;
        DISPID named[3] = {DISPID_PROPERTYPUT, DISPID_PROPERTYPUT, 0};
        DISPPARAMS params{args, named, Below(4), 0};
        for (UINT i = 0; i < 3; ++i)
            Argument(args[i]);
        const auto flags = static_cast<WORD>(1 << Below(4));
        params.cNamedArgs = flags & DISPATCH_PROPERTYPUT ? 1 : Below(8) == 0;
        if (Below(20) == 0) params.cNamedArgs = params.cArgs + 1;
        if (Below(20) == 0) params.rgvarg = nullptr;
        if (Below(20) == 0) params.rgdispidNamedArgs = nullptr;
        VariantInit(&result);
        EXCEPINFO exception{};
        UINT argError = 0;
        const bool noParams = Below(50) == 0;
        const HRESULT hr =
            control->Invoke(kIds[Below(3)], Below(30) ? IID_NULL : IID_IDispatch, 0, flags,
                            noParams ? nullptr : &params, Below(2) ? &result : nullptr,
                            Below(2) ? &exception : nullptr, &argError);
        if (noParams) {
            EXPECT_EQ(hr, E_POINTER);
        } else if (params.cNamedArgs > params.cArgs || (params.cArgs && !params.rgvarg) ||
                   (params.cNamedArgs && !params.rgdispidNamedArgs)) {
            EXPECT_EQ(hr, E_INVALIDARG);
        }
        VariantClear(&result);
        for (BSTR text : {exception.bstrSource, exception.bstrDescription, exception.bstrHelpFile})
            SysFreeString(text);
        for (VARIANT& arg : args)
            VariantClear(&arg);
    }

    Probe probe;

private:
    std::mt19937_64 random_;
};

// A bag whose entries hold the arguments above, or fail to be read.
class RandomBag final : public OnStack<IPropertyBag> {
public:
    explicit RandomBag(Fuzzer& f) : fuzzer_(f) {}
    STDMETHODIMP Read(LPCOLESTR, VARIANT* value, IErrorLog*) override {
        // The value is [in, out]: what it holds must be nothing to free.
        foreign = foreign || (value->vt != VT_EMPTY && !(value->vt == VT_BSTR && !value->bstrVal));
        if (fuzzer_.Below(3) == 0) return fuzzer_.Below(4) ? E_INVALIDARG : E_FAIL;
        fuzzer_.Argument(*value);
        return S_OK;
    }
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) override { return fuzzer_.Below(2) ? S_OK : E_FAIL; }
    bool foreign = false;

private:
    Fuzzer& fuzzer_;
};

TEST(InvokeFuzz, RandomCallsAndBagsNeitherCrashNorLeakAndTheControlStillWorks) {
    const std::uint64_t seed = EnvNumber(L"VELMI_FUZZ_SEED", GetTickCount64());
    const std::uint64_t calls = EnvNumber(L"VELMI_INVOKE_CALLS", 20'000);
    std::printf("seed %llu (VELMI_FUZZ_SEED repeats this run)\n",
                static_cast<unsigned long long>(seed));
    velmi::test::MessageBoxAnswerer answerer;
    Fuzzer fuzzer(seed);
    bool foreign = false;
    {
        ComPtr<IDispatch> bare = CreateControl();
        AtlHost host;
        // Each change redraws the hosted control, a hundred times slower.
        auto target = [&] { return fuzzer.Below(20) ? bare.Get() : host.Control(); };
        auto round = [&] {
            for (std::uint64_t i = 0; i < calls; ++i) {
                fuzzer.Call(target());
                if (i % 10 != 0) continue;
                ComPtr<IPersistPropertyBag> persist;
                ASSERT_EQ(target()->QueryInterface(IID_PPV_ARGS(&persist)), S_OK);
                RandomBag bag(fuzzer);
                (void)(fuzzer.Below(4) ? persist->Load(&bag, nullptr)
                                       : persist->Save(&bag, TRUE, TRUE));
                foreign = foreign || bag.foreign;
                EXPECT_EQ(bag.Refs(), 1u);
            }
            Pump();
        };
        round();  // the platform's caches fill
        const velmi::test::ResourceUsage before = velmi::test::MeasureResources();
        round();
        const velmi::test::ResourceUsage after = velmi::test::MeasureResources();
        const std::string change = Describe(before) + " -> " + Describe(after);
        EXPECT_LE(after.heapBytes, before.heapBytes + 256 * 1024) << change;
        EXPECT_LE(after.handles + after.gdi, before.handles + before.gdi + 8) << change;
        EXPECT_LE(after.user, before.user + 2) << change;
        for (IDispatch* control : {bare.Get(), host.Control()}) {
            ChangeSink sink(control);
            EXPECT_EQ(PutDate(control, Date(2002, 4, 8)), S_OK);
            EXPECT_EQ(sink.texts, std::vector<std::wstring>{L"April  8,  2002"});
        }
    }
    EXPECT_FALSE(foreign) << "IPropertyBag::Read was handed a value the control never cleared";
    EXPECT_EQ(fuzzer.probe.Refs(), 1u) << "the control kept or lost references to an argument";
}

}  // namespace
}  // namespace nuv::test
