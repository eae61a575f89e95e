// SPDX-License-Identifier: GPL-3.0-or-later
// After a paste the pasted files are selected in the folder they went to, and nothing is
// selected in another folder the list has moved to meanwhile (where the same names are other
// files).
#include "ModalScript.h"
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

TEST(PasteSelectionTest, PastedFilesAreSelectedOnlyInTheFolderTheyWentTo) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString dir = QDir(tmp.path()).canonicalPath();
    const QString source = MakeDir(dir, QStringLiteral("source"));
    const QString into = MakeDir(dir, QStringLiteral("into"));
    const QString elsewhere = MakeDir(dir, QStringLiteral("elsewhere"));
    MakeFile(source, QStringLiteral("a.mp3"));
    MakeFile(elsewhere, QStringLiteral("a.mp3"));
    MakeFile(elsewhere, QStringLiteral("b.mp3"));
    // A sparse file: long to copy (the progress window shows), no room taken at its source.
    {
        QFile big(source + QStringLiteral("/big.mp3"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(qint64(2) << 30));
    }
    TLsFilelistView28 list;
    list.show();
    struct Case {
        const char* what;
        bool moveAway; // the list shows another folder before the paste ends
        QString shown;
        QStringList selected;
    };
    const Case cases[] = {
        {"the list stays", false, into, {QStringLiteral("a.mp3")}},
        {"the list moves to another folder", true, elsewhere, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(into + QStringLiteral("/a.mp3"));
        list.SetDirectory(into);
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(source + QStringLiteral("/a.mp3")),
                       QUrl::fromLocalFile(source + QStringLiteral("/big.mp3"))});
        QGuiApplication::clipboard()->setMimeData(data);
        // The big copy is stopped once its progress shows; a.mp3 is pasted by then.
        ModalScript answers;
        answers.Then<QProgressDialog>([&](QProgressDialog* progress) {
            if (c.moveAway)
                list.SetDirectory(elsewhere);
            progress->cancel();
        });
        list.findChild<QAction*>(QStringLiteral("actionPaste"))->trigger();
        EXPECT_TRUE(QFileInfo::exists(into + QStringLiteral("/a.mp3")));
        EXPECT_EQ(list.Directory(), c.shown);
        EXPECT_EQ(list.SelectedCaptions(), c.selected);
    }
}

} // namespace
