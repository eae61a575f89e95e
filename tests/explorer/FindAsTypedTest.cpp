// SPDX-License-Identifier: GPL-3.0-or-later
// Find looks for the text as typed: spaces at its ends count like any other character, so a
// Find never selects more files than the user asked for (a Delete would act on them).
#include "ModalScript.h"
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QAction>
#include <QInputDialog>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(FindAsTypedTest, SpacesAroundTheTextCountLikeAnyOtherCharacter) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString music = MakeDir(QDir(tmp.path()).canonicalPath(), QStringLiteral("music"));
    for (const char* name : {"Track 1.mp3", "Track 11.mp3", "Track 21.mp3"})
        MakeFile(music, QString::fromLatin1(name));
    TLsFilelistView28 list;
    list.SetDirectory(music);
    struct Case {
        const char* pattern;
        QStringList found;
    };
    const Case cases[] = {
        {" 1.", {QStringLiteral("Track 1.mp3")}},
        {" 1", {QStringLiteral("Track 1.mp3"), QStringLiteral("Track 11.mp3")}},
        {"1.",
         {QStringLiteral("Track 1.mp3"), QStringLiteral("Track 11.mp3"),
          QStringLiteral("Track 21.mp3")}},
        {"k 2", {QStringLiteral("Track 21.mp3")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        list.SelectCaptions({});
        ModalScript answers;
        answers.Then<QInputDialog>([&](QInputDialog* input) {
            input->setTextValue(QString::fromLatin1(c.pattern));
            input->accept();
        });
        list.findChild<QAction*>(QStringLiteral("actionFind"))->trigger();
        EXPECT_TRUE(answers.Finished());
        EXPECT_EQ(list.SelectedCaptions(), c.found);
    }
}

} // namespace
