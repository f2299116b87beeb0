// The keyboard test window: keys given by scan code through Qt's key delivery light their
// keys and the count; no key ends it, its close button does.
#include "app/keyboard_wnd.h"

#include <QListWidget>
#include <QPointer>
#include <QTest>
#include <QWindow>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "app/quorrix_dlg.h"
#include "keyboard/testing/key_names.h"
#include "pages/page_dispatch.h"
#include "tests/support/sample_machine.h"
#include "text/gbk.h"

namespace {

using keyboard::testing::KeyIndex;
using keyboard::testing::LitKeys;
// A key as Qt's keyboard input on Linux delivers it: the shortcut map is asked first (as
// QTest does), then the event goes to the window with its XKB key code (the input event code
// plus 8) as native scan code, and the window passes it to its focus widget. QTest itself
// sets no scan code, and Qt's platform-input interface is not public.
void Deliver(QWidget& w, QEvent::Type type, int qtKey, Qt::KeyboardModifiers mods, quint32 evdev) {
    QWindow* window = w.window()->windowHandle();
    ASSERT_NE(window, nullptr);
    if (type == QEvent::KeyPress && qt_sendShortcutOverrideEvent(window, 0, qtKey, mods)) return;
    QKeyEvent event(type, qtKey, mods, evdev + 8, 0, 0);
    QCoreApplication::sendEvent(window, &event);
}

void Press(QWidget& w, int qtKey, Qt::KeyboardModifiers mods, quint32 evdev) {
    Deliver(w, QEvent::KeyPress, qtKey, mods, evdev);
    Deliver(w, QEvent::KeyRelease, qtKey, mods, evdev);
}

TEST(CKeyboardTestWnd, ScanCodesLightTheirKeysAndNoKeyEndsIt) {
    QPointer<CKeyboardTestWnd> wnd = new CKeyboardTestWnd;
    wnd->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wnd));
    EXPECT_TRUE(wnd->testAttribute(Qt::WA_DeleteOnClose));

    // Esc, Enter, Tab, Alt+F4, F10, Alt+Space: dialog keys, shortcuts and menu keys elsewhere.
    Press(*wnd, Qt::Key_Escape, Qt::NoModifier, 1);
    Press(*wnd, Qt::Key_Return, Qt::NoModifier, 28);
    Press(*wnd, Qt::Key_Tab, Qt::NoModifier, 15);
    Deliver(*wnd, QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier, 56);
    Press(*wnd, Qt::Key_F4, Qt::AltModifier, 62);
    Press(*wnd, Qt::Key_Space, Qt::AltModifier, 57);
    Deliver(*wnd, QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier, 56);
    Press(*wnd, Qt::Key_F10, Qt::NoModifier, 68);
    // The right Alt by its place, whatever the layout makes of it; Up; PrtSc by its release.
    Press(*wnd, Qt::Key_AltGr, Qt::NoModifier, 100);
    Press(*wnd, Qt::Key_Up, Qt::KeypadModifier, 103);
    Deliver(*wnd, QEvent::KeyRelease, Qt::Key_Print, Qt::NoModifier, 99);
    // "A" typed on an AZERTY layout is the key of Q: the place counts.
    Press(*wnd, Qt::Key_A, Qt::NoModifier, 16);
    // Keys of no place on the keyboard: F13, Fn as some firmware reports it.
    Press(*wnd, Qt::Key_F13, Qt::NoModifier, 183);
    Press(*wnd, Qt::Key_unknown, Qt::NoModifier, 0x1D0);
    QCoreApplication::processEvents();

    ASSERT_FALSE(wnd.isNull()) << "no key ended the test";
    EXPECT_TRUE(wnd->isVisible());
    const std::set<std::string> expected = {"Esc@0", "Enter@51", "Tab@0",  "Alt@12",
                                            "F4@16", "Space@16", "F10@40", "Alt@36",
                                            "↑@52",  "PrtSc@52", "Q@6"};
    EXPECT_EQ(LitKeys(wnd->State()), expected);
    EXPECT_EQ(text::GbkToUtf8(wnd->State().CountText()), "已测试 11 / 79 个键");

    // Lit keys are drawn filled, the others not.
    const QImage image = wnd->grab().toImage();
    const auto inside = [&](std::size_t index) {
        const QRect r = wnd->KeyRect(index);
        return image.pixelColor(r.left() + 2, r.top() + 2);
    };
    const QColor lit = inside(KeyIndex("Esc", 0));
    const QColor unlit = inside(KeyIndex("F1", 4));
    const QColor swallowed = inside(KeyIndex("Fn", 4));
    EXPECT_NE(lit, unlit);
    EXPECT_NE(swallowed, unlit);
    EXPECT_NE(swallowed, lit);
    EXPECT_EQ(inside(KeyIndex("↑", 52)), lit);
    EXPECT_EQ(inside(KeyIndex("↓", 52)), unlit);

    // The close button (the window system's close request) ends it.
    wnd->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(wnd.isNull());
}

TEST(CKeyboardTestWnd, TheCategoryOpensItOverTheMainDialog) {
    testsupport::CSampleMachine machine;
    CQuorrixDlg dlg(machine.Seams(), [](std::string_view, std::string_view) {});
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    dlg.m_pCategoryList->setCurrentRow(pages::kKeyboardTest);
    dlg.OnCategoryDblClk();
    QPointer<CKeyboardTestWnd> wnd = dlg.findChild<CKeyboardTestWnd*>();
    ASSERT_FALSE(wnd.isNull());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wnd));
    EXPECT_TRUE(wnd->isWindow());
    EXPECT_EQ(wnd->windowModality(), Qt::WindowModal) << "the dialog waits for it";
    Press(*wnd, Qt::Key_Return, Qt::NoModifier, 28);
    Press(*wnd, Qt::Key_Escape, Qt::NoModifier, 1);
    EXPECT_TRUE(dlg.isVisible()) << "Enter and Esc were the test's, not the dialog's";
    ASSERT_FALSE(wnd.isNull());
    wnd->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(wnd.isNull());
    EXPECT_TRUE(dlg.isVisible());
}

}  // namespace
