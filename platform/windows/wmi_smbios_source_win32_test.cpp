// The real WMI fetch and firmware table call, as far as the machine running the test answers
// them, and the WMI fetch's balance of COM initialisation in each kind of thread.
#include "platform/windows/wmi_smbios_source_win32.h"

#include <objbase.h>
#include <windows.h>

#include <thread>

#include <gtest/gtest.h>

#include "platform/system_sources.h"
#include "platform/windows/rsmb_table.h"
#include "platform/windows/smbios_fallback.h"
#include "platform/windows/wmi_smbios_query.h"
#include "platform/windows/wmi_smbios_session_win32.h"

namespace {

bool RunsUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

platform::RawSmbios ReadOnce() {
    return platform::MakeWmiSmbiosSource()->ReadTables();
}

// Runs `body` on a thread of its own, so that each case starts without COM.
template <typename F>
void OnNewThread(F body) {
    std::thread thread(body);
    thread.join();
}

TEST(WmiSmbiosSource, AnswersAsTheMachineDoes) {
    platform::RawSmbios raw;
    OnNewThread([&] { raw = ReadOnce(); });
    if (!raw.bReached && RunsUnderWine()) {
        // Wine starts its WMI service on the first query; on a busy machine that can take
        // longer than the bound the source keeps, which then gives up as it should.
        GTEST_SKIP() << "Wine's WMI service did not answer within the source's time bound";
    }
    EXPECT_TRUE(raw.bReached);
    if (RunsUnderWine()) {
        // Wine has one instance whose versions are missing; the data is never asked for.
        EXPECT_FALSE(raw.major);
        EXPECT_FALSE(raw.minor);
        EXPECT_FALSE(raw.table);
    } else if (raw.table) {
        EXPECT_TRUE(raw.major && raw.minor);
        EXPECT_LE(raw.table->size(), platform::kWmiMaxHandedUpBytes);
    }
}

TEST(WmiSmbiosSource, WineSessionStepByStep) {
    if (!RunsUnderWine()) GTEST_SKIP() << "only Wine's answers are known in advance";
    OnNewThread([] {
        platform::CWmiRawSmbiosSession session;
        ASSERT_TRUE(session.Connect());
        ASSERT_TRUE(session.NextInstance());
        EXPECT_FALSE(session.GetByte(platform::kWmiMajorVersionProperty));
        EXPECT_FALSE(session.GetByte(platform::kWmiMinorVersionProperty));
        // SMBiosData is VT_NULL there.
        EXPECT_FALSE(session.GetBytes(platform::kWmiTableDataProperty));
        EXPECT_FALSE(session.GetByte("NoSuchProperty"));
        EXPECT_FALSE(session.NextInstance());
        EXPECT_FALSE(session.GetBytes(platform::kWmiTableDataProperty));
    });
}

TEST(WmiSmbiosSource, LeavesEachThreadInTheApartmentItFound) {
    // Whether or not WMI answers within its bound, the caller's apartment is left as found.
    // No COM before: none after (our initialisation was balanced).
    OnNewThread([] {
        (void)ReadOnce();
        const HRESULT again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(again, S_OK);
        if (SUCCEEDED(again)) CoUninitialize();
    });
    // Already multithreaded: still so after, with the caller's one count.
    OnNewThread([] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        (void)ReadOnce();
        const HRESULT again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(again, S_FALSE);
        if (SUCCEEDED(again)) CoUninitialize();
        CoUninitialize();
    });
    // A single-threaded apartment made by someone else: the fetch goes on in it and does not
    // end it.
    OnNewThread([] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        (void)ReadOnce();
        const HRESULT again = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        EXPECT_EQ(again, S_FALSE);
        if (SUCCEEDED(again)) CoUninitialize();
        CoUninitialize();
    });
}

TEST(RsmbSmbiosSource, TheMachinesTableAndTheSystemSourceThatFallsBackToIt) {
    // Windows has the call since Vista and Wine answers it with a table of its own making.
    const platform::RawSmbios rsmb =
        platform::MakeRsmbSmbiosSource(platform::MakeWin32FirmwareTables())->ReadTables();
    ASSERT_TRUE(rsmb.bReached);
    ASSERT_TRUE(rsmb.major && rsmb.minor && rsmb.table);
    EXPECT_GE(*rsmb.major, 2);
    EXPECT_FALSE(rsmb.table->empty());
    // The first structure's Length byte lies inside the table.
    ASSERT_GE(rsmb.table->size(), 4u);
    EXPECT_LE((*rsmb.table)[1], rsmb.table->size());

    platform::RawSmbios wmi;
    OnNewThread([&] { wmi = ReadOnce(); });
    const platform::RawSmbios chosen = platform::MakeSystemSmbiosSource()->ReadTables();
    // WMI's table when it has one the decoder takes (Windows), the call's otherwise (Wine).
    const platform::RawSmbios& expected = platform::HasUsableTable(wmi) ? wmi : rsmb;
    EXPECT_TRUE(chosen.bReached);
    EXPECT_EQ(chosen.major, expected.major);
    EXPECT_EQ(chosen.minor, expected.minor);
    EXPECT_EQ(chosen.table, expected.table);
}

}  // namespace
