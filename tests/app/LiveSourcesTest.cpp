// SPDX-License-Identifier: GPL-3.0-or-later
// Entries grey as soon as the explorer or another program takes their sources away, and no
// longer once a source is back.

#include "AppFixture.h"

#include <QAction>
#include <QSignalSpy>

namespace {

using LiveSourcesTest = AppFixture;

TEST_F(LiveSourcesTest, AnEntryGreysWhenItsSourceGoesAndNotWhenItComesBack) {
    Start();
    Browse(album_);
    stavio::ListNode* folder = stavio::AddFolderNode("A", Copy(), CopyLinks());
    Parts().LsFilelistView281->SelectCaptions(
        {QStringLiteral("one.mp3"), QStringLiteral("two.mp3")});
    Parts().SpeedButton11->click();
    ListTreeModel& model = *Parts().CopyModel;
    const QModelIndex one = model.IndexOf(Child(folder, "ONE.MP3"));
    const QModelIndex two = model.IndexOf(Child(folder, "TWO.MP3"));
    const struct {
        std::function<void()> act;
        QModelIndex changed;
        bool oneGreyed, twoGreyed, atOnce; // else once the explorer has seen the change
    } steps[] = {
        {[&] {
             Parts().LsFilelistView281->SelectCaptions({QStringLiteral("one.mp3")});
             ModalScript script;
             script.Otherwise([](QWidget* w) { ModalScript::Press(w, QStringLiteral("&Oui")); });
             Parts()
                 .LsFilelistView281->findChild<QAction*>(QStringLiteral("actionDelete"))
                 ->trigger();
         },
         one, true, false, true},
        {[&] { MakeFile(album_ + QStringLiteral("/one.mp3")); }, one, false, false, false},
        {[&] { QFile::remove(album_ + QStringLiteral("/two.mp3")); }, two, false, true, false},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(&step - steps);
        QSignalSpy told(&model, &QAbstractItemModel::dataChanged);
        step.act();
        auto shown = [&] {
            return one.data(Qt::ForegroundRole).isValid() == step.oneGreyed &&
                   two.data(Qt::ForegroundRole).isValid() == step.twoGreyed;
        };
        EXPECT_TRUE(step.atOnce ? shown() : QTest::qWaitFor(shown, 3000));
        EXPECT_TRUE(std::any_of(told.begin(), told.end(), [&](const QList<QVariant>& args) {
            return args.at(0).toModelIndex() == step.changed;
        }));
    }
}

} // namespace
