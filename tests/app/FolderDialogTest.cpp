// SPDX-License-Identifier: GPL-3.0-or-later
// The folder name dialog and the information box, shown modally as the program does.

#include "AppFixture.h"

#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>

namespace {

class FolderDialogTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        Start();
    }
    TOKBottomDlg4& Dialog() { return app_->FolderNameDialog(); }
    TOKBottomDlg5& Box() { return app_->InfoBox(); }

    // Shows the dialog modally; act runs once it is up. Returns the dialog's result.
    int Show(const std::function<void(TOKBottomDlg4&)>& act) {
        ModalScript script;
        // Focus is given once the window is active; on a busy machine that comes later.
        script.Then([&](QWidget*) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(&Dialog()));
            act(Dialog());
        });
        return Dialog().exec();
    }
};

TEST_F(FolderDialogTest, TypingGivesAtMostEightUpperCaseCharacters) {
    QString shown;
    const int result = Show([&](TOKBottomDlg4& d) {
        EXPECT_TRUE(PartsOf(d).mxFlatEdit1->hasFocus());
        QTest::keyClicks(PartsOf(d).mxFlatEdit1, QStringLiteral("abcdefghij"));
        shown = PartsOf(d).mxFlatEdit1->text();
        QTest::keyClick(PartsOf(d).mxFlatEdit1, Qt::Key_Return); // Enter is OK
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(shown, QStringLiteral("ABCDEFGH"));
}

TEST_F(FolderDialogTest, EachLetterBecomesOneCapitalAndTheCursorFollowsTheTyping) {
    struct Case {
        const char* typed;
        const char* shown; // UTF-8
    };
    const Case cases[] = {
        {"straße", "STRAßE"},      // no one-letter capital: kept as typed
        {"éàç", "ÉÀÇ"},            // accented letters have one
        {"ßßßßßßßßß", "ßßßßßßßß"}, // still eight at most
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        QString shown;
        int cursor = -1;
        Show([&](TOKBottomDlg4& d) {
            PartsOf(d).mxFlatEdit1->clear();
            for (const QChar ch : QString::fromUtf8(c.typed)) // also beyond ASCII
                QTest::sendKeyEvent(QTest::Click, PartsOf(d).mxFlatEdit1,
                                    Qt::Key(ch.toUpper().unicode()), QString(ch), Qt::NoModifier);
            shown = PartsOf(d).mxFlatEdit1->text();
            cursor = PartsOf(d).mxFlatEdit1->cursorPosition();
            d.reject();
        });
        EXPECT_EQ(shown.toStdString(), c.shown);
        EXPECT_EQ(cursor, shown.size());
    }
    // Typing in the middle leaves the cursor after the typed letter.
    QString shown;
    Show([&](TOKBottomDlg4& d) {
        PartsOf(d).mxFlatEdit1->setText(QStringLiteral("AB"));
        PartsOf(d).mxFlatEdit1->setCursorPosition(1);
        QTest::keyClicks(PartsOf(d).mxFlatEdit1, QStringLiteral("x"));
        QTest::keyClicks(PartsOf(d).mxFlatEdit1, QStringLiteral("y"));
        shown = PartsOf(d).mxFlatEdit1->text();
        d.reject();
    });
    EXPECT_EQ(shown, QStringLiteral("AXYB"));
}

TEST_F(FolderDialogTest, PastedTextIsCutAndUpperCasedToo) {
    QApplication::clipboard()->setText(QStringLiteral("pasted text here"));
    QString shown;
    Show([&](TOKBottomDlg4& d) {
        PartsOf(d).mxFlatEdit1->clear();
        QTest::keyClick(PartsOf(d).mxFlatEdit1, Qt::Key_V, Qt::ControlModifier);
        shown = PartsOf(d).mxFlatEdit1->text();
        PartsOf(d).mxFlatButton2->click();
    });
    EXPECT_EQ(shown, QStringLiteral("PASTED T"));
}

TEST_F(FolderDialogTest, TheLastNameComesBackSelected) {
    Show([](TOKBottomDlg4& d) {
        QTest::keyClicks(PartsOf(d).mxFlatEdit1, QStringLiteral("jazz"));
        PartsOf(d).mxFlatButton1->click();
    });
    QString selected;
    const int result = Show([&](TOKBottomDlg4& d) {
        selected = PartsOf(d).mxFlatEdit1->selectedText();
        QTest::keyClicks(PartsOf(d).mxFlatEdit1, QStringLiteral("x")); // replaces the selection
        EXPECT_EQ(PartsOf(d).mxFlatEdit1->text(), QStringLiteral("X"));
        d.close(); // the close box is Cancel
    });
    EXPECT_EQ(selected, QStringLiteral("JAZZ"));
    EXPECT_EQ(result, QDialog::Rejected);
}

TEST_F(FolderDialogTest, EnterOnAnEmptyEntryIsOk) {
    const int result = Show([](TOKBottomDlg4& d) {
        PartsOf(d).mxFlatEdit1->clear();
        QTest::keyClick(PartsOf(d).mxFlatEdit1, Qt::Key_Enter);
    });
    EXPECT_EQ(result, QDialog::Accepted);
}

TEST_F(FolderDialogTest, TextsFollowTheLanguageAtEachShowing) {
    EXPECT_EQ(Dialog().size(), QSize(337, 135));
    EXPECT_EQ(Box().size(), QSize(313, 214));
    Show([](TOKBottomDlg4& d) { d.reject(); });
    EXPECT_EQ(Dialog().windowTitle(), QStringLiteral("Folder Name Edition"));
    EXPECT_EQ(PartsOf(Dialog()).Label1->text(),
              QStringLiteral("Enter the new folder name to be added to your list."));
    EXPECT_EQ(PartsOf(Dialog()).mxFlatLabel1->text(), QStringLiteral("Name: "));
    EXPECT_EQ(PartsOf(Dialog()).mxFlatButton1->text(), QStringLiteral("Ok"));
    EXPECT_EQ(PartsOf(Dialog()).mxFlatButton2->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(PartsOf(Dialog()).mxFlatButton3->text(), QStringLiteral("?"));

    Form().Deutsch1Click();
    Show([](TOKBottomDlg4& d) { d.reject(); });
    EXPECT_EQ(PartsOf(Dialog()).mxFlatButton1->text(), QStringLiteral("OK"));
    EXPECT_EQ(PartsOf(Dialog()).mxFlatButton2->text(), QStringLiteral("Abbruch"));
    Form().Italian1Click();
    Show([](TOKBottomDlg4& d) { d.reject(); });
    EXPECT_EQ(Dialog().windowTitle(), QStringLiteral("Modifica il nome della Cartella"));
    EXPECT_EQ(PartsOf(Dialog()).mxFlatLabel1->text(), QStringLiteral("Nome: "));
}

TEST_F(FolderDialogTest, AfterTheInformationBoxTypingAndEnterGoToTheEntry) {
    QString shown;
    const int result = Show([&](TOKBottomDlg4& d) {
        PartsOf(d).mxFlatEdit1->clear();
        QTest::keyClicks(PartsOf(d).mxFlatEdit1, QStringLiteral("ab"));
        QTimer::singleShot(0, [&] {
            // A real click, which gives the "?" button the focus.
            ModalScript box;
            box.Then([&](QWidget*) { PartsOf(Box()).mxFlatButton1->click(); });
            QTest::mouseClick(PartsOf(d).mxFlatButton3, Qt::LeftButton);
            (void)QTest::qWaitFor([&] { return QApplication::activeWindow() == &d; }, 2000);
            QWidget* focus = d.focusWidget();
            EXPECT_EQ(focus, PartsOf(d).mxFlatEdit1);
            if (focus != PartsOf(d).mxFlatEdit1) {
                d.reject(); // Enter on the "?" button would open the box again
                return;
            }
            QTest::keyClicks(focus, QStringLiteral("c"));
            shown = PartsOf(d).mxFlatEdit1->text();
            QTest::keyClick(focus, Qt::Key_Return);
        });
    });
    EXPECT_EQ(shown, QStringLiteral("ABC"));
    EXPECT_EQ(result, QDialog::Accepted);
}

TEST_F(FolderDialogTest, TheQuestionMarkOpensTheInformationBoxOverTheDialog) {
    Form().French1Click();
    QStringList texts;
    QString title, ok;
    int boxes = 0;
    Show([&](TOKBottomDlg4& d) {
        QTest::keyClicks(PartsOf(d).mxFlatEdit1, QStringLiteral("ab"));
        // Twice from one showing; the text is rebuilt each time, not appended.
        auto openBox = [&] {
            ModalScript box;
            box.Then([&](QWidget* modal) {
                EXPECT_EQ(modal, static_cast<QWidget*>(&Box()));
                texts << PartsOf(Box()).mxFlatMemo1->toPlainText();
                title = Box().windowTitle();
                ok = PartsOf(Box()).mxFlatButton1->text();
                ++boxes;
                PartsOf(Box()).mxFlatButton1->click();
            });
            PartsOf(d).mxFlatButton3->click();
        };
        QTimer::singleShot(0, [&d, openBox] {
            openBox();
            openBox();
            EXPECT_TRUE(d.isVisible()); // the dialog stays open, its entry as it was
            EXPECT_EQ(PartsOf(d).mxFlatEdit1->text(), QStringLiteral("AB"));
            PartsOf(d).mxFlatButton2->click();
        });
    });
    ASSERT_EQ(boxes, 2);
    const QString expected =
        QString::fromStdString(stavio::TextUtf8(stavio::InfoTexts, stavio::Language::French, 0)) +
        QStringLiteral("\n\n") +
        QString::fromStdString(stavio::TextUtf8(stavio::InfoTexts, stavio::Language::French, 1));
    EXPECT_EQ(texts, (QStringList{expected, expected}));
    EXPECT_EQ(title, QStringLiteral("Informations"));
    EXPECT_EQ(ok, QStringLiteral("Ok"));
    EXPECT_TRUE(PartsOf(Box()).mxFlatMemo1->isReadOnly());
}

} // namespace
