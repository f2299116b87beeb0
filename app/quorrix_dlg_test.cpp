#include "app/quorrix_dlg.h"

#include <QApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "app/about_dlg.h"
#include "pages/dialog_texts.h"
#include "pages/page_dispatch.h"
#include "pages/report_text.h"
#include "pixeltest/pixel_test_wnd.h"
#include "platform/linux/process_runner.h"
#include "platform/system_sources.h"
#include "tests/support/sample_machine.h"
#include "tests/support/temp_dir.h"
#include "text/gbk.h"

namespace {

QString Utf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Page text as the pane shows it: Unicode, LF line breaks.
QString Shown(const std::string& gbk) {
    return Utf8(text::GbkToUtf8(gbk)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// The pane's text back in page bytes (GBK, CR LF), to compare with what a builder produced.
std::string PaneBytes(const QPlainTextEdit* pane) {
    std::string utf8 = pane->toPlainText().toStdString();
    std::string crlf;
    for (char c : utf8) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    return text::Utf8ToGbk(crlf);
}

// Counts the paint events of the widget it filters.
class CPaintCounter : public QObject {
public:
    explicit CPaintCounter(int* count) : m_pCount(count) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++*m_pCount;
        return false;
    }
    int* m_pCount;
};

struct Notice {
    std::string strText;     // GBK
    std::string strCaption;  // GBK
};

// The dialog over the sample machine, shown, with its three controls at hand. Message boxes
// are recorded instead of shown.
class DialogTest : public ::testing::Test {
protected:
    DialogTest()
        : dlg(machine.Seams(),
              [this](std::string_view text, std::string_view caption) {
                  notices.push_back({std::string(text), std::string(caption)});
                  if (onNotice) onNotice();
              }),
          list(dlg.findChild<QListWidget*>()),
          frame(dlg.findChild<QGroupBox*>()),
          pane(dlg.findChild<QPlainTextEdit*>()) {}

    void SetUp() override {
        ASSERT_TRUE(list && frame && pane);
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    }

    // A left double-click on the list's window-relative point, delivered as the window
    // system does (press, release, double-click, release).
    void DoubleClickAt(QPoint inViewport) {
        const QPoint inWindow = list->viewport()->mapTo(&dlg, inViewport);
        QTest::mouseDClick(dlg.windowHandle(), Qt::LeftButton, Qt::NoModifier, inWindow);
    }
    void DoubleClickRow(int row) { DoubleClickAt(list->visualItemRect(list->item(row)).center()); }
    // Below the last entry, where there is no entry.
    QPoint Empty() const {
        return QPoint(list->viewport()->width() / 2, list->viewport()->height() - 3);
    }
    QString Caption() const { return frame->title(); }

    testsupport::CSampleMachine machine;
    std::vector<Notice> notices;
    std::function<void()> onNotice;
    CQuorrixDlg dlg;
    QListWidget* list;
    QGroupBox* frame;
    QPlainTextEdit* pane;
};

TEST_F(DialogTest, OpensOnTheWelcomeText) {
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Quorrix V2.0"));
    EXPECT_EQ(Caption(), QStringLiteral("欢迎使用"));
    EXPECT_EQ(PaneBytes(pane), text::Utf8ToGbk(pages::kWelcomeText));
    EXPECT_TRUE(pane->toPlainText().startsWith(QStringLiteral("说明：\n本工具主要获得笔记本电脑")));
    EXPECT_TRUE(
        pane->toPlainText().endsWith(QStringLiteral("有问题请反馈：feedback@quorrix.invalid")));
    EXPECT_TRUE(pane->isReadOnly());
    EXPECT_EQ(pane->lineWrapMode(), QPlainTextEdit::NoWrap);

    // The sorted list keeps the table's order: the lettered entries come after the numbered.
    ASSERT_EQ(list->count(), 12);
    const QStringList entries = {"1BIOS信息",       "2整机信息",   "3处理器信息", "4主板信息",
                                 "5内存信息",       "6硬盘信息",   "7电池信息",   "8其它信息",
                                 "9显示器坏点测试", "A显示屏信息", "B键盘测试",   "C验机结论"};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(list->item(i)->text(), entries[i]) << i;
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), list);
    // Nothing was built or run yet, and no box was shown.
    EXPECT_TRUE(dlg.m_pages.m_strBiosPage.empty());
    EXPECT_TRUE(dlg.m_pages.m_strSmbiosVersion.empty());
    EXPECT_TRUE(machine.runner.CommandLines().empty());
    EXPECT_TRUE(notices.empty());

    // Fixed size, centred on the primary screen, and the icon in its three sizes.
    EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize());
    const QPoint offCentre = dlg.frameGeometry().center() -
                             QGuiApplication::primaryScreen()->availableGeometry().center();
    // The frame's size is known only once the window exists, after it was placed.
    const QSize border = dlg.frameGeometry().size() - dlg.size();
    EXPECT_LE(offCentre.manhattanLength(), border.width() + border.height() + 2);
    const QList<QSize> sizes = dlg.windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32)) &&
                sizes.contains(QSize(48, 48)));
}

TEST_F(DialogTest, SingleClicksAndKeyboardMovesBuildNothing) {
    const QString before = pane->toPlainText();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->item(3)).center());
    EXPECT_EQ(list->currentRow(), 3);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(list->selectedItems().value(0), list->item(4));
    // A right double-click is no double-click for the list either (its presses open the
    // context menu, closed here at once).
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    });
    closer.start(10);
    QTest::mouseDClick(dlg.windowHandle(), Qt::RightButton, Qt::NoModifier,
                       list->viewport()->mapTo(&dlg, list->visualItemRect(list->item(1)).center()));
    closer.stop();
    EXPECT_EQ(Caption(), QStringLiteral("欢迎使用"));
    EXPECT_EQ(pane->toPlainText(), before);
    EXPECT_TRUE(dlg.m_pages.m_strMemoryPage.empty());
    EXPECT_TRUE(dlg.m_pages.m_strSystemPage.empty());
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(DialogTest, EachTextPageShowsExactlyWhatItsBuilderMakes) {
    // The same machine read a second time, independently of the dialog.
    testsupport::CSampleMachine again;
    CSMBios smbios(again.smbios, [](std::string_view, std::string_view) {});
    CHdSmart hdSmart(again.drives);
    CBatteryInfo batteryInfo(again.batteries);
    pages::CPageStrings strings;
    for (int row = 0; row < pages::kTextPageCount; ++row) {
        const std::string expected =
            pages::BuildTextPage(row, {&smbios, &hdSmart, &batteryInfo}, &strings);
        DoubleClickRow(row);
        EXPECT_EQ(Caption(), Utf8(pages::CaptionOf(row))) << row;
        EXPECT_EQ(PaneBytes(pane), expected) << row;
        EXPECT_EQ(pane->toPlainText(), Shown(expected)) << row;
    }
    EXPECT_EQ(Caption(), QStringLiteral("电池信息"));
    EXPECT_TRUE(pane->toPlainText().contains(QStringLiteral("15.440000V")));
    EXPECT_EQ(dlg.m_pages.m_strSmbiosVersion, "3.2");
    EXPECT_TRUE(notices.empty());
}

TEST_F(DialogTest, DoubleClickActsOnTheSelectionOnly) {
    // Nothing selected: a double-click below the entries does nothing.
    DoubleClickAt(Empty());
    EXPECT_EQ(Caption(), QStringLiteral("欢迎使用"));
    EXPECT_EQ(PaneBytes(pane), text::Utf8ToGbk(pages::kWelcomeText));
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_TRUE(notices.empty());
    EXPECT_TRUE(machine.runner.CommandLines().empty());
    EXPECT_TRUE(dlg.findChildren<CPixelTestWnd*>().isEmpty());
    // The entry double-clicked is the one shown, whatever was selected before.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->item(3)).center());
    DoubleClickRow(1);
    EXPECT_EQ(Caption(), QStringLiteral("整机信息"));
    EXPECT_EQ(list->selectedItems().value(0), list->item(1));
}

TEST_F(DialogTest, SummaryStreamsItsOutputThenNamesThePage) {
    DoubleClickRow(1);
    const QString systemPage = pane->toPlainText();
    int panePaints = 0;
    struct Step {
        QString caption;
        std::string text;
        int paints;
    };
    std::vector<Step> steps;
    machine.onPause = [&] { steps.push_back({Caption(), PaneBytes(pane), panePaints}); };
    CPaintCounter counter(&panePaints);
    pane->viewport()->installEventFilter(&counter);

    DoubleClickRow(7);
    pane->viewport()->removeEventFilter(&counter);

    const std::vector<std::string> pieces = testsupport::SampleSummaryPieces();
    ASSERT_EQ(steps.size(), 3u);
    std::string expected;
    int paintsBefore = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        expected += pieces[i];
        EXPECT_EQ(steps[i].caption, QStringLiteral("处理中，请稍候...")) << i;
        EXPECT_EQ(steps[i].text, expected) << i;
        // Painted before the pause, without going back to the event loop.
        EXPECT_GT(steps[i].paints, paintsBefore) << i;
        paintsBefore = steps[i].paints;
    }
    EXPECT_EQ(machine.pauses,
              std::vector<std::chrono::milliseconds>(3, std::chrono::milliseconds(1000)));
    EXPECT_EQ(Caption(), QStringLiteral("其它信息"));
    EXPECT_EQ(PaneBytes(pane), expected);
    EXPECT_EQ(machine.runner.CommandLines(),
              std::vector<std::string>{"'/opt/quorrix/bin/quorrix-systeminfo'"});
    EXPECT_FALSE(machine.runner.PipeOpen());

    // Run again with no output at all: the pane keeps what it showed, the caption is set.
    machine.runner.SetScript({});
    DoubleClickRow(1);
    steps.clear();
    DoubleClickRow(7);
    EXPECT_TRUE(steps.empty());
    EXPECT_EQ(pane->toPlainText(), systemPage);
    EXPECT_EQ(Caption(), QStringLiteral("其它信息"));
    EXPECT_EQ(machine.runner.CommandLines().size(), 2u);
    EXPECT_TRUE(notices.empty());
}

// Programs running now whose command line starts with `program`.
int RunningCopies(const std::string& program) {
    int copies = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream cmdline(entry.path() / "cmdline");
        std::string first;
        if (cmdline && std::getline(cmdline, first, '\0') && first == program) ++copies;
    }
    return copies;
}

// The real runner and a slow command of our own: the window lives through the run, and
// closing it ends the command.
TEST_F(DialogTest, SummaryKeepsTheWindowAliveAndClosingEndsTheCommand) {
    platform::CLinuxProcessRunner runner;
    const DialogSeams seams{machine.smbios,
                            machine.drives,
                            machine.batteries,
                            machine.panel,
                            runner,
                            {},
                            std::string(QUORRIX_SLOW_OUTPUT_PATH) + " 30 200"};
    CQuorrixDlg live(seams, [](std::string_view text, std::string_view) { ADD_FAILURE() << text; });
    live.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&live));
    auto* liveList = live.findChild<QListWidget*>();
    auto* livePane = live.findChild<QPlainTextEdit*>();
    auto* liveFrame = live.findChild<QGroupBox*>();

    // A tick every 50 ms: the longest time the window's thread took to answer one.
    using Clock = std::chrono::steady_clock;
    Clock::time_point last = Clock::now();
    Clock::duration longest{};
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        longest = std::max(longest, now - last);
        last = now;
        ++ticks;
    });
    int panePaints = 0;
    CPaintCounter counter(&panePaints);
    livePane->viewport()->installEventFilter(&counter);

    // During the run: another category is not acted on; then the window is closed.
    QString captionDuringRun;
    QTimer::singleShot(1500, &live, [&] {
        captionDuringRun = liveFrame->title();
        EXPECT_TRUE(live.Running());
        liveList->setCurrentRow(1);
        live.OnCategoryDblClk();
        live.reject();
    });
    const int panePaintsBefore = panePaints;
    liveList->setCurrentRow(7);
    last = Clock::now();
    ticker.start(50);
    const auto started = Clock::now();
    live.OnCategoryDblClk();
    const auto took = Clock::now() - started;
    ticker.stop();
    livePane->viewport()->removeEventFilter(&counter);

    EXPECT_EQ(captionDuringRun, QStringLiteral("处理中，请稍候..."));
    EXPECT_GT(ticks, 20);
    EXPECT_LT(longest, std::chrono::milliseconds(200));
    EXPECT_GT(panePaints, panePaintsBefore);
    EXPECT_TRUE(livePane->toPlainText().startsWith(QStringLiteral("piece 1\n")));
    EXPECT_FALSE(livePane->toPlainText().contains(QStringLiteral("piece 30")));
    EXPECT_LT(took, std::chrono::seconds(4)) << "the close cut the six-second command short";
    EXPECT_FALSE(live.Running());
    EXPECT_FALSE(live.isVisible());
    EXPECT_EQ(live.result(), QDialog::Rejected);
    // SIGKILL is delivered, not awaited: the command goes within moments.
    for (int i = 0; i < 100 && RunningCopies(QUORRIX_SLOW_OUTPUT_PATH) > 0; ++i) QTest::qWait(10);
    EXPECT_EQ(RunningCopies(QUORRIX_SLOW_OUTPUT_PATH), 0);
    EXPECT_TRUE(live.m_pages.m_strSystemPage.empty()) << "the other category was not built";
}

TEST_F(DialogTest, SummaryFailuresShowTheirBoxUnderTheApplicationName) {
    const auto self = platform::RunningExecutablePath();
    ASSERT_TRUE(self);
    const std::string appName = std::filesystem::path(*self).stem().string();
    EXPECT_EQ(appName, "quorrix_app_tests");

    DoubleClickRow(0);
    const QString biosPage = pane->toPlainText();
    machine.runner.FailPipe();
    DoubleClickRow(7);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].strText, "CreatePipe Failed");
    EXPECT_EQ(notices[0].strCaption, appName);
    EXPECT_EQ(pane->toPlainText(), biosPage);
    EXPECT_EQ(Caption(), QStringLiteral("其它信息"));
    EXPECT_TRUE(machine.runner.CommandLines().empty());

    machine.runner.FailPipe(false);
    machine.runner.FailStart();
    DoubleClickRow(7);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[1].strText, "CreateProcess failed!");
    EXPECT_EQ(notices[1].strCaption, appName);
    EXPECT_EQ(pane->toPlainText(), biosPage);
    EXPECT_EQ(Caption(), QStringLiteral("其它信息"));
    EXPECT_FALSE(machine.runner.PipeOpen());
}

TEST_F(DialogTest, PixelTestShowsTheHintThenANewWindowEachTime) {
    DoubleClickRow(5);
    const QString diskPage = pane->toPlainText();
    bool windowBeforeHint = true;
    onNotice = [&] { windowBeforeHint = !dlg.findChildren<CPixelTestWnd*>().isEmpty(); };

    QPointer<CPixelTestWnd> first;
    for (int run = 0; run < 2; ++run) {
        DoubleClickRow(8);
        ASSERT_EQ(notices.size(), static_cast<std::size_t>(run + 1));
        EXPECT_EQ(notices.back().strText, text::Utf8ToGbk("退出测试请按ESC键"));
        EXPECT_EQ(notices.back().strCaption, text::Utf8ToGbk("提示"));
        EXPECT_FALSE(windowBeforeHint) << "the hint comes first";
        const QList<CPixelTestWnd*> windows = dlg.findChildren<CPixelTestWnd*>();
        ASSERT_EQ(windows.size(), 1);
        QPointer<CPixelTestWnd> wnd = windows.front();
        if (run == 0) first = wnd;
        EXPECT_TRUE(wnd->isVisible());
        EXPECT_TRUE(wnd->isWindow());
        EXPECT_EQ(wnd->parentWidget(), &dlg);
        EXPECT_EQ(wnd->ColorIndex(), 0);
        QTest::mouseClick(wnd, Qt::LeftButton);
        EXPECT_EQ(wnd->ColorIndex(), 1);
        // The page underneath stays as it was.
        EXPECT_EQ(Caption(), QStringLiteral("硬盘信息"));
        EXPECT_EQ(pane->toPlainText(), diskPage);
        QTest::keyClick(wnd, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(wnd.isNull());
    }
    EXPECT_TRUE(first.isNull());
}

// Runs the dialog modally and presses `key` on `target` once the loop runs.
int ExecPressing(QDialog& dialog, QWidget* target, Qt::Key key) {
    QTimer::singleShot(0, target, [target, key] { QTest::keyClick(target, key); });
    return dialog.exec();
}

TEST_F(DialogTest, EscAndEnterCloseTheDialog) {
    EXPECT_EQ(ExecPressing(dlg, list, Qt::Key_Escape), QDialog::Rejected);
    EXPECT_EQ(ExecPressing(dlg, list, Qt::Key_Return), QDialog::Accepted);
    EXPECT_EQ(ExecPressing(dlg, pane, Qt::Key_Enter), QDialog::Accepted);
    EXPECT_EQ(ExecPressing(dlg, pane, Qt::Key_Escape), QDialog::Rejected);
    // Right after choosing an entry with the arrow keys, Enter closes and builds nothing.
    QTimer::singleShot(0, list, [this] {
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
    });
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(Caption(), QStringLiteral("欢迎使用"));
    EXPECT_TRUE(dlg.m_pages.m_strBiosPage.empty() && dlg.m_pages.m_strSystemPage.empty());
}

TEST_F(DialogTest, ContextMenuEndsWithSaveAndTheAboutItemWhichOpensTheAboutBox) {
    QStringList items;
    QString aboutTitle;
    bool aboutWasModal = false;
    QTimer::singleShot(0, &dlg, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        for (QAction* action : menu->actions()) {
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        QTimer::singleShot(0, &dlg, [&] {
            auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
            ASSERT_TRUE(about);
            aboutTitle = about->windowTitle();
            aboutWasModal = about->isModal() && about->parentWidget() == &dlg;
            about->accept();
        });
        QTest::keyClick(menu, Qt::Key_A);  // the item's access key
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), dlg.mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(&dlg, &event);

    ASSERT_GE(items.size(), 3);
    EXPECT_EQ(items[items.size() - 3], QStringLiteral("-"));
    EXPECT_EQ(items[items.size() - 2], QStringLiteral("保存报告..."));
    EXPECT_EQ(items.back(), QStringLiteral("关于Quorrix(&A)..."));
    EXPECT_EQ(aboutTitle, QStringLiteral("关于 Quorrix"));
    EXPECT_TRUE(aboutWasModal);
    EXPECT_TRUE(dlg.isVisible());
}

// The save item of the context menu, with the save dialog replaced: the file holds the
// report of the sources the dialog read at start-up; a failed write is told in a box.
TEST_F(DialogTest, SaveReportItemWritesTheReportWhereChosen) {
    testsupport::CTempDir dir;
    std::vector<std::string> suggested;
    std::string chosen = (dir.Path() / "report.txt").string();
    DialogSeams seams = machine.Seams();
    seams.chooseReportPath = [&](const std::string& name) {
        suggested.push_back(name);
        return chosen;
    };
    CQuorrixDlg saving(seams, [this](std::string_view text, std::string_view caption) {
        notices.push_back({std::string(text), std::string(caption)});
    });
    saving.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&saving));
    const int reads = machine.smbios.Reads();
    const std::size_t driveCalls = machine.drives.Calls().size();
    auto chooseSave = [&saving] {
        QTimer::singleShot(0, &saving, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_TRUE(menu);
            for (QAction* action : menu->actions()) {
                if (action->text() == QStringLiteral("保存报告...")) menu->setActiveAction(action);
            }
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                saving.mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(&saving, &event);
    };
    chooseSave();

    ASSERT_EQ(suggested.size(), 1u);
    EXPECT_TRUE(suggested[0].starts_with("Quorrix-PF1XAMPL-") && suggested[0].ends_with(".txt") &&
                suggested[0].size() == std::string_view("Quorrix-PF1XAMPL-YYYYMMDD.txt").size())
        << suggested[0];
    std::ifstream in(chosen, std::ios::binary);
    const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Linux: no byte order mark, LF; the first line, then the report as quorrix-report prints it.
    ASSERT_TRUE(saved.starts_with(pages::kReportHeading)) << saved.substr(0, 80);
    const std::string report = pages::ReportOfEveryPage(
        {&saving.m_smbios, &saving.m_hdSmart, &saving.m_battery, &saving.m_panel});
    EXPECT_EQ(saved.substr(saved.find('\n') + 1), report);
    EXPECT_NE(report.find("== 显示屏信息 ==\n"), std::string::npos);
    EXPECT_NE(report.find("PF1XAMPL"), std::string::npos);
    EXPECT_EQ(saved.find('\r'), std::string::npos);
    // Nothing was read again, and what the dialog shows is untouched.
    EXPECT_EQ(machine.smbios.Reads(), reads);
    EXPECT_EQ(machine.drives.Calls().size(), driveCalls);
    EXPECT_TRUE(saving.m_pages.m_strBiosPage.empty());
    EXPECT_TRUE(notices.empty());

    // A folder that is not there: the box says so, and nothing is written.
    chosen = (dir.Path() / "missing" / "report.txt").string();
    chooseSave();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(notices[0].strText.starts_with(text::Utf8ToGbk(pages::kSaveReportFailed)));
    EXPECT_NE(notices[0].strText.find("missing"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "missing"));
    // Cancelled: nothing happens.
    chosen.clear();
    chooseSave();
    EXPECT_EQ(suggested.size(), 3u);
    EXPECT_EQ(notices.size(), 1u);
}

// Wraps the fakes so that every platform request lands in one log, in order.
class COrderLog {
public:
    std::vector<std::string> entries;
    bool bWindowVisible = false;
    void Note(const std::string& what) {
        entries.push_back(what);
        for (QWidget* w : QApplication::topLevelWidgets()) bWindowVisible |= w->isVisible();
    }
};

class CLoggedSmbios : public platform::ISmbiosSource {
public:
    CLoggedSmbios(platform::ISmbiosSource& inner, COrderLog& log) : m_inner(inner), m_log(log) {}
    platform::RawSmbios ReadTables() override {
        m_log.Note("smbios");
        return m_inner.ReadTables();
    }
    platform::ISmbiosSource& m_inner;
    COrderLog& m_log;
};

class CLoggedDrives : public platform::IDriveSystem {
public:
    CLoggedDrives(platform::IDriveSystem& inner, COrderLog& log) : m_inner(inner), m_log(log) {}
    std::unique_ptr<platform::IDrive> OpenDrive(std::uint8_t number) override {
        m_log.Note("drive");
        return m_inner.OpenDrive(number);
    }
    platform::IDriveSystem& m_inner;
    COrderLog& m_log;
};

class CLoggedBatteries : public platform::IBatterySystem {
public:
    CLoggedBatteries(platform::IBatterySystem& inner, COrderLog& log)
        : m_inner(inner), m_log(log) {}
    std::unique_ptr<platform::IBatteryDevice> OpenFirstBattery() override {
        m_log.Note("battery");
        return m_inner.OpenFirstBattery();
    }
    std::uint8_t ReadBatteryLifePercent() override { return m_inner.ReadBatteryLifePercent(); }
    platform::IBatterySystem& m_inner;
    COrderLog& m_log;
};

TEST(CQuorrixDlgStartUp, GathersSmbiosDriveBatteryInOrderBeforeAnyWindow) {
    for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
    testsupport::CSampleMachine machine;
    // A table of 64000 bytes or more does not fit: the reader tells the user, before the
    // window exists.
    platform::RawSmbios tables = testsupport::SampleSmbiosTables();
    tables.table->resize(70000, 0);
    platform::CFixedSmbiosSource big(tables);
    COrderLog log;
    CLoggedSmbios smbios(big, log);
    CLoggedDrives drives(machine.drives, log);
    CLoggedBatteries batteries(machine.batteries, log);
    const DialogSeams seams{smbios, drives, batteries, machine.panel, machine.runner, {}, "x"};
    std::vector<std::string> captions;
    {
        CQuorrixDlg dlg(seams, [&](std::string_view, std::string_view caption) {
            log.Note("notice");
            captions.push_back(text::GbkToUtf8(caption));
        });
        EXPECT_FALSE(dlg.isVisible());
        ASSERT_FALSE(log.entries.empty());
        EXPECT_EQ(log.entries.front(), "smbios");
        EXPECT_NE(std::find(log.entries.begin(), log.entries.end(), "notice"), log.entries.end());
        // SMBIOS (and its message), then the drive, then the battery; nothing shown meanwhile.
        const auto drive = std::find(log.entries.begin(), log.entries.end(), "drive");
        const auto battery = std::find(log.entries.begin(), log.entries.end(), "battery");
        const auto notice = std::find(log.entries.begin(), log.entries.end(), "notice");
        EXPECT_LT(notice, drive);
        EXPECT_LT(drive, battery);
        EXPECT_NE(battery, log.entries.end());
        EXPECT_FALSE(log.bWindowVisible);
        EXPECT_EQ(captions, std::vector<std::string>{"提示"});
    }
}

}  // namespace
