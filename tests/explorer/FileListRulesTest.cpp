// Rules of the file list that decide which files a command acts on: Find's patterns, the
// order of the names.
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QAction>
#include <QInputDialog>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class FileListRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        music = MakeDir(QDir(tmp.path()).canonicalPath(), QStringLiteral("music"));
    }
    void TearDown() override { CloseStrayModals(); }

    QTemporaryDir tmp;
    QString music;
    TLsFilelistView28 list;
};

TEST_F(FileListRulesTest, FindTakesOnlyStarAndQuestionMarkAsWildcards) {
    for (const char* name : {"[Live] Intro.mp3", "a.mp3", "b.mp3", "L.mp3", "i.mp3", "v.mp3",
                             "e.mp3", "a+b (1).mp3", "x.mp3.mp3"})
        MakeFile(music, QString::fromUtf8(name));
    list.SetDirectory(music);
    struct Case {
        const char* pattern;
        QStringList found; // empty: "No file found."
    };
    const Case cases[] = {
        {"[Live]", {QStringLiteral("[Live] Intro.mp3")}},
        {"[a-b]*", {}},
        {"a+b (1)", {QStringLiteral("a+b (1).mp3")}},
        {"?.mp3",
         {QStringLiteral("a.mp3"), QStringLiteral("b.mp3"), QStringLiteral("e.mp3"),
          QStringLiteral("i.mp3"), QStringLiteral("L.mp3"), QStringLiteral("v.mp3")}},
        {"*intro*", {QStringLiteral("[Live] Intro.mp3")}},
        {"x.mp3", {QStringLiteral("x.mp3.mp3")}},
        {"x.mp3*", {QStringLiteral("x.mp3.mp3")}},
        {"^a", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        list.SelectCaptions({});
        ModalRecorder answers([&](QWidget* modal) {
            if (auto* input = qobject_cast<QInputDialog*>(modal)) {
                input->setTextValue(QString::fromUtf8(c.pattern));
                input->accept();
            } else {
                qobject_cast<QDialog*>(modal)->reject();
            }
        });
        list.findChild<QAction*>(QStringLiteral("actionFind"))->trigger();
        QStringList selected = list.SelectedCaptions();
        selected.sort(Qt::CaseInsensitive);
        EXPECT_EQ(selected, c.found);
        EXPECT_EQ(answers.texts, c.found.isEmpty() ? QStringList{QStringLiteral("No file found.")}
                                                   : QStringList());
    }
}

} // namespace
