#include "shell/waitfrm.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "tests/support/qtprint.h"

#include <gtest/gtest.h>

using namespace corvane;

TEST(TWaitFrmTest, DefaultsAndOwnerLock)
{
    QWidget owner;
    owner.show();
    auto* wait = new TWaitFrm(&owner);
    EXPECT_EQ(wait->windowTitle(), QStringLiteral("Выполняется операция, подождите..."));
    EXPECT_EQ(wait->Label1->text(),
              QStringLiteral("\nДождитесь завершения выполнения текущей операции.\n"
                             "Для прерывания операции нажмите кнопку \"Прервать\"."));
    EXPECT_EQ(wait->StopBtn->text(), QStringLiteral("Прервать"));
    EXPECT_TRUE(wait->windowFlags() & Qt::Tool);

    wait->SetText(QStringLiteral("\r\nLoading data from file"));
    EXPECT_EQ(wait->Label1->text(), QStringLiteral("\nLoading data from file"));
    wait->PBar->setMaximum(200);
    wait->PBar->setValue(50);
    EXPECT_EQ(wait->PBar->text(), QStringLiteral("25%"));

    wait->bTerm = true;
    wait->show();
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_TRUE(wait->isEnabled());
    EXPECT_FALSE(wait->bTerm); // cleared on show

    // The user cannot close it: neither the window's close button nor Escape.
    EXPECT_FALSE(wait->close());
    QTest::keyClick(wait, Qt::Key_Escape);
    EXPECT_TRUE(wait->isVisible());

    QTest::mouseClick(wait->StopBtn, Qt::LeftButton);
    EXPECT_TRUE(wait->bTerm);
    EXPECT_FALSE(wait->StopBtn->isEnabled());

    wait->bIntClose = true;
    EXPECT_TRUE(wait->close());
    EXPECT_FALSE(wait->isVisible());
    EXPECT_TRUE(owner.isEnabled());
    delete wait;
}

TEST(TWaitFrmTest, FreedWhileShownUnlocksItsOwner)
{
    QWidget owner;
    owner.show();
    auto* wait = new TWaitFrm(&owner);
    wait->show();
    ASSERT_FALSE(owner.isEnabled());
    delete wait;
    EXPECT_TRUE(owner.isEnabled());

    // An owner that goes first takes its shown wait window with it.
    auto* doomed = new QWidget;
    doomed->show();
    (new TWaitFrm(doomed))->show();
    delete doomed;
}
