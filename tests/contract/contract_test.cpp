// The numbers and texts that others rely on, written out as literals: the
// containers and scripts that use Nuv.ocx, the tools that find its parts, and
// the notes users already have in the registry. A change to any of them
// breaks someone outside this repository, so it must fail here first.
#include "alarm_check.h"
#include "calendar_model.h"
#include "day_notes.h"
#include "note_keys.h"
#include "nuv_contract.h"
#include "nuv_h.h"
#include "process.h"
#include "win_handle.h"
#include "velmi_texts.h"
#include "win_system.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <string>
#include <utility>

namespace {

using Microsoft::WRL::ComPtr;
using velmi::test::RunProcess;

static_assert(nuv::kDayIdBase == 1000 && nuv::kArrowIdBase == 1101 && nuv::kYearLabelId == 1207);
static_assert(nuv::kMonthLabelId == 1208 && nuv::kFrameId == 1300 && nuv::kDateBoxId == 1400);
static_assert(nuv::kToolboxBitmapId == 30000);

constexpr wchar_t kClsid[] = L"{54DD4E12-414C-43D0-AC10-11456DD3A2F0}";
constexpr wchar_t kLibid[] = L"{F4D0E718-B6B7-4066-BD1C-E2BD66DE48FC}";

std::string Query(const std::wstring& key) {
    return RunProcess(L"reg.exe query \"" + key + L"\" /s").output;
}

std::wstring ControlPath() {
    const std::wstring exe = velmi::ModulePath(nullptr);
    return exe.substr(0, exe.find_last_of(L'\\') + 1) + L"Nuv.ocx";
}

DWORD Regsvr32(const std::wstring& flags) {
    return RunProcess(L"regsvr32.exe " + flags + L" \"" + ControlPath() + L"\"").exitCode;
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::wstring Text(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

TEST(Contract, RegistrationWritesEveryKeyAndRemovesThem) {
    ASSERT_EQ(Regsvr32(L"/s"), 0u);
    const std::wstring clsidKey = std::wstring(L"HKCR\\CLSID\\") + kClsid;
    const std::string clsid = Query(clsidKey);
    const std::string path = Narrow(ControlPath());
    const std::string lines[] = {
        "    (Default)    REG_SZ    Nuvender\r\n",
        "InprocServer32\r\n    (Default)    REG_SZ    " + path,
        "ThreadingModel    REG_SZ    Apartment",
        "ProgID\r\n    (Default)    REG_SZ    Ruviruve.Nuvender",
        "\\Control\r\n",
        "MiscStatus\r\n    (Default)    REG_SZ    0",
        "MiscStatus\\1\r\n    (Default)    REG_SZ    131473",
        "ToolboxBitmap32\r\n    (Default)    REG_SZ    " + path + ", 30000",
        "TypeLib\r\n    (Default)    REG_SZ    " + Narrow(kLibid),
        "Version\r\n    (Default)    REG_SZ    1.1"};
    for (const std::string& expected : lines)
        EXPECT_NE(clsid.find(expected), std::string::npos) << expected << "\nin\n" << clsid;
    EXPECT_NE(Query(L"HKCR\\Ruviruve.Nuvender").find("    (Default)    REG_SZ    Nuvender"),
              std::string::npos);
    EXPECT_NE(Query(L"HKCR\\Ruviruve.Nuvender\\CLSID").find(Narrow(kClsid)), std::string::npos);
    EXPECT_NE(Query(std::wstring(L"HKCR\\TypeLib\\") + kLibid + L"\\1.1").find("Ruviruve"),
              std::string::npos);
    EXPECT_EQ(Query(std::wstring(L"HKCR\\TypeLib\\") + kLibid).find("1.0"), std::string::npos);

    ASSERT_EQ(Regsvr32(L"/s /u"), 0u);
    EXPECT_EQ(Query(clsidKey).find("InprocServer32"), std::string::npos);
    EXPECT_EQ(Query(L"HKCR\\Ruviruve.Nuvender").find("CLSID"), std::string::npos);
    EXPECT_EQ(Query(std::wstring(L"HKCR\\TypeLib\\") + kLibid).find("1.1"), std::string::npos);
    CLSID none{};
    EXPECT_NE(CLSIDFromProgID(L"Ruviruve.Nuvender", &none), S_OK);

    // The other tests of this run need the control registered.
    ASSERT_EQ(Regsvr32(L"/s"), 0u);
}

TEST(Contract, ProgIdInterfacesAndDispIds) {
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(L"Ruviruve.Nuvender", &clsid), S_OK);
    EXPECT_EQ(Text(clsid), kClsid);
    EXPECT_EQ(Text(CLSID_Nuvender), kClsid);
    EXPECT_EQ(Text(LIBID_Ruviruve), kLibid);
    EXPECT_EQ(Text(IID__Nuvender), L"{D58408B3-03A9-4F6F-9459-1E5E084E64C0}");
    EXPECT_EQ(Text(IID__Nuvender2), L"{AD1D64EF-3C1B-4522-9D37-E11277C0A6B9}");
    EXPECT_EQ(Text(DIID___Nuvender), L"{2A2A4909-ECB6-4F51-86F5-898758C51FFE}");

    ComPtr<IDispatch> control;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&control)), S_OK);
    for (const auto& [name, id] :
         {std::pair{L"text", 0x68030000}, {L"putdate", 0x60030002}, {L"markday", 0x60040000}}) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID found = 0;
        EXPECT_EQ(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &found), S_OK);
        EXPECT_EQ(found, id) << name;
    }

    // The event, as a container finds it: the class's default source interface.
    ComPtr<IProvideClassInfo> provider;
    ASSERT_EQ(control.As(&provider), S_OK);
    ComPtr<ITypeInfo> classInfo;
    ASSERT_EQ(provider->GetClassInfo(&classInfo), S_OK);
    HREFTYPE sourceRef = 0;
    ComPtr<ITypeInfo> source;
    ASSERT_EQ(classInfo->GetRefTypeOfImplType(1, &sourceRef), S_OK);
    ASSERT_EQ(classInfo->GetRefTypeInfo(sourceRef, &source), S_OK);
    LPOLESTR change[] = {const_cast<LPOLESTR>(L"Change")};
    MEMBERID changeId = 0;
    ASSERT_EQ(source->GetIDsOfNames(change, 1, &changeId), S_OK);
    EXPECT_EQ(changeId, 1);
}

TEST(Contract, NotesLiveUnderTheirKeys) {
    EXPECT_EQ(velmi::kStoreKeyPath, L"Software\\Tolvane\\Ruviruve");
    // Day keys are the root path joined with the serial's text, blank first.
    EXPECT_EQ(velmi::NoteKeyPath(36526), L"Software\\Tolvane\\Ruviruve\\ 36526\\task");
}

// What users read and what their habits and tools look for.
TEST(Contract, FixedTexts) {
    const std::pair<std::wstring, std::wstring> texts[] = {
        {velmi::kAppTitle, L"Velmi"},
        {std::wstring(velmi::kCaptionPrefix), L"Scheduled items for "},
        {std::wstring(velmi::kAlarmPrefix), L"Alarm went off at "},
        {std::wstring(velmi::kTimerPrefix), L"Timer went off at "},
        {velmi::kTimerPrompt, L"Enter number of minutes for timer"},
        {velmi::kCountdownsFullText, L"Ten countdowns are already running"},
        {velmi::kSecondCopyText,
         L"Only one copy of Tolvane Schedule can be executed,  already open on this machine"},
        {velmi::kSingleInstanceName, L"Local\\Tolvane.Velmi.OneCopy"},
        {std::wstring(velmi::kAboutText).substr(0, 39),
         L"Text1\r\nVersion 2.0 - October 26, 1999\r\n"},
        {nuv::kMessageTitle, L"Ruviruve"},
        {nuv::kInvalidDateText, L"Invalid date"},
        // The calendar's labels before its first date.
        {nuv::Face{}.monthLabel, L"Label3"},
        {nuv::Face{}.yearLabel, L"Year"},
    };
    for (const auto& [text, expected] : texts)
        EXPECT_EQ(text, expected);
}

}  // namespace
