// quorrix_screenshots: pictures of the window for the documentation. Shows every page of the
// sample laptop (the summary page from this machine's quorrix-systeminfo) and the dead-pixel
// test, and saves what the screen shows. Run under a display, e.g. scripts/screenshots.sh.
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <utility>
#include <vector>

#include "app/about_dlg.h"
#include "app/keyboard_wnd.h"
#include "app/quorrix_dlg.h"
#include "pages/page_dispatch.h"
#include "pixeltest/pixel_test_wnd.h"
#include "platform/system_sources.h"
#include "sysinfo/command_capture.h"
#include "tests/support/sample_machine.h"
#include "tests/support/test_sectors.h"

namespace {

bool Save(const QPixmap& pixmap, const QString& path) {
    if (pixmap.save(path)) {
        std::printf("%s\n", qPrintable(path));
        return true;
    }
    std::fprintf(stderr, "quorrix_screenshots: cannot write %s\n", qPrintable(path));
    return false;
}

// What the screen shows of `w`, its frame included when a window manager drew one.
QPixmap Shot(QWidget* w) {
    QTest::qWait(150);
    QCoreApplication::processEvents();
    return w->screen()->grabWindow(0, w->frameGeometry().x(), w->frameGeometry().y(),
                                   w->frameGeometry().width(), w->frameGeometry().height());
}

// The display panel page and the verdict page, each after a double-click on its entry.
bool ShootPanelAndVerdict(CQuorrixDlg& dlg, QListWidget* list, const QString& outDir) {
    bool ok = true;
    for (const auto& [position, name] :
         {std::pair{pages::kPanelPage, "A-panel"}, std::pair{pages::kVerdictPage, "C-verdict"}}) {
        list->setCurrentRow(position);
        dlg.OnCategoryDblClk();
        ok = Save(Shot(&dlg), outDir + QStringLiteral("/window-%1.png").arg(name)) && ok;
    }
    return ok;
}

// The keyboard test over the window, with the keys of a few words typed and the arrows: each
// key given by its scan code (an XKB key code), as the keyboard's input delivers it.
bool ShootKeyboardTest(CQuorrixDlg& dlg, const QString& outDir) {
    dlg.m_pCategoryList->setCurrentRow(pages::kKeyboardTest);
    dlg.OnCategoryDblClk();
    auto* test = dlg.findChild<CKeyboardTestWnd*>();
    if (test == nullptr || !QTest::qWaitForWindowExposed(test)) return false;
    // Esc, Q U O R R I X, Space, F1, the arrows, Enter (input event codes).
    for (quint32 evdev : {1, 16, 22, 24, 19, 19, 23, 45, 57, 59, 103, 105, 106, 108, 28}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, evdev + 8, 0, 0);
        QCoreApplication::sendEvent(test->windowHandle(), &press);
    }
    const bool ok = Save(Shot(test), outDir + QStringLiteral("/keyboard-test.png"));
    test->close();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(outDir);

    testsupport::CSampleMachine machine;
    // The sample drive's wear, so the page shows its last three lines filled: a used drive
    // with a few reallocated sectors (vendor data above the count) and none pending.
    std::vector<std::uint8_t>& smart = *machine.drives.Drive(0).smartData;
    disktest::PutAttribute(smart, 3, 5, {0x08, 0x00, 0x02, 0x00, 0x00, 0x00});
    disktest::PutAttribute(smart, 4, 197, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    disktest::PutAttribute(smart, 5, 198, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    // The summary page runs the real summary program beside this one, without the pauses.
    const auto runner = platform::MakeSystemProcessRunner();
    DialogSeams seams = machine.Seams();
    const DialogSeams realSummary{seams.smbiosSource,
                                  seams.drives,
                                  seams.batteries,
                                  seams.panelEdid,
                                  *runner,
                                  [](std::chrono::milliseconds) {},
                                  platform::SummaryCommandLine()};
    CQuorrixDlg dlg(realSummary, [](std::string_view, std::string_view) {});
    dlg.show();
    if (!QTest::qWaitForWindowExposed(&dlg)) return 1;
    auto* list = dlg.findChild<QListWidget*>();

    bool ok = Save(Shot(&dlg), outDir + QStringLiteral("/window-welcome.png"));
    const char* names[] = {"bios",   "system", "processor", "board",
                           "memory", "disk",   "battery",   "summary"};
    for (int row = 0; row < 8; ++row) {
        list->setCurrentRow(row);
        dlg.OnCategoryDblClk();
        ok = Save(Shot(&dlg),
                  outDir + QStringLiteral("/window-%1-%2.png").arg(row + 1).arg(names[row])) &&
             ok;
    }

    ok = ShootPanelAndVerdict(dlg, list, outDir) && ok;

    // The about box over the window.
    CAboutDlg about(&dlg);
    about.show();
    if (!QTest::qWaitForWindowExposed(&about)) return 1;
    ok = Save(Shot(&about), outDir + QStringLiteral("/about.png")) && ok;
    about.close();

    // The dead-pixel test after three clicks (blue), scaled down.
    auto* test = new CPixelTestWnd(&dlg);
    test->show();
    if (!QTest::qWaitForWindowExposed(test)) return 1;
    for (int i = 0; i < 3; ++i) QTest::mouseClick(test, Qt::LeftButton);
    const QPixmap screen = Shot(test);
    ok = Save(screen.scaledToWidth(480, Qt::SmoothTransformation),
              outDir + QStringLiteral("/pixel-test-blue.png")) &&
         ok;
    ok = Save(screen.copy(0, 0, 24, 24).scaled(96, 96),
              outDir + QStringLiteral("/pixel-test-corner.png")) &&
         ok;
    test->close();

    ok = ShootKeyboardTest(dlg, outDir) && ok;
    return ok ? 0 : 1;
}
