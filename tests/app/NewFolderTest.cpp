// The New folder commands: the folder name dialog, then the name rules and two messages.

#include "AppFixture.h"

namespace {

using NewFolderTest = AppFixture;

TEST_F(NewFolderTest, TheTypedNameIsMadeAFolderNameAndSelected) {
    Start();
    ASSERT_TRUE(WithModal([&] { Form().SpeedButton19->click(); },
                          EnterFolderName(QStringLiteral("my music"))));
    stavio::ListNode* folder = Child(Copy().Root(), "MY0MUSIC");
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(Copy().Selected(), folder);
    EXPECT_FALSE(folder->IsMediaFile());
    EXPECT_EQ(Delete().Root()->ChildCount(), 0);

    // Into the new folder goes a sub-folder; one level deeper nothing at all.
    ASSERT_TRUE(WithModal([&] { Form().SpeedButton19->click(); },
                          EnterFolderName(QStringLiteral("rock_n_roll"))));
    stavio::ListNode* sub = Child(folder, "ROCK0N0R");
    ASSERT_NE(sub, nullptr);
    EXPECT_FALSE(Form().SpeedButton19->isEnabled());
    ASSERT_TRUE(
        WithModal([&] { Form().SpeedButton19Click(); }, EnterFolderName(QStringLiteral("deep"))));
    EXPECT_EQ(sub->ChildCount(), 0);
    EXPECT_FALSE(State().IsModified()); // folders alone do not count
}

TEST_F(NewFolderTest, AnEmptyNameIsRefusedWithItsMessage) {
    Start();
    BoxSeen box;
    EXPECT_EQ(WithModals([&] { Form().SpeedButton20->click(); },
                         {EnterFolderName(QString()), Press(QStringLiteral("&Abandon"), &box)}),
              2);
    EXPECT_EQ(box.text,
              QStringLiteral("Impossible to create directory : No directory name edited!"));
    EXPECT_EQ(box.title, QStringLiteral("Erreur"));
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_EQ(box.buttons, QStringList{QStringLiteral("&Abandon")});
    EXPECT_EQ(Delete().Root()->ChildCount(), 0);
}

TEST_F(NewFolderTest, SystemIsAForbiddenNameInTheCurrentLanguage) {
    Start();
    Form().French1Click();
    BoxSeen box;
    EXPECT_EQ(WithModals([&] { Form().SpeedButton19->click(); },
                         {EnterFolderName(QStringLiteral("system")),
                          Press(QStringLiteral("&Abandon"), &box)}),
              2);
    EXPECT_EQ(box.text,
              QString::fromUtf8("Impossible de créer le répertoire : nom de répertoire interdit!"));
    EXPECT_EQ(box.title, QStringLiteral("Erreur"));
    EXPECT_EQ(Copy().Root()->ChildCount(), 0);

    // "SYSTEMS" is cut to eight characters only: "SYSTEMS" is another name.
    EXPECT_EQ(WithModals([&] { Form().SpeedButton19->click(); },
                         {EnterFolderName(QStringLiteral("systems"))}),
              1);
    EXPECT_NE(Child(Copy().Root(), "SYSTEMS"), nullptr);
}

TEST_F(NewFolderTest, CancelOrATakenNameAddsNothingAndSaysNothing) {
    Start();
    ASSERT_TRUE(
        WithModal([&] { Form().SpeedButton19->click(); }, EnterFolderName(QStringLiteral("live"))));
    Copy().Select(Copy().Root());
    // Taken: the existing folder is not even selected.
    EXPECT_EQ(WithModals([&] { Form().SpeedButton19->click(); },
                         {EnterFolderName(QStringLiteral("LIVE"))}),
              1);
    EXPECT_EQ(Copy().Root()->ChildCount(), 1);
    EXPECT_EQ(Copy().Selected(), Copy().Root());

    ASSERT_TRUE(WithModal([&] { Form().SpeedButton19->click(); },
                          [](QWidget* modal) {
                              auto* dialog = qobject_cast<TOKBottomDlg4*>(modal);
                              ASSERT_NE(dialog, nullptr);
                              dialog->mxFlatEdit1->setText(QStringLiteral("other"));
                              dialog->mxFlatButton2->click();
                          }));
    EXPECT_EQ(Copy().Root()->ChildCount(), 1);
}

} // namespace
