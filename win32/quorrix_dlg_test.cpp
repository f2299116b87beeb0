// The main dialog, made from template 102 over the sample laptop and driven as a user drives
// it: its pages against the page builders, the summary run, the test entry, the keys.
#include "win32/quorrix_dlg.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <thread>

#include <cstdlib>
#include <optional>
#include <span>

#include "base/utf8_path.h"
#include "pages/dialog_texts.h"
#include "pages/page_dispatch.h"
#include "pages/report_text.h"
#include "platform/file_io.h"
#include "platform/process_runner.h"
#include "platform/system_sources.h"
#include "tests/support/temp_dir.h"
#include "text/gbk.h"
#include "win32/dialog_test_fixture.h"
#include "win32/pixel_test_wnd.h"

namespace wintest {
namespace {

using std::chrono::milliseconds;
using win32::Utf8ToWide;

// The save-report item of the system menu, with the save dialog replaced: the file holds the
// report of the sources the dialog read at start-up, as Notepad reads it.
TEST_F(DialogTest, SaveReportItemWritesTheReportWhereChosen) {
    testsupport::CTempDir dir;
    const std::string chosen = base::Utf8Of(dir.Path() / std::filesystem::path(u8"验机报告.txt"));
    std::vector<std::string> suggested;
    DialogSeams seams = machine.Seams();
    seams.chooseReportPath = [&](const std::string& name) {
        suggested.push_back(name);
        return chosen;
    };
    std::vector<Notice> seen;
    CQuorrixDlg saving(seams, [&seen](std::string_view text, std::string_view caption) {
        seen.push_back({std::string(text), std::string(caption)});
    });
    HWND hSaving = saving.Create(nullptr);
    ASSERT_NE(hSaving, nullptr);
    const int reads = machine.smbios.Reads();
    SendMessageW(hSaving, WM_SYSCOMMAND, IDM_SAVEREPORT, 0);

    ASSERT_EQ(suggested.size(), 1u);
    EXPECT_TRUE(suggested[0].starts_with("Quorrix-PF1XAMPL-")) << suggested[0];
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(machine.smbios.Reads(), reads);
    const auto bytes = platform::ReadFileBytes(chosen, 1 << 20);
    ASSERT_TRUE(bytes);
    const std::string saved(bytes->begin(), bytes->end());
    // A byte order mark, the first line, then the report as quorrix-report prints it, CR LF.
    ASSERT_TRUE(saved.starts_with("\xEF\xBB\xBF" + std::string(pages::kReportHeading)));
    const std::string report = pages::ReportOfEveryPage(
        {&saving.m_smbios, &saving.m_hdSmart, &saving.m_battery, &saving.m_panel});
    std::string crlf;
    for (char c : report) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(saved.substr(saved.find("\r\n") + 2), crlf);
    EXPECT_NE(report.find("PF1XAMPL"), std::string::npos);
}

TEST_F(DialogTest, OpensOnTheWelcomeText) {
    EXPECT_EQ(TextOf(hDlg), Utf8ToWide(pages::kDialogTitle));
    EXPECT_EQ(TextOf(hDlg), L"Quorrix V2.0");
    EXPECT_EQ(Caption(), L"欢迎使用");
    EXPECT_EQ(Caption(), Utf8ToWide(pages::kWelcomeCaption));
    EXPECT_EQ(PaneBytes(), text::Utf8ToGbk(pages::kWelcomeText));
    EXPECT_EQ(TextOf(hPane).rfind(L"说明：\r\n本工具主要获得笔记本电脑", 0), 0u);

    // The sorted list keeps the table's order: the lettered entries come after the numbered.
    ASSERT_EQ(SendMessageW(hList, LB_GETCOUNT, 0, 0), 12);
    const std::vector<std::wstring> entries = {
        L"1BIOS信息", L"2整机信息", L"3处理器信息",     L"4主板信息",   L"5内存信息", L"6硬盘信息",
        L"7电池信息", L"8其它信息", L"9显示器坏点测试", L"A显示屏信息", L"B键盘测试", L"C验机结论"};
    for (int i = 0; i < 12; ++i) {
        std::wstring entry(static_cast<std::size_t>(SendMessageW(hList, LB_GETTEXTLEN, i, 0)),
                           L'\0');
        SendMessageW(hList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(entry.data()));
        EXPECT_EQ(entry, entries[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_EQ(SendMessageW(hList, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(GetFocus(), hList);
    EXPECT_TRUE(dlg->m_pages.m_strBiosPage.empty());
    EXPECT_TRUE(machine.runner.CommandLines().empty());
    EXPECT_TRUE(notices.empty());

    // Both icons are the application's icon.
    ASSERT_NE(dlg->m_hIcon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(hDlg, WM_GETICON, ICON_BIG, 0)), dlg->m_hIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(hDlg, WM_GETICON, ICON_SMALL, 0)), dlg->m_hIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(hDlg, WM_QUERYDRAGICON, 0, 0)), dlg->m_hIcon);
}

TEST_F(DialogTest, LaidOutAsTheTemplateSays) {
    // The client area and the controls, in dialog units of the dialog's font (origin and
    // size each mapped on its own, as the dialog manager maps them).
    const auto mapped = [this](int x, int y, int w, int h) {
        RECT origin{x, y, x, y};
        RECT size{0, 0, w, h};
        MapDialogRect(hDlg, &origin);
        MapDialogRect(hDlg, &size);
        return RECT{origin.left, origin.top, origin.left + size.right, origin.top + size.bottom};
    };
    const auto placed = [this](HWND hControl) {
        RECT r{};
        GetWindowRect(hControl, &r);
        MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const auto same = [](RECT a, RECT b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    RECT client{};
    GetClientRect(hDlg, &client);
    EXPECT_TRUE(same(client, mapped(0, 0, 462, 293)));
    EXPECT_TRUE(same(placed(hList), mapped(7, 7, 69, 278)));
    EXPECT_TRUE(same(placed(hFrame), mapped(79, 7, 377, 278)));
    EXPECT_TRUE(same(placed(hPane), mapped(83, 18, 369, 263)));
    // 宋体 9 point: 6 by 16 pixels a character under Wine (the dialog maps to 693 x 586).
    EXPECT_EQ(client.right, 693);
    EXPECT_EQ(client.bottom, 586);

    const LONG listStyle = GetWindowLongW(hList, GWL_STYLE);
    EXPECT_TRUE((listStyle & LBS_SORT) == LBS_SORT && (listStyle & LBS_NOTIFY));
    const LONG paneStyle = GetWindowLongW(hPane, GWL_STYLE);
    EXPECT_TRUE((paneStyle & ES_MULTILINE) && (paneStyle & ES_READONLY) &&
                (paneStyle & WS_VSCROLL) && (paneStyle & ES_AUTOHSCROLL));
    EXPECT_FALSE(paneStyle & WS_BORDER);
    EXPECT_EQ(ClassOf(hFrame), L"Button");
    EXPECT_EQ(GetWindowLongW(hFrame, GWL_STYLE) & 0x0F, BS_GROUPBOX);
    const LONG style = GetWindowLongW(hDlg, GWL_STYLE);
    EXPECT_TRUE((style & WS_SYSMENU) && (style & WS_CAPTION));
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(GetWindowLongW(hDlg, GWL_EXSTYLE) & WS_EX_APPWINDOW);

    // Centred in the primary screen's work area.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT window{};
    GetWindowRect(hDlg, &window);
    EXPECT_LE(std::abs((window.left + window.right) - (work.left + work.right)), 1);
    EXPECT_LE(std::abs((window.top + window.bottom) - (work.top + work.bottom)), 1);
}

TEST_F(DialogTest, EveryTextPageIsWhatItsBuilderMakes) {
    // The same machine read a second time, independently of the dialog.
    testsupport::CSampleMachine again;
    CSMBios smbios(again.smbios, [](std::string_view, std::string_view) {});
    CHdSmart hdSmart(again.drives);
    CBatteryInfo battery(again.batteries);
    pages::CPageStrings strings;
    for (int row = 0; row < pages::kTextPageCount; ++row) {
        const std::string expected =
            pages::BuildTextPage(row, {&smbios, &hdSmart, &battery}, &strings);
        NotifyDoubleClick(row);
        EXPECT_EQ(Caption(), Utf8ToWide(pages::CaptionOf(row))) << row;
        EXPECT_EQ(PaneBytes(), expected) << row;
        EXPECT_EQ(TextOf(hPane), win32::GbkToWide(expected)) << row;
    }
    EXPECT_EQ(dlg->m_pages.m_strSmbiosVersion, "3.2");
    // The battery page also carries the firmware's battery record.
    NotifyDoubleClick(pages::kBatteryPage);
    EXPECT_NE(TextOf(hPane).find(L"15.440000V"), std::wstring::npos);
    EXPECT_TRUE(notices.empty());
}

TEST_F(DialogTest, EveryCategoryByMouseDoubleClick) {
    testsupport::CSampleMachine again;
    CSMBios smbios(again.smbios, [](std::string_view, std::string_view) {});
    CHdSmart hdSmart(again.drives);
    CBatteryInfo battery(again.batteries);
    pages::CPageStrings strings;
    for (int row = 0; row < pages::kTextPageCount; ++row) {
        MouseDoubleClick(row);
        EXPECT_EQ(SendMessageW(hList, LB_GETCURSEL, 0, 0), row);
        EXPECT_EQ(Caption(), Utf8ToWide(pages::CaptionOf(row))) << row;
        EXPECT_EQ(PaneBytes(), pages::BuildTextPage(row, {&smbios, &hdSmart, &battery}, &strings))
            << row;
    }
    // The summary: the scripted output, whole.
    MouseDoubleClick(pages::kSummaryPage);
    EXPECT_EQ(Caption(), L"其它信息");
    std::string summary;
    for (const std::string& piece : testsupport::SampleSummaryPieces()) summary += piece;
    EXPECT_EQ(PaneBytes(), summary);
    ASSERT_EQ(machine.runner.CommandLines().size(), 1u);

    // The test window, after the hint.
    MouseDoubleClick(pages::kPixelTest);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(CPixelTestWnd::LiveCount(), 1);
    EXPECT_EQ(Caption(), L"其它信息") << "the test leaves the caption alone";
    EXPECT_EQ(PaneBytes(), summary) << "and the page";
    DestroyWindow(hDlg);  // the test window goes with its owner
    EXPECT_EQ(CPixelTestWnd::LiveCount(), 0);
}

TEST_F(DialogTest, SingleClicksAndArrowKeysBuildNothing) {
    const std::wstring before = TextOf(hPane);
    Click(RowPoint(3));
    Pump(milliseconds(600), hDlg);  // longer than a double-click's interval
    EXPECT_EQ(SendMessageW(hList, LB_GETCURSEL, 0, 0), 3);
    Click(RowPoint(3));
    Pump(milliseconds(100), hDlg);
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_UP);
    Pump(milliseconds(100), hDlg);
    EXPECT_EQ(SendMessageW(hList, LB_GETCURSEL, 0, 0), 4);
    // A right double-click is no double-click for the list.
    Click(RowPoint(1), true);
    Click(RowPoint(1), true);
    Pump(milliseconds(100), hDlg);
    EXPECT_EQ(Caption(), L"欢迎使用");
    EXPECT_EQ(TextOf(hPane), before);
    EXPECT_TRUE(dlg->m_pages.m_strMemoryPage.empty());
    EXPECT_TRUE(dlg->m_pages.m_strBoardPage.empty());
    EXPECT_TRUE(IsWindow(hDlg));
}

TEST_F(DialogTest, DoubleClickWithNothingSelectedDoesNothing) {
    const std::wstring before = TextOf(hPane);
    SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_LIST, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(hList));
    EXPECT_EQ(Caption(), L"欢迎使用");
    EXPECT_EQ(TextOf(hPane), before);
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(CPixelTestWnd::LiveCount(), 0);
}

TEST_F(DialogTest, SummaryStreamsEachPieceUnderTheWaitCaption) {
    NotifyDoubleClick(pages::kDiskPage);
    const std::string diskPage = PaneBytes();
    // Each pause comes right after a piece was shown: what the window shows then.
    std::vector<std::wstring> captions;
    std::vector<std::string> panes;
    machine.onPause = [&] {
        captions.push_back(Caption());
        panes.push_back(PaneBytes());
    };
    NotifyDoubleClick(pages::kSummaryPage);

    const std::vector<std::string> pieces = testsupport::SampleSummaryPieces();
    ASSERT_EQ(panes.size(), pieces.size());
    std::string sofar;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        sofar += pieces[i];
        EXPECT_EQ(captions[i], L"处理中，请稍候...") << i;
        EXPECT_EQ(panes[i], sofar) << i;
        EXPECT_EQ(machine.pauses[i], milliseconds(1000)) << i;
    }
    EXPECT_EQ(Caption(), L"其它信息");
    EXPECT_EQ(PaneBytes(), sofar);
    EXPECT_NE(sofar, diskPage);
    ASSERT_EQ(machine.runner.CommandLines().size(), 1u);
    EXPECT_EQ(machine.runner.CommandLines()[0], machine.Seams().strSummaryCommand);
    EXPECT_FALSE(machine.runner.PipeOpen()) << "the pipe is closed after the run";
    // Every read asked for at most 4095 bytes.
    for (std::size_t n : machine.runner.ReadSizes()) EXPECT_EQ(n, 4095u);

    // A second run starts from nothing.
    panes.clear();
    NotifyDoubleClick(pages::kSummaryPage);
    ASSERT_FALSE(panes.empty());
    EXPECT_EQ(panes[0], pieces[0]);
    EXPECT_TRUE(notices.empty());
}

// A runner that lets the test look at the window each time the dialog waits for output.
class CObservedRunner final : public platform::IProcessRunner {
public:
    CObservedRunner(platform::IProcessRunner& inner, std::function<void()> onRead)
        : m_inner(inner), m_onRead(std::move(onRead)) {}
    bool OpenPipe(std::string* err) override { return m_inner.OpenPipe(err); }
    bool Start(const std::string& commandLine, std::string* err) override {
        return m_inner.Start(commandLine, err);
    }
    std::optional<std::size_t> Read(std::span<char> buffer) override {
        m_onRead();
        return m_inner.Read(buffer);
    }
    void Terminate() override { m_inner.Terminate(); }
    void Close() override { m_inner.Close(); }

private:
    platform::IProcessRunner& m_inner;
    std::function<void()> m_onRead;
};

TEST_F(DialogTest, TheWaitCaptionIsPaintedBeforeAnyOutput) {
    // The strip of the frame above the pane, where the caption is drawn.
    RECT strip{};
    RECT pane{};
    GetWindowRect(hFrame, &strip);
    GetWindowRect(hPane, &pane);
    strip.bottom = pane.top;
    MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&strip), 2);

    // The same captions drawn on a dialog of their own, for comparison; it and the dialog
    // watched below are placed apart so that neither covers the other's strip.
    ShowWindow(hDlg, SW_HIDE);
    testsupport::CSampleMachine other;
    CQuorrixDlg reference(other.Seams(), [](std::string_view, std::string_view) {});
    HWND hReference = reference.Create(nullptr);
    ASSERT_NE(hReference, nullptr);
    SetWindowPos(hReference, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const auto drawn = [&](const wchar_t* caption) {
        SetWindowTextW(GetDlgItem(hReference, IDC_STATIC), caption);
        RedrawWindow(hReference, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        return CaptureClient(hReference, strip);
    };

    // While the dialog waits for the command's first output, and for each later piece, the
    // handler still runs: only what it painted itself is on the screen.
    std::vector<Pixels> waiting;
    HWND hWatched = nullptr;
    CObservedRunner observed(machine.runner,
                             [&] { waiting.push_back(CaptureClient(hWatched, strip)); });
    DialogSeams seams = machine.Seams();
    CQuorrixDlg watched(
        DialogSeams{seams.smbiosSource, seams.drives, seams.batteries, seams.panelEdid, observed,
                    seams.pause, seams.strSummaryCommand},
        [](std::string_view, std::string_view) {});
    hWatched = watched.Create(nullptr);
    ASSERT_NE(hWatched, nullptr);
    SetWindowPos(hWatched, nullptr,
                 GetSystemMetrics(SM_CXSCREEN) - (strip.right - strip.left) - strip.left - 10, 200,
                 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump(milliseconds(50));
    HWND hWatchedList = GetDlgItem(hWatched, IDC_CATEGORY_LIST);
    SendMessageW(hWatchedList, LB_SETCURSEL, pages::kSummaryPage, 0);
    SendMessageW(hWatched, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_LIST, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(hWatchedList));
    ASSERT_EQ(waiting.size(), testsupport::SampleSummaryPieces().size() + 1);
    const Pixels wait = drawn(L"处理中，请稍候...");
    for (std::size_t i = 0; i < waiting.size(); ++i) {
        EXPECT_EQ(waiting[i], wait) << "read " << i << ": the wait caption, drawn";
    }
    EXPECT_NE(wait, drawn(L"欢迎使用"));
    // Afterwards the summary's caption, with nothing of the longer one left.
    RedrawWindow(hWatched, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(CaptureClient(hWatched, strip), drawn(L"其它信息"));
}

TEST_F(DialogTest, FailedRunsSayWhyAndLeaveThePane) {
    NotifyDoubleClick(pages::kBoardPage);
    const std::wstring board = TextOf(hPane);

    machine.runner.FailPipe();
    NotifyDoubleClick(pages::kSummaryPage);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].strText, "CreatePipe Failed");
    // The application's name: this program's file name without ".exe".
    EXPECT_EQ(notices[0].strCaption, "quorrix_win32_tests");
    EXPECT_EQ(Caption(), L"其它信息");
    EXPECT_EQ(TextOf(hPane), board);

    machine.runner.FailPipe(false);
    machine.runner.FailStart();
    NotifyDoubleClick(pages::kSummaryPage);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[1].strText, "CreateProcess failed!");
    EXPECT_EQ(notices[1].strCaption, "quorrix_win32_tests");
    EXPECT_EQ(Caption(), L"其它信息");
    EXPECT_EQ(TextOf(hPane), board);
    EXPECT_FALSE(machine.runner.PipeOpen()) << "both ends closed after the failed start";
}

TEST_F(DialogTest, TheTestEntryShowsTheHintThenATestWindowEachTime) {
    NotifyDoubleClick(pages::kProcessorPage);
    const std::wstring page = TextOf(hPane);
    int windowsAtHint = -1;
    onNotice = [&] { windowsAtHint = CPixelTestWnd::LiveCount(); };
    NotifyDoubleClick(pages::kPixelTest);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].strText, text::Utf8ToGbk("退出测试请按ESC键"));
    EXPECT_EQ(notices[0].strCaption, text::Utf8ToGbk("提示"));
    EXPECT_EQ(windowsAtHint, 0) << "the hint comes first";
    EXPECT_EQ(CPixelTestWnd::LiveCount(), 1);

    // The test window: owned by the dialog, over the whole screen.
    HWND hTest = nullptr;
    for (HWND hWnd : ThreadWindows()) {
        if (GetWindow(hWnd, GW_OWNER) == hDlg) hTest = hWnd;
    }
    ASSERT_NE(hTest, nullptr);
    RECT r{};
    GetWindowRect(hTest, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(Caption(), L"处理器信息");
    EXPECT_EQ(TextOf(hPane), page);

    NotifyDoubleClick(pages::kPixelTest);
    EXPECT_EQ(notices.size(), 2u);
    EXPECT_EQ(CPixelTestWnd::LiveCount(), 2) << "a new window each time";
    DestroyWindow(hDlg);
    EXPECT_EQ(CPixelTestWnd::LiveCount(), 0) << "both went with their owner, objects and all";
}

// The summary through cmd.exe: the real runner of the Windows build.
TEST_F(DialogTest, RealCommandOutputArrivesWholeAndNoHandleIsLeft) {
    const auto runner = platform::MakeSystemProcessRunner();
    std::vector<std::chrono::milliseconds> pauses;
    const DialogSeams seams{machine.smbios,
                            machine.drives,
                            machine.batteries,
                            machine.panel,
                            *runner,
                            [&](std::chrono::milliseconds pause) { pauses.push_back(pause); },
                            "echo alpha& echo beta& echo gamma 1>&2"};
    CQuorrixDlg real(seams, [this](std::string_view text, std::string_view caption) {
        notices.push_back({std::string(text), std::string(caption)});
    });
    HWND hReal = real.Create(nullptr);
    ASSERT_NE(hReal, nullptr);
    HWND hRealList = GetDlgItem(hReal, IDC_CATEGORY_LIST);
    const auto run = [&] {
        SendMessageW(hRealList, LB_SETCURSEL, pages::kSummaryPage, 0);
        SendMessageW(hReal, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_LIST, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(hRealList));
    };
    run();  // the first run loads what the later ones reuse
    EXPECT_EQ(TextOf(GetDlgItem(hReal, IDC_PAGE_EDIT)), L"alpha\r\nbeta\r\ngamma \r\n");
    EXPECT_EQ(TextOf(GetDlgItem(hReal, IDC_STATIC)), L"其它信息");
    EXPECT_FALSE(pauses.empty());
    DWORD before = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &before));
    for (int i = 0; i < 5; ++i) run();
    DWORD after = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &after));
    EXPECT_EQ(after, before) << "pipes, process and thread handles are all closed";
    EXPECT_TRUE(notices.empty());
}

// The slow stand-in command, as the interpreter reaches it under Wine.
std::string SlowOutputCommand(const std::string& arguments) {
    std::string path = QUORRIX_SLOW_OUTPUT_PATH;
    if (path.starts_with('/')) path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path + " " + arguments;
}

// The real runner and a slow command: the window answers throughout the run, and closing it
// ends the command and leaves no handle behind.
TEST_F(DialogTest, SummaryKeepsTheWindowAnsweringAndClosingEndsTheCommand) {
    const auto runner = platform::MakeSystemProcessRunner();
    const DialogSeams seams{machine.smbios,
                            machine.drives,
                            machine.batteries,
                            machine.panel,
                            *runner,
                            {},
                            SlowOutputCommand("30 200")};
    auto live = std::make_unique<CQuorrixDlg>(
        seams, [](std::string_view text, std::string_view) { ADD_FAILURE() << text; });
    HWND hLive = live->Create(nullptr);
    ASSERT_NE(hLive, nullptr);
    ShowWindow(hLive, SW_SHOW);
    Pump(milliseconds(50), hLive);
    HWND hLiveList = GetDlgItem(hLive, IDC_CATEGORY_LIST);
    DWORD handlesBefore = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &handlesBefore));

    // Another thread asks the window every 50 ms; after 1.5 s it asks for another category,
    // then closes the window.
    std::atomic<bool> stop = false;
    std::atomic<long long> longestMs = 0;
    std::atomic<int> answers = 0;
    std::wstring captionDuringRun;
    std::thread asker([&] {
        const auto begin = std::chrono::steady_clock::now();
        bool closed = false;
        while (!stop) {
            const auto sent = std::chrono::steady_clock::now();
            DWORD_PTR result = 0;
            if (SendMessageTimeoutW(hLive, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result) != 0) {
                const auto ms = std::chrono::duration_cast<milliseconds>(
                                    std::chrono::steady_clock::now() - sent)
                                    .count();
                longestMs = std::max(longestMs.load(), static_cast<long long>(ms));
                ++answers;
            }
            if (!closed && std::chrono::steady_clock::now() - begin > milliseconds(1500)) {
                captionDuringRun = TextOf(GetDlgItem(hLive, IDC_STATIC));
                SendMessageW(hLiveList, LB_SETCURSEL, 1, 0);
                SendMessageW(hLive, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_LIST, LBN_DBLCLK),
                             reinterpret_cast<LPARAM>(hLiveList));
                PostMessageW(hLive, WM_CLOSE, 0, 0);
                closed = true;
            }
            std::this_thread::sleep_for(milliseconds(50));
        }
    });
    const auto started = std::chrono::steady_clock::now();
    SendMessageW(hLiveList, LB_SETCURSEL, pages::kSummaryPage, 0);
    SendMessageW(hLive, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_LIST, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(hLiveList));
    const auto took = std::chrono::steady_clock::now() - started;
    stop = true;
    asker.join();

    EXPECT_EQ(captionDuringRun, L"处理中，请稍候...");
    EXPECT_GT(answers.load(), 10);
    EXPECT_LT(longestMs.load(), 200);
    EXPECT_LT(took, std::chrono::seconds(4)) << "the close cut the six-second command short";
    EXPECT_FALSE(IsWindow(hLive)) << "the window closed once the run had ended";
    EXPECT_TRUE(live->m_pages.m_strSystemPage.empty()) << "no other category during the run";
    live.reset();
    DWORD handlesAfter = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &handlesAfter));
    EXPECT_EQ(handlesAfter, handlesBefore);
}

// Under a Traditional Chinese system (OEM code page 950) the command writes Big5; the pane
// shows its characters.
TEST_F(DialogTest, SummaryOutputInTheOemCodePage) {
    if (GetOEMCP() != 950) GTEST_SKIP() << "OEM code page " << GetOEMCP() << ", not 950";
    const auto runner = platform::MakeSystemProcessRunner();
    const DialogSeams seams{machine.smbios,
                            machine.drives,
                            machine.batteries,
                            machine.panel,
                            *runner,
                            [](milliseconds) {},
                            SlowOutputCommand("1 0 A544BEF7A657BAD93A200D0A")};
    CQuorrixDlg live(seams, [](std::string_view text, std::string_view) { ADD_FAILURE() << text; });
    HWND hLive = live.Create(nullptr);
    ASSERT_NE(hLive, nullptr);
    HWND hLiveList = GetDlgItem(hLive, IDC_CATEGORY_LIST);
    SendMessageW(hLiveList, LB_SETCURSEL, pages::kSummaryPage, 0);
    SendMessageW(hLive, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_LIST, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(hLiveList));
    EXPECT_EQ(TextOf(GetDlgItem(hLive, IDC_PAGE_EDIT)), L"主機名稱: \r\n");
    DestroyWindow(hLive);
}

}  // namespace
}  // namespace wintest
