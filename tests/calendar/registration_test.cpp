// Self-registration through the system's own regsvr32, checked with reg.exe.
#include "control_support.h"
#include "process.h"

#include <gtest/gtest.h>

namespace nuv::test {
namespace {

using velmi::test::RunProcess;

constexpr wchar_t kClsidKey[] = L"HKCR\\CLSID\\{54DD4E12-414C-43D0-AC10-11456DD3A2F0}";

std::string Query(const std::wstring& key) {
    return RunProcess(L"reg.exe query \"" + key + L"\" /s").output;
}

DWORD Regsvr32(const std::wstring& flags) {
    return RunProcess(L"regsvr32.exe " + flags + L" \"" + BinDirectory() + L"Nuv.ocx\"").exitCode;
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

TEST(Registration, RegisterShowsEveryEntryAndUnregisterRemovesThem) {
    ASSERT_EQ(Regsvr32(L"/s"), 0u);
    const std::string clsid = Query(kClsidKey);
    const std::string path = Narrow(BinDirectory()) + "Nuv.ocx";
    for (const std::string& expected :
         {std::string("InprocServer32\r\n    (Default)    REG_SZ    ") + path,
          std::string("ThreadingModel    REG_SZ    Apartment"),
          std::string("ProgID\r\n    (Default)    REG_SZ    Ruviruve.Nuvender"),
          std::string("\\Control\r\n"),
          std::string("MiscStatus\\1\r\n    (Default)    REG_SZ    131473"),
          std::string("ToolboxBitmap32\r\n    (Default)    REG_SZ    ") + path + ", " +
              std::to_string(kToolboxBitmapId),
          std::string(
              "TypeLib\r\n    (Default)    REG_SZ    {F4D0E718-B6B7-4066-BD1C-E2BD66DE48FC}"),
          std::string("Version\r\n    (Default)    REG_SZ    1.0")}) {
        EXPECT_NE(clsid.find(expected), std::string::npos) << expected << "\nin\n" << clsid;
    }
    EXPECT_NE(
        Query(L"HKCR\\Ruviruve.Nuvender\\CLSID").find("{54DD4E12-414C-43D0-AC10-11456DD3A2F0}"),
        std::string::npos);
    EXPECT_NE(Query(L"HKCR\\TypeLib\\{F4D0E718-B6B7-4066-BD1C-E2BD66DE48FC}\\1.0").find("Ruviruve"),
              std::string::npos);

    ASSERT_EQ(Regsvr32(L"/s /u"), 0u);
    EXPECT_EQ(Query(kClsidKey).find("InprocServer32"), std::string::npos);
    EXPECT_EQ(Query(L"HKCR\\Ruviruve.Nuvender").find("CLSID"), std::string::npos);
    EXPECT_EQ(Query(L"HKCR\\TypeLib\\{F4D0E718-B6B7-4066-BD1C-E2BD66DE48FC}").find("1.0"),
              std::string::npos);
    ComPtr<IDispatch> none;
    EXPECT_EQ(CoCreateInstance(CLSID_Nuvender, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&none)),
              REGDB_E_CLASSNOTREG);

    // The other tests of this run need the control registered.
    ASSERT_EQ(Regsvr32(L"/s"), 0u);
}

}  // namespace
}  // namespace nuv::test
