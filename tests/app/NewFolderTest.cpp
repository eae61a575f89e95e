// SPDX-License-Identifier: GPL-3.0-or-later
// The New folder commands: the folder name dialog, then the name rules and two messages.

#include "AppFixture.h"

namespace {

using NewFolderTest = AppFixture;

TEST_F(NewFolderTest, TheTypedNameIsMadeAFolderNameAndSelected) {
    Start();
    ModalScript script;
    script.Then(EnterFolderName(QStringLiteral("my music")));
    Parts().SpeedButton19->click();
    ASSERT_TRUE(script.Finished());
    stavio::ListNode* folder = Child(Copy().Root(), "MY0MUSIC");
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(Copy().Selected(), folder);
    EXPECT_FALSE(folder->IsMediaFile());
    EXPECT_EQ(Delete().Root()->ChildCount(), 0);

    // Into the new folder goes a sub-folder; one level deeper nothing at all.
    script.Then(EnterFolderName(QStringLiteral("rock_n_roll")));
    Parts().SpeedButton19->click();
    ASSERT_TRUE(script.Finished());
    stavio::ListNode* sub = Child(folder, "ROCK0N0R");
    ASSERT_NE(sub, nullptr);
    EXPECT_FALSE(Parts().SpeedButton19->isEnabled());
    script.Then(EnterFolderName(QStringLiteral("deep")));
    Form().SpeedButton19Click();
    ASSERT_TRUE(script.Finished());
    EXPECT_EQ(sub->ChildCount(), 0);
    EXPECT_FALSE(State().IsModified()); // folders alone do not count
}

TEST_F(NewFolderTest, AnEmptyNameIsRefusedWithItsMessage) {
    Start();
    ModalScript script;
    script.Then(EnterFolderName(QString())).Box(QStringLiteral("&Abandon"));
    Parts().SpeedButton20->click();
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(script.Unexpected.isEmpty());
    ASSERT_EQ(script.Boxes.size(), 1u);
    const ModalScript::SeenBox& box = script.Boxes[0];
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
    ModalScript script;
    script.Then(EnterFolderName(QStringLiteral("system"))).Box(QStringLiteral("&Abandon"));
    Parts().SpeedButton19->click();
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(script.Texts(),
              QStringList{QString::fromUtf8(
                  "Impossible de créer le répertoire : nom de répertoire interdit!")});
    EXPECT_EQ(script.Titles(), QStringList{QStringLiteral("Erreur")});
    EXPECT_EQ(Copy().Root()->ChildCount(), 0);

    // "SYSTEMS" is cut to eight characters only: "SYSTEMS" is another name.
    ModalScript systems;
    systems.Then(EnterFolderName(QStringLiteral("systems")));
    Parts().SpeedButton19->click();
    EXPECT_TRUE(systems.Finished());
    EXPECT_TRUE(systems.Unexpected.isEmpty());
    EXPECT_NE(Child(Copy().Root(), "SYSTEMS"), nullptr);
}

TEST_F(NewFolderTest, CancelOrATakenNameAddsNothingAndSaysNothing) {
    Start();
    ModalScript script;
    script.Then(EnterFolderName(QStringLiteral("live")));
    Parts().SpeedButton19->click();
    ASSERT_TRUE(script.Finished());
    Copy().Select(Copy().Root());
    // Taken: the existing folder is not even selected.
    script.Then(EnterFolderName(QStringLiteral("LIVE")));
    Parts().SpeedButton19->click();
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(script.Unexpected.isEmpty());
    EXPECT_EQ(Copy().Root()->ChildCount(), 1);
    EXPECT_EQ(Copy().Selected(), Copy().Root());

    script.Then([](QWidget* modal) {
        auto* dialog = qobject_cast<TOKBottomDlg4*>(modal);
        ASSERT_NE(dialog, nullptr);
        PartsOf(dialog).mxFlatEdit1->setText(QStringLiteral("other"));
        PartsOf(dialog).mxFlatButton2->click();
    });
    Parts().SpeedButton19->click();
    ASSERT_TRUE(script.Finished());
    EXPECT_EQ(Copy().Root()->ChildCount(), 1);
}

} // namespace
