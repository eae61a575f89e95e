// SPDX-License-Identifier: GPL-3.0-or-later
// The Project Properties dialog: the fields, the name limit and the wrapped comment lines.

#include "ProjetProperty.h"
#include "WorkflowFixture.h"

#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

using FormAct = std::function<void(TForm3*)>;

class PropertiesDialogTest : public WorkflowTest {
protected:
    void FillProject() {
        Project().ProjectName = "Album";
        Project().Subject = "Songs";
        Project().Author = "Ren\xE9"; // Windows-1252 e acute
        Project().Copyright = "(c)";
        Project().Customer = "Shop";
        Project().CreationDate = "01/02/2003";
        Project().DiffusionDate = "soon";
        Project().Comments = {"first", "second"};
        State().RecordSavedState();
        Form().SetProjectCaption();
    }
    // Runs Project Properties with act answering the dialog.
    bool RunProperties(const FormAct& act) {
        ModalScript script;
        script.Then<TForm3>(act);
        Form().Property1Click();
        return script.Finished();
    }
};

TEST_F(PropertiesDialogTest, OkWithoutChangesShowsTheProjectAndLeavesItUnmodified) {
    Start();
    FillProject();
    QStringList shown;
    ASSERT_TRUE(RunProperties([&](TForm3* form) {
        for (QLineEdit* edit :
             {PartsOf(form).Edit1, PartsOf(form).Edit2, PartsOf(form).Edit3, PartsOf(form).Edit4,
              PartsOf(form).Edit5, PartsOf(form).Edit6, PartsOf(form).Edit7})
            shown << edit->text();
        shown << PartsOf(form).Memo1->toPlainText();
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Project Properties"));
        EXPECT_TRUE(QTest::qWaitForWindowActive(form)); // focus comes with activation
        EXPECT_EQ(QApplication::focusWidget(), PartsOf(form).Edit1);
        PartsOf(form).mxFlatButton1->click();
    }));
    EXPECT_EQ(shown.join(QLatin1Char('|')),
              QStringLiteral("Album|Songs|René|(c)|Shop|01/02/2003|soon|first\nsecond"));
    EXPECT_FALSE(State().IsModified());
    EXPECT_EQ(Project().Author, "Ren\xE9");
}

TEST_F(PropertiesDialogTest, OkStoresTheFieldsAndSetsTheTitleWithoutRecordingThem) {
    Start();
    FillProject();
    ASSERT_TRUE(RunProperties([](TForm3* form) {
        PartsOf(form).Edit1->setText(QStringLiteral("Renamed"));
        PartsOf(form).Edit7->setText(QStringLiteral("Été"));
        PartsOf(form).Memo1->setPlainText(QStringLiteral("one\n\ntwo\n"));
        PartsOf(form).mxFlatButton1->click();
    }));
    EXPECT_EQ(Project().ProjectName, "Renamed");
    EXPECT_EQ(Project().DiffusionDate, "\xC9t\xE9");
    // The inner empty line stays; only an empty last line is dropped.
    EXPECT_EQ(Project().Comments, (std::vector<std::string>{"one", "", "two"}));
    EXPECT_EQ(Title(), QStringLiteral("KELVO Stavio : Renamed"));
    EXPECT_TRUE(State().IsModified());
}

TEST_F(PropertiesDialogTest, ALongCommentLineComesBackAsItsWrappedLines) {
    Start();
    FillProject();
    std::string longLine;
    for (int i = 0; i < 30; ++i)
        longLine += "word" + std::to_string(i) + " ";
    longLine.pop_back();
    Project().Comments = {"short", longLine};
    State().RecordSavedState();

    ASSERT_TRUE(RunProperties([](TForm3* form) { PartsOf(form).mxFlatButton1->click(); }));

    const std::vector<std::string>& lines = Project().Comments;
    ASSERT_GT(lines.size(), 2u);
    EXPECT_EQ(lines[0], "short");
    std::string joined;
    for (size_t i = 1; i < lines.size(); ++i) {
        EXPECT_FALSE(lines[i].empty());
        joined += lines[i];
    }
    EXPECT_EQ(joined, longLine); // the pieces, nothing lost or added
    EXPECT_TRUE(State().IsModified());

    // Shown again, the wrapped lines fit and come back unchanged.
    State().RecordSavedState();
    ASSERT_TRUE(RunProperties([](TForm3* form) { PartsOf(form).mxFlatButton1->click(); }));
    EXPECT_EQ(Project().Comments, lines);
    EXPECT_FALSE(State().IsModified());
}

TEST_F(PropertiesDialogTest, TheNameLimitAppliesToTypingOnly) {
    Start();
    FillProject();
    ASSERT_TRUE(RunProperties([](TForm3* form) {
        PartsOf(form).Edit1->clear();
        QTest::keyClicks(PartsOf(form).Edit1, QString(70, QLatin1Char('a')));
        EXPECT_EQ(PartsOf(form).Edit1->text().size(), 64);
        PartsOf(form).mxFlatButton2->click();
    }));

    const std::string longName(80, 'N');
    Project().ProjectName = longName;
    ASSERT_TRUE(RunProperties([](TForm3* form) {
        EXPECT_EQ(PartsOf(form).Edit1->text().size(), 80); // shown whole
        PartsOf(form).Edit1->end(false);
        QTest::keyClick(PartsOf(form).Edit1, Qt::Key_X); // refused
        EXPECT_EQ(PartsOf(form).Edit1->text().size(), 80);
        QTest::keyClick(PartsOf(form).Edit1, Qt::Key_Backspace); // shortening is allowed
        EXPECT_EQ(PartsOf(form).Edit1->text().size(), 79);
        PartsOf(form).mxFlatButton1->click();
    }));
    EXPECT_EQ(Project().ProjectName, std::string(79, 'N'));
}

TEST_F(PropertiesDialogTest, OkOnAnUntouchedDialogKeepsEveryByte) {
    struct Case {
        const char* what;
        std::function<void(stavio::TProjectClass&)> set;
    };
    const Case cases[] = {
        {"comments ending in an empty line",
         [](auto& p) {
             p.Comments = {"a", ""};
         }},
        {"a comment line holding a lone LF",
         [](auto& p) {
             p.Comments = {"one\ntwo", "three"};
         }},
        {"no comment at all", [](auto& p) { p.Comments = {}; }},
        {"one empty comment line", [](auto& p) { p.Comments = {""}; }},
        {"texts longer than an edit's usual limit",
         [](auto& p) {
             p.Subject = std::string(40000, 's');
             p.ProjectName = std::string(33000, 'n');
         }},
        {"a text holding a lone LF", [](auto& p) { p.Author = "two\nlines"; }},
        {"bytes the code page leaves undefined",
         [](auto& p) { p.Customer = std::string("\x81\x8D\x8F\x90\x9D\x7F\x01", 7); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Start();
        FillProject();
        c.set(Project());
        State().RecordSavedState();
        const stavio::TProjectClass before = Project();
        ModalScript script;
        script.Then<TForm3>([](TForm3* form) { PartsOf(form).mxFlatButton1->click(); });
        Parts().Property1->trigger();
        ASSERT_TRUE(script.Finished());
        EXPECT_EQ(Project().ProjectName, before.ProjectName);
        EXPECT_EQ(Project().Subject, before.Subject);
        EXPECT_EQ(Project().Author, before.Author);
        EXPECT_EQ(Project().Customer, before.Customer);
        EXPECT_EQ(Project().Comments, before.Comments);
        EXPECT_FALSE(State().IsModified());
        TearDown();
    }
}

TEST_F(PropertiesDialogTest, EveryCaptionShowsWholeInEveryLanguage) {
    Start();
    for (int language = 1; language <= 5; ++language) {
        State().CurrentLanguage = static_cast<stavio::Language>(language);
        ASSERT_TRUE(RunProperties([&](TForm3* form) {
            const std::pair<QLabel*, QWidget*> rows[] = {
                {PartsOf(form).Label7, PartsOf(form).Edit1},
                {PartsOf(form).Label3, PartsOf(form).Edit2},
                {PartsOf(form).Label4, PartsOf(form).Edit3},
                {PartsOf(form).Label5, PartsOf(form).Edit4},
                {PartsOf(form).Label6, PartsOf(form).Edit5},
                {PartsOf(form).Label1, PartsOf(form).Edit6},
                {PartsOf(form).Label8, PartsOf(form).Edit7},
                {PartsOf(form).Label2, PartsOf(form).Memo1}};
            for (const auto& [label, input] : rows) {
                SCOPED_TRACE(label->text().toStdString());
                const int needed = label->fontMetrics().horizontalAdvance(label->text());
                EXPECT_LE(needed, label->contentsRect().width());
                EXPECT_FALSE(label->geometry().intersects(input->geometry()));
                EXPECT_TRUE(form->rect().contains(input->geometry()));
            }
            form->reject();
        }));
    }
}

TEST_F(PropertiesDialogTest, PastingIntoTheNameKeepsWhatFits) {
    Start();
    FillProject();
    struct Case {
        const char* what;
        int length;   // of the name before the paste
        int cursor;   // where the paste goes
        QString want; // the name afterwards
    };
    const QString sixty(60, QLatin1Char('a'));
    const Case cases[] = {
        {"at the end", 60, 60, sixty + QStringLiteral("WXYZ")},
        {"in the middle", 60, 10,
         QString(10, QLatin1Char('a')) + QStringLiteral("WXYZ") + QString(50, QLatin1Char('a'))},
        {"into a full name", 64, 64, QString(64, QLatin1Char('a'))},
    };
    QApplication::clipboard()->setText(QStringLiteral("WXYZ0123456789"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QString name;
        ASSERT_TRUE(RunProperties([&](TForm3* form) {
            PartsOf(form).Edit1->setText(QString(c.length, QLatin1Char('a')));
            PartsOf(form).Edit1->setCursorPosition(c.cursor);
            QTest::keyClick(PartsOf(form).Edit1, Qt::Key_V, Qt::ControlModifier);
            name = PartsOf(form).Edit1->text();
            form->reject();
        }));
        EXPECT_EQ(name.toStdString(), c.want.toStdString());
    }
}

TEST_F(PropertiesDialogTest, CharactersOutsideWindows1252AreRefusedAsTypedOrPasted) {
    Start();
    State().CurrentLanguage = stavio::Language::German;
    struct Case {
        QString input, kept, refused; // typed into the name; pasted into the comments
        bool paste;
    };
    const Case cases[] = {
        {QStringLiteral("\u00e9\u2603!"), QStringLiteral("\u00e9!"), QStringLiteral("\u2603"),
         false},
        {QStringLiteral("o\U0001F600\n\u4e2d\u20ac"), QStringLiteral("o\n\u20ac"),
         QStringLiteral("\U0001F600\u4e2d"), true},
    };
    for (const Case& c : cases) {
        QString kept, hint;
        ModalScript script;
        script.Then<TForm3>([&](TForm3* form) {
            QApplication::clipboard()->setText(c.input);
            if (c.paste)
                QTest::keyClick(PartsOf(form).Memo1, Qt::Key_V, Qt::ControlModifier);
            for (const QChar ch : c.paste ? QString() : c.input) { // QTest types only ASCII
                QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
                QApplication::sendEvent(PartsOf(form).Edit1, &key);
            }
            kept = c.paste ? PartsOf(form).Memo1->toPlainText() : PartsOf(form).Edit1->text();
            hint = PartsOf(form).RefusedHint->text();
            form->reject();
        });
        Parts().Property1->trigger();
        EXPECT_TRUE(script.Finished());
        EXPECT_TRUE(kept.contains(c.kept)) << kept.toStdString();
        EXPECT_EQ(hint, QString::fromStdString(
                            stavio::TextUtf8(stavio::DialogTexts, stavio::Language::German, 1))
                            .arg(c.refused));
    }
}

TEST_F(PropertiesDialogTest, CancelAfterEditingChangesNothing) {
    Start();
    FillProject();
    ASSERT_TRUE(RunProperties([](TForm3* form) {
        PartsOf(form).Edit1->setText(QStringLiteral("Other"));
        PartsOf(form).Edit2->setText(QStringLiteral("Other"));
        PartsOf(form).Memo1->setPlainText(QStringLiteral("changed"));
        PartsOf(form).mxFlatButton2->click();
    }));
    EXPECT_EQ(Project().ProjectName, "Album");
    EXPECT_EQ(Project().Subject, "Songs");
    EXPECT_EQ(Project().Comments, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(Title(), QStringLiteral("KELVO Stavio : Album"));
    EXPECT_FALSE(State().IsModified());
}

TEST_F(PropertiesDialogTest, CaptionsFollowTheLanguageAtEachShowing) {
    Start();
    State().CurrentLanguage = stavio::Language::French;
    QStringList texts;
    ASSERT_TRUE(RunProperties([&](TForm3* form) {
        texts << form->windowTitle() << PartsOf(form).Label7->text() << PartsOf(form).Label2->text()
              << PartsOf(form).mxFlatButton1->text() << PartsOf(form).mxFlatButton2->text();
        form->reject();
    }));
    EXPECT_EQ(texts,
              (QStringList{QStringLiteral("Propriétés du Projet"),
                           QStringLiteral(" Nom du Projet :"), QStringLiteral(" Commentaires :"),
                           QStringLiteral("Ok"), QStringLiteral("Annuler")}));

    State().CurrentLanguage = stavio::Language::German;
    ASSERT_TRUE(RunProperties([&](TForm3* form) {
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Projekteigenschaften"));
        EXPECT_EQ(PartsOf(form).mxFlatButton1->text(), QStringLiteral("OK"));
        form->reject();
    }));
}

} // namespace
