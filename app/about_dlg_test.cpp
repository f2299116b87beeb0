#include "app/about_dlg.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/app_icon.h"
#include "app/message_box.h"
#include "text/gbk.h"

namespace {

TEST(CAboutDlg, TextsIconAndOkButton) {
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("关于 Quorrix"));
    QStringList texts;
    const QLabel* icon = nullptr;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        if (!label->pixmap().isNull()) {
            icon = label;
        } else {
            texts << label->text();
        }
    }
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("Quorrix 2.0 版")));
    EXPECT_FALSE(texts[1].isEmpty());
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->pixmap().size(), QSize(32, 32));

    const QList<QPushButton*> buttons = about.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons[0]->text(), QStringLiteral("确定"));
    EXPECT_TRUE(buttons[0]->isDefault());

    // OK, Enter and Esc each end it.
    about.show();
    QTest::mouseClick(buttons[0], Qt::LeftButton);
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
    about.show();
    QTest::keyClick(&about, Qt::Key_Return);
    EXPECT_EQ(about.result(), QDialog::Accepted);
    about.show();
    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_EQ(about.result(), QDialog::Rejected);
}

TEST(AppIcon, HasTheThreeSizesFromTheResources) {
    const QIcon icon = app::AppIcon();
    for (int size : {16, 32, 48}) {
        const QPixmap pixmap = icon.pixmap(size, size);
        ASSERT_FALSE(pixmap.isNull()) << size;
        EXPECT_EQ(pixmap.size(), QSize(size, size));
        // Drawn, not blank: the corners are transparent, the middle is not.
        const QImage image = pixmap.toImage();
        EXPECT_EQ(qAlpha(image.pixel(0, size - 1)), 0) << size;
        EXPECT_GT(qAlpha(image.pixel(size / 2, size / 2)), 0) << size;
    }
}

TEST(ShowMessageBox, GbkTextAndCaptionOneOkButtonOverItsOwner) {
    QWidget owner;
    owner.show();
    QString title;
    QString text;
    QStringList buttons;
    QWidget* parent = nullptr;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        title = box->windowTitle();
        text = box->text();
        parent = box->parentWidget();
        for (QAbstractButton* button : box->buttons()) buttons << button->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    app::ShowMessageBox(&owner, text::Utf8ToGbk("退出测试请按ESC键"), text::Utf8ToGbk("提示"));
    EXPECT_EQ(title, QStringLiteral("提示"));
    EXPECT_EQ(text, QStringLiteral("退出测试请按ESC键"));
    EXPECT_EQ(buttons, QStringList{QStringLiteral("确定")});
    EXPECT_EQ(parent, &owner);
}

}  // namespace
