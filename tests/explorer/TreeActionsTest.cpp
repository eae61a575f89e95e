// SPDX-License-Identifier: GPL-3.0-or-later
// The directory tree's own actions are enabled only where they can act: on a drive or a
// folder, never on the computer or without a selection.
#include "TLsDirTree21.h"
#include "TestHelpers.h"

#include <QAction>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
namespace {

QStringList EnabledActions(const TLsDirTree21& tree) {
    QStringList names;
    for (QAction* action : tree.actions()) {
        if (action->isEnabled())
            names << action->objectName();
    }
    names.sort();
    return names;
}

TEST(TreeActionsTest, OpenNewFolderAndRefreshActOnlyOnADriveOrAFolder) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString folder = MakeDir(QDir(tmp.path()).canonicalPath(), QStringLiteral("music"));
    const QStringList all = {QStringLiteral("actionNewFolder"), QStringLiteral("actionOpen"),
                             QStringLiteral("actionRefresh")};
    TLsDirTree21 tree;
    struct Case {
        const char* what;
        std::function<void()> select;
        QStringList enabled;
    };
    const Case cases[] = {
        {"nothing selected", [] {}, {}},
        {"the computer", [&] { tree.setCurrentItem(tree.topLevelItem(0)); }, {}},
        {"a drive", [&] { tree.OpenPath(QStringLiteral("/")); }, all},
        {"a folder", [&] { tree.OpenPath(folder); }, all},
        {"the computer again", [&] { tree.setCurrentItem(tree.topLevelItem(0)); }, {}},
        {"after a reload", [&] { tree.Reload(); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.select();
        EXPECT_EQ(EnabledActions(tree), c.enabled);
    }
}

} // namespace
