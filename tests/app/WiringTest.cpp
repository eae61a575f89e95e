// SPDX-License-Identifier: GPL-3.0-or-later
// Every menu item, tool button and shortcut of the main window, fired the way a user fires it,
// must run its own command and nothing else; every caption and tooltip shows its own entry.

#include "AppFixture.h"

#include "Help.h"
#include "MakeScript.h"
#include "ProgessBar.h"
#include "ProjetProperty.h"
#include "Settings.h"

#include <QAccessible>
#include <QDesktopServices>
#include <QDragMoveEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QShortcut>
#include <QUrl>

#include <fstream>
#include <map>

namespace {

using stavio::Language;

// Receives what the Help menu hands to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QStringList Opened;
public slots:
    void Open(const QUrl& url) { Opened << url.toString(); }
};

// Answers a modal window and writes down what it was: dialogs are cancelled, message boxes
// closed, the folder name dialog gets "WIRED" and OK.
ModalScript::Answer RecordAndAnswer(QStringList& seen) {
    return [&seen](QWidget* modal) {
        if (qobject_cast<TOKBottomDlg1*>(modal))
            return; // the progress dialog closes itself
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen << QStringLiteral("box: ") + box->text();
            ModalScript::Dismiss(box);
            return;
        }
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (auto* properties = qobject_cast<TForm3*>(modal))
            seen << QStringLiteral("properties: ") + PartsOf(properties).Edit1->text();
        else if (auto* files = qobject_cast<QFileDialog*>(modal))
            seen << (files->acceptMode() == QFileDialog::AcceptOpen
                         ? QStringLiteral("open dialog")
                         : QStringLiteral("save dialog"));
        else if (qobject_cast<TForm2*>(modal))
            seen << QStringLiteral("about box");
        else if (qobject_cast<TOKBottomDlg6*>(modal))
            seen << QStringLiteral("render target dialog");
        else if (auto* folder = qobject_cast<TOKBottomDlg4*>(modal)) {
            seen << QStringLiteral("folder name dialog");
            PartsOf(folder).mxFlatEdit1->setText(QStringLiteral("WIRED"));
            PartsOf(folder).mxFlatButton1->click();
            return;
        } else
            seen << QStringLiteral("other: ") +
                        QString::fromLatin1(modal->metaObject()->className());
        if (dialog)
            dialog->reject();
        else
            modal->close();
    };
}

// How a control is fired.
using Fire = std::function<void(TForm1&)>;
Fire Trigger(QAction* MainWindowParts::*action) {
    return [action](TForm1& form) { (PartsOf(form).*action)->trigger(); };
}
Fire Click(QToolButton* MainWindowParts::*button) {
    return [button](TForm1& form) {
        ASSERT_TRUE((PartsOf(form).*button)->isEnabled());
        (PartsOf(form).*button)->click();
    };
}
enum class Focus { DirTree, FileList, CopyList };
QWidget* FocusWidget(TForm1& form, Focus focus) {
    switch (focus) {
    case Focus::DirTree:
        return PartsOf(form).LsDirTree211;
    case Focus::FileList:
        return PartsOf(form).LsFilelistView281->CurrentView();
    case Focus::CopyList:
        break;
    }
    return PartsOf(form).TreeView1;
}
Fire Key(const char* sequence, Focus focus) {
    return [sequence, focus](TForm1& form) {
        QWidget* target = FocusWidget(form, focus);
        target->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([target] { return target->hasFocus(); }, 2000));
        const QKeyCombination key = QKeySequence(QString::fromLatin1(sequence))[0];
        QTest::keyClick(target, key.key(), key.keyboardModifiers());
    };
}

struct Case {
    const char* control;
    Fire fire;
    QStringList changes; // what differs afterwards, as "what: value"
    Language startLanguage = Language::French;
};

QString French(const stavio::TextTable& table, int k) {
    return QString::fromStdString(stavio::TextUtf8(table, Language::French, k));
}

class WiringTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &urls_, "Open");
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &urls_, "Open");
    }
    void TearDown() override {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        AppFixture::TearDown();
    }

    // A project "Current" saved in saved.scp (which holds a stand-in), a folder DIR selected
    // in both lists, the explorer on ALBUM with one.mp3 selected and a file it does not list
    // yet.
    void Prepare(Language language) {
        QFile::remove(album_ + QStringLiteral("/zz.mp3")); // left by the previous row
        urls_.Opened.clear();
        stavio::SettingsValues values;
        values.language = language;
        values.lastExplorerDirectory = QFile::encodeName(album_).toStdString();
        stavio::WriteSettings(ExecutablePath(), values);
        Start();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Form()));
        projectFile_ = root_ + QStringLiteral("/saved.scp");
        std::ofstream(QFile::encodeName(projectFile_).toStdString()) << "stand-in\r\n";
        State().ProjectFileName = QFile::encodeName(projectFile_).toStdString();
        State().CurrentProject->ProjectName = "Current";
        stavio::AddFolderNode("DIR", Copy(), CopyLinks());
        stavio::AddFolderNode("DIR", Delete(), DeleteLinks());
        State().RecordSavedState();
        Browse(album_);
        Parts().LsFilelistView281->ItemCaptions(); // listed before the new file comes
        MakeFile(album_ + QStringLiteral("/zz.mp3"));
        Parts().LsFilelistView281->SelectCaptions({QStringLiteral("one.mp3")});
        QApplication::processEvents();
    }

    static QString Listing(const stavio::ListNode* node, const QString& path = {}) {
        const QString here = path + QString::fromStdString(node->Text());
        QStringList all{here};
        for (int i = 0; i < node->ChildCount(); ++i)
            all << Listing(node->Child(i), here + QLatin1Char('/'));
        return all.join(QLatin1Char(' '));
    }

    std::map<QString, QString> Facts() {
        std::map<QString, QString> facts;
        facts[QStringLiteral("copy list")] = Listing(Copy().Root());
        facts[QStringLiteral("delete list")] = Listing(Delete().Root());
        facts[QStringLiteral("language")] =
            QString::number(static_cast<int>(State().CurrentLanguage));
        facts[QStringLiteral("view style")] =
            QString::number(Parts().LsFilelistView281->ViewStyle());
        QStringList checked;
        for (QAction* item :
             {Parts().Explorater1, Parts().CopyList1, Parts().DeleteList1, Parts().NewImage1})
            if (item->isChecked())
                checked << item->objectName();
        facts[QStringLiteral("view checks")] = checked.join(QLatin1Char(' '));
        facts[QStringLiteral("explorer")] = Parts().LsDirTree211->SelectedPath();
        facts[QStringLiteral("files")] =
            Parts().LsFilelistView281->ItemCaptions().join(QLatin1Char(' '));
        facts[QStringLiteral("window")] =
            Form().isVisible() ? QStringLiteral("shown") : QStringLiteral("closed");
        QFile file(projectFile_);
        facts[QStringLiteral("project file")] = file.open(QIODevice::ReadOnly)
                                                    ? QString::fromLatin1(file.readLine()).trimmed()
                                                    : QString();
        facts[QStringLiteral("opened")] = urls_.Opened.join(QLatin1Char(' '));
        return facts;
    }

    QStringList Fired(const Case& c) {
        const auto before = Facts();
        QStringList modals;
        ModalScript script;
        script.Otherwise(RecordAndAnswer(modals));
        c.fire(Form());
        QTest::qWait(20);
        QStringList changes;
        for (const QString& seen : modals)
            changes << QStringLiteral("modal: ") + seen;
        for (const auto& [what, value] : Facts())
            if (before.at(what) != value)
                changes << what + QStringLiteral(": ") + value;
        return changes;
    }

    UrlCatcher urls_;
    QString projectFile_;
};

TEST_F(WiringTest, EveryControlRunsItsOwnCommand) {
    const QString album = QStringLiteral(
        "PLAYER PLAYER/DIR PLAYER/DIR/ALBUM PLAYER/DIR/ALBUM/ONE.MP3 PLAYER/DIR/ALBUM/THREE.MP3 "
        "PLAYER/DIR/ALBUM/TWO.MP3");
    const QString oneFile = QStringLiteral("PLAYER PLAYER/DIR PLAYER/DIR/ONE.MP3");
    const QString wired = QStringLiteral("PLAYER PLAYER/DIR PLAYER/DIR/WIRED");
    const QString relisted = QStringLiteral("files: one.mp3 three.mp3 two.mp3 zz.mp3");
    const QString newProject = QStringLiteral("modal: properties: New Project");
    const QString properties = QStringLiteral("modal: properties: Current");
    const QString open = QStringLiteral("modal: open dialog");
    const QString saved = QStringLiteral("project file: Group Of Program File of KELVO");
    const QString saveAs = QStringLiteral("modal: save dialog");
    const QString render = QStringLiteral("modal: box: ") + French(stavio::MessageTexts, 2);
    const QString closed = QStringLiteral("window: closed");
    const QString about = QStringLiteral("modal: about box");
    auto language = [&](int n) {
        return QStringList{QStringLiteral("language: ") + QString::number(n), relisted};
    };
    auto list = [](const char* which, const QString& listing) {
        return QStringList{QString::fromLatin1(which) + QStringLiteral(" list: ") + listing};
    };

    const Case cases[] = {
        // Main menu.
        {"New2", Trigger(&MainWindowParts::New2), {newProject}},
        {"Property1", Trigger(&MainWindowParts::Property1), {properties}},
        {"Open1", Trigger(&MainWindowParts::Open1), {open}},
        {"Save1", Trigger(&MainWindowParts::Save1), {saved}},
        {"SaveAs1", Trigger(&MainWindowParts::SaveAs1), {saveAs}},
        {"RenderScript1", Trigger(&MainWindowParts::RenderScript1), {render}},
        {"Exit1", Trigger(&MainWindowParts::Exit1), {closed}},
        {"Explorater1",
         Trigger(&MainWindowParts::Explorater1),
         {QStringLiteral("view checks: Explorater1")}},
        {"CopyList1",
         Trigger(&MainWindowParts::CopyList1),
         {QStringLiteral("view checks: CopyList1")}},
        {"DeleteList1",
         Trigger(&MainWindowParts::DeleteList1),
         {QStringLiteral("view checks: DeleteList1")}},
        {"NewImage1",
         Trigger(&MainWindowParts::NewImage1),
         {QStringLiteral("view checks: NewImage1")}},
        {"English1", Trigger(&MainWindowParts::English1), language(2)},
        {"French1", Trigger(&MainWindowParts::French1), language(1), Language::English},
        {"Espaol1", Trigger(&MainWindowParts::Espaol1), language(3)},
        {"Deutsch1", Trigger(&MainWindowParts::Deutsch1), language(4)},
        {"Italian1", Trigger(&MainWindowParts::Italian1), language(5)},
        {"About1", Trigger(&MainWindowParts::About1), {about}},
        {"HomePage1",
         Trigger(&MainWindowParts::HomePage1),
         {QStringLiteral("opened: ") + QString::fromLatin1(HomePageAddress)}},
        {"SendEmailToSupport1",
         Trigger(&MainWindowParts::SendEmailToSupport1),
         {QStringLiteral("opened: ") + QString::fromLatin1(SupportMailAddress)}},
        // Tool buttons.
        {"SpeedButton10", Click(&MainWindowParts::SpeedButton10), {newProject}},
        {"SpeedButton8", Click(&MainWindowParts::SpeedButton8), {open}},
        {"SpeedButton9", Click(&MainWindowParts::SpeedButton9), {saved}},
        {"SpeedButton1", Click(&MainWindowParts::SpeedButton1), {render}},
        {"SpeedButton6", Click(&MainWindowParts::SpeedButton6), list("copy", album)},
        {"SpeedButton7", Click(&MainWindowParts::SpeedButton7), list("delete", album)},
        {"SpeedButton4", Click(&MainWindowParts::SpeedButton4), {relisted}},
        {"SpeedButton11", Click(&MainWindowParts::SpeedButton11), list("copy", oneFile)},
        {"SpeedButton12", Click(&MainWindowParts::SpeedButton12), list("delete", oneFile)},
        {"SpeedButton5", Click(&MainWindowParts::SpeedButton5), {relisted}},
        {"SpeedButton13",
         Click(&MainWindowParts::SpeedButton13),
         {QStringLiteral("view style: 3")}},
        {"SpeedButton14", Click(&MainWindowParts::SpeedButton14),
         list("copy", QStringLiteral("PLAYER"))},
        {"SpeedButton19", Click(&MainWindowParts::SpeedButton19),
         QStringList{QStringLiteral("modal: folder name dialog")} + list("copy", wired)},
        {"SpeedButton15", Click(&MainWindowParts::SpeedButton15),
         list("delete", QStringLiteral("PLAYER"))},
        {"SpeedButton20", Click(&MainWindowParts::SpeedButton20),
         QStringList{QStringLiteral("modal: folder name dialog")} + list("delete", wired)},
        // Shortcuts, wherever the focus is; the explorer has it right after start-up.
        {"Ctrl+N in the directory tree", Key("Ctrl+N", Focus::DirTree), {newProject}},
        {"Ctrl+N in the file list", Key("Ctrl+N", Focus::FileList), {newProject}},
        {"Ctrl+N in the Copy List", Key("Ctrl+N", Focus::CopyList), {newProject}},
        {"Ctrl+O in the directory tree", Key("Ctrl+O", Focus::DirTree), {open}},
        {"Ctrl+O in the file list", Key("Ctrl+O", Focus::FileList), {open}},
        {"Ctrl+O in the Copy List", Key("Ctrl+O", Focus::CopyList), {open}},
        {"Ctrl+P", Key("Ctrl+P", Focus::FileList), {properties}},
        {"Ctrl+S", Key("Ctrl+S", Focus::DirTree), {saved}},
        {"Ctrl+Alt+S", Key("Ctrl+Alt+S", Focus::FileList), {saveAs}},
        {"F9", Key("F9", Focus::CopyList), {render}},
        {"F1", Key("F1", Focus::DirTree), {about}},
        {"Alt+F4", Key("Alt+F4", Focus::FileList), {closed}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        Prepare(c.startLanguage);
        QStringList fired = Fired(c), expected = c.changes;
        fired.sort();
        expected.sort();
        EXPECT_EQ(fired.join(QLatin1Char('\n')).toStdString(),
                  expected.join(QLatin1Char('\n')).toStdString());
        TearDown();
        SetUp();
    }
}

// Two enabled shortcuts with the same key whose contexts overlap: Qt runs neither.
TEST_F(WiringTest, NoShortcutOfTheMainWindowIsAmbiguous) {
    Start();
    Parts().French1->trigger(); // the explorer's actions take their texts
    struct Binding {
        QString owner;
        QKeySequence key;
        Qt::ShortcutContext context;
        QWidget* scope; // the widget the key is bound to
    };
    std::vector<Binding> bindings;
    for (QAction* action : Form().findChildren<QAction*>()) {
        if (!action->isEnabled())
            continue;
        for (const QKeySequence& key : action->shortcuts())
            for (QObject* object : action->associatedObjects())
                if (auto* widget = qobject_cast<QWidget*>(object))
                    bindings.push_back(
                        {action->objectName(), key, action->shortcutContext(), widget});
    }
    for (QShortcut* shortcut : Form().findChildren<QShortcut*>())
        if (shortcut->isEnabled())
            for (const QKeySequence& key : shortcut->keys())
                bindings.push_back({shortcut->objectName(), key, shortcut->context(),
                                    qobject_cast<QWidget*>(shortcut->parent())});
    ASSERT_GT(bindings.size(), 10u);

    auto within = [](const QWidget* inner, const QWidget* outer) {
        for (const QWidget* w = inner; w; w = w->parentWidget())
            if (w == outer)
                return true;
        return false;
    };
    // A menu's actions count for the window that shows the menu.
    auto windowWide = [](const Binding& b) {
        return b.context == Qt::WindowShortcut || b.context == Qt::ApplicationShortcut ||
               qobject_cast<QMenu*>(b.scope) != nullptr;
    };
    auto overlap = [&](const Binding& a, const Binding& b) {
        if (windowWide(a) || windowWide(b) || a.scope == b.scope)
            return true;
        return (a.context == Qt::WidgetWithChildrenShortcut && within(b.scope, a.scope)) ||
               (b.context == Qt::WidgetWithChildrenShortcut && within(a.scope, b.scope));
    };
    for (size_t i = 0; i < bindings.size(); ++i)
        for (size_t j = i + 1; j < bindings.size(); ++j) {
            const Binding& a = bindings[i];
            const Binding& b = bindings[j];
            if (a.key == b.key && a.owner != b.owner) {
                EXPECT_FALSE(overlap(a, b))
                    << a.key.toString().toStdString() << ": " << a.owner.toStdString() << " and "
                    << b.owner.toStdString();
            }
        }
}

// Each tooltip, caption and header shows its own table entry, in every language.
TEST_F(WiringTest, EveryCaptionAndTooltipShowsItsOwnEntry) {
    Start();
    const std::pair<QAction * MainWindowParts::*, Language> choices[] = {
        {&MainWindowParts::French1, Language::French},
        {&MainWindowParts::English1, Language::English},
        {&MainWindowParts::Espaol1, Language::Spanish},
        {&MainWindowParts::Deutsch1, Language::German},
        {&MainWindowParts::Italian1, Language::Italian},
    };
    const std::pair<QToolButton * MainWindowParts::*, int> hints[] = {
        {&MainWindowParts::SpeedButton10, 0},  {&MainWindowParts::SpeedButton8, 1},
        {&MainWindowParts::SpeedButton9, 2},   {&MainWindowParts::SpeedButton1, 3},
        {&MainWindowParts::SpeedButton6, 4},   {&MainWindowParts::SpeedButton7, 5},
        {&MainWindowParts::SpeedButton11, 6},  {&MainWindowParts::SpeedButton12, 7},
        {&MainWindowParts::SpeedButton4, 8},   {&MainWindowParts::SpeedButton5, 8},
        {&MainWindowParts::SpeedButton13, 9},  {&MainWindowParts::SpeedButton14, 10},
        {&MainWindowParts::SpeedButton19, 11}, {&MainWindowParts::SpeedButton15, 12},
        {&MainWindowParts::SpeedButton20, 13},
    };
    struct Caption {
        const char* name;
        std::function<QString(TForm1&)> shown;
        const stavio::TextTable& table;
        int k;
    };
    auto item = [](QAction* MainWindowParts::*a) {
        return [a](TForm1& f) { return (PartsOf(f).*a)->text(); };
    };
    auto menu = [](QMenu* MainWindowParts::*m) {
        return [m](TForm1& f) { return (PartsOf(f).*m)->title(); };
    };
    auto header = [](QLabel* MainWindowParts::*l) {
        return [l](TForm1& f) { return (PartsOf(f).*l)->text(); };
    };
    const Caption captions[] = {
        {"File1", menu(&MainWindowParts::File1), stavio::FileMenuTexts, 0},
        {"New2", item(&MainWindowParts::New2), stavio::FileMenuTexts, 1},
        {"Property1", item(&MainWindowParts::Property1), stavio::FileMenuTexts, 2},
        {"Open1", item(&MainWindowParts::Open1), stavio::FileMenuTexts, 3},
        {"Save1", item(&MainWindowParts::Save1), stavio::FileMenuTexts, 4},
        {"SaveAs1", item(&MainWindowParts::SaveAs1), stavio::FileMenuTexts, 5},
        {"Exit1", item(&MainWindowParts::Exit1), stavio::FileMenuTexts, 6},
        {"RenderScript1", item(&MainWindowParts::RenderScript1), stavio::FileMenuTexts, 7},
        {"Options1", menu(&MainWindowParts::Options1), stavio::OptionsMenuTexts, 0},
        {"Language1", menu(&MainWindowParts::Language1), stavio::LanguageMenuTexts, 0},
        {"English1", item(&MainWindowParts::English1), stavio::LanguageMenuTexts, 1},
        {"French1", item(&MainWindowParts::French1), stavio::LanguageMenuTexts, 2},
        {"Espaol1", item(&MainWindowParts::Espaol1), stavio::LanguageMenuTexts, 3},
        {"Deutsch1", item(&MainWindowParts::Deutsch1), stavio::LanguageMenuTexts, 4},
        {"Italian1", item(&MainWindowParts::Italian1), stavio::LanguageMenuTexts, 5},
        {"Help1", menu(&MainWindowParts::Help1), stavio::HelpMenuTexts, 0},
        {"About1", item(&MainWindowParts::About1), stavio::HelpMenuTexts, 1},
        {"Web1", menu(&MainWindowParts::Web1), stavio::HelpMenuTexts, 2},
        {"HomePage1", item(&MainWindowParts::HomePage1), stavio::HelpMenuTexts, 3},
        {"SendEmailToSupport1", item(&MainWindowParts::SendEmailToSupport1), stavio::HelpMenuTexts,
         4},
        {"ExplorerHeader", header(&MainWindowParts::ExplorerHeader), stavio::PaneTexts, 0},
        {"CopyListHeader", header(&MainWindowParts::CopyListHeader), stavio::PaneTexts, 1},
        {"DeleteListHeader", header(&MainWindowParts::DeleteListHeader), stavio::PaneTexts, 2},
        {"PlayerImageHeader", header(&MainWindowParts::PlayerImageHeader), stavio::PaneTexts, 3},
    };
    for (const auto& [choice, language] : choices) {
        (Parts().*choice)->trigger();
        auto text = [language](const stavio::TextTable& table, int k) {
            return QString::fromStdString(stavio::TextUtf8(table, language, k));
        };
        for (const auto& [button, k] : hints) {
            SCOPED_TRACE((Parts().*button)->objectName().toStdString());
            EXPECT_EQ((Parts().*button)->toolTip(), text(stavio::HintTexts, k));
        }
        for (const Caption& c : captions) {
            SCOPED_TRACE(c.name);
            EXPECT_EQ(c.shown(Form()), text(c.table, c.k));
        }
    }
}

// A screen reader announces every control by a name in the current language: an icon-only
// button by its hint, a list by its pane's header.
TEST_F(WiringTest, EveryControlHasAnAccessibleNameInTheCurrentLanguage) {
    Start();
    auto name = [](QWidget* w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    };
    for (QAction* choice : {Parts().Deutsch1, Parts().English1}) {
        choice->trigger();
        std::vector<std::pair<QWidget*, QString>> rows{
            {Parts().TreeView1, Parts().CopyListHeader->text()},
            {Parts().TreeView2, Parts().DeleteListHeader->text()}};
        for (QToolButton* button :
             Form().findChildren<QToolButton*>(QRegularExpression(QStringLiteral("^SpeedButton"))))
            rows.emplace_back(button, button->toolTip());
        ASSERT_EQ(rows.size(), 17u);
        for (const auto& [control, expected] : rows)
            EXPECT_EQ(name(control), expected) << control->objectName().toStdString();
        for (QWidget* w : Form().findChildren<QWidget*>()) { // nothing left nameless
            if (w->isVisible() &&
                (qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractItemView*>(w))) {
                EXPECT_FALSE(name(w).isEmpty()) << w->metaObject()->className();
            }
        }
    }
}

} // namespace

#include "WiringTest.moc"
