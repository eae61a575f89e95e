// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's layout: menus, the main tool bar, the explorer pane, the two list panes,
// the hidden Player Image pane and the status bar.

#include "Main.h"

#include "AudioFormats.h"
#include "ListTreeModel.h"
#include "ListTreeView.h"
#include "ProjectFigures.h"
#include "Script.h"
#include "StavioApp.h"
#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"
#include "UserConfig.h"
#include "text.h"

#include <QAction>
#include <QActionGroup>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QIcon Icon(const QString& name) {
    return QIcon(QStringLiteral(":/icons/") + name + QStringLiteral(".svg"));
}

QAction* MakeAction(QMenu* menu, const char* name, const QString& caption,
                    const QKeySequence& shortcut = {}, const QString& icon = {}) {
    auto* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    if (!icon.isEmpty())
        action->setIcon(Icon(icon));
    return action;
}

QMenu* MakeMenu(QWidget* owner, const char* name, const QString& caption) {
    auto* menu = new QMenu(caption, owner);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

// A pane header: the icon centred in a 24 x 24 square at the left edge and the caption,
// bold and centred, in the caption-text colour on the highlight colour.
QWidget* MakeHeader(QLabel*& caption, const QString& icon, const char* name) {
    auto* header = new QWidget;
    header->setObjectName(QString::fromLatin1(name) + QStringLiteral("Header"));
    header->setFixedHeight(24);
    header->setAutoFillBackground(true);
    QPalette p = header->palette();
    p.setColor(QPalette::Window, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::WindowText, p.color(QPalette::Active, QPalette::HighlightedText));
    header->setPalette(p);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto* image = new QLabel;
    image->setFixedSize(24, 24);
    image->setAlignment(Qt::AlignCenter);
    image->setPixmap(Icon(icon).pixmap(16, 16));
    caption = new QLabel;
    caption->setObjectName(QString::fromLatin1(name) + QStringLiteral("Caption"));
    caption->setAlignment(Qt::AlignCenter);
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    row->addWidget(image);
    row->addWidget(caption, 1);
    row->addSpacing(24); // keeps the caption centred on the whole header
    return header;
}

QWidget* MakePaneToolBar(std::initializer_list<QToolButton*> buttons) {
    auto* bar = new QWidget;
    bar->setFixedHeight(28);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(1);
    for (QToolButton* b : buttons)
        row->addWidget(b);
    row->addStretch(1);
    return bar;
}

QSplitter* MakeSplitter(Qt::Orientation orientation) {
    auto* splitter = new QSplitter(orientation);
    splitter->setHandleWidth(3);
    splitter->setChildrenCollapsible(false);
    splitter->setOpaqueResize(true);
    return splitter;
}

} // namespace

QToolButton* TForm1::MakeSpeedButton(const char* name, const QString& icon, int size) {
    auto* button = new QToolButton;
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    // Reached by Tab and pressed by Space; a click leaves the focus where it was.
    button->setFocusPolicy(Qt::TabFocus);
    button->setIcon(Icon(icon));
    button->setFixedSize(size == 24 ? QSize(24, 24) : QSize(40, 34));
    button->setIconSize(size == 24 ? QSize(16, 16) : QSize(24, 24));
    return button;
}

void TForm1::BuildMenus() {
    QMenuBar* bar = menuBar();

    File1 = MakeMenu(this, "File1", QStringLiteral("&File"));
    New2 = MakeAction(File1, "New2", QStringLiteral("&New Project"),
                      QKeySequence(Qt::CTRL | Qt::Key_N), QStringLiteral("new"));
    Property1 = MakeAction(File1, "Property1", QStringLiteral("&Project Properties..."),
                           QKeySequence(Qt::CTRL | Qt::Key_P), QStringLiteral("properties"));
    File1->addSeparator();
    Open1 = MakeAction(File1, "Open1", QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O),
                       QStringLiteral("open"));
    Save1 = MakeAction(File1, "Save1", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S),
                       QStringLiteral("save"));
    SaveAs1 = MakeAction(File1, "SaveAs1", QStringLiteral("Save &as..."),
                         QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S), QStringLiteral("save-as"));
    File1->addSeparator();
    RenderScript1 = MakeAction(File1, "RenderScript1", QStringLiteral("Create Script"),
                               QKeySequence(Qt::Key_F9), QStringLiteral("render"));
    File1->addSeparator();
    Exit1 = MakeAction(File1, "Exit1", QStringLiteral("E&xit"), QKeySequence(Qt::ALT | Qt::Key_F4),
                       QStringLiteral("exit"));
    bar->addMenu(File1);

    Edit1 = MakeMenu(this, "Edit1", QStringLiteral("&Edit"));
    Undo1 = MakeAction(Edit1, "Undo1", QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    Redo1 = MakeAction(Edit1, "Redo1", QStringLiteral("&Redo"),
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    bar->addMenu(Edit1);

    // Never shown; each item keeps a check mark of its own.
    View1 = MakeMenu(this, "View1", QStringLiteral("&View"));
    Explorater1 = MakeAction(View1, "Explorater1", QStringLiteral("Explorer"));
    CopyList1 = MakeAction(View1, "CopyList1", QStringLiteral("Copy List"));
    DeleteList1 = MakeAction(View1, "DeleteList1", QStringLiteral("Delete List"));
    NewImage1 = MakeAction(View1, "NewImage1", QStringLiteral("New Image"));
    for (QAction* item : {Explorater1, CopyList1, DeleteList1, NewImage1}) {
        auto* group = new QActionGroup(this);
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        item->setCheckable(true);
        group->addAction(item);
    }
    bar->addMenu(View1);
    View1->menuAction()->setVisible(false);

    Options1 = MakeMenu(this, "Options1", QStringLiteral("&Options"));
    Language1 = MakeMenu(this, "Language1", QStringLiteral("&Language"));
    Language1->menuAction()->setIcon(Icon(QStringLiteral("language")));
    Options1->addMenu(Language1);
    LanguageGroup = new QActionGroup(this);
    English1 = MakeAction(Language1, "English1", QStringLiteral("&English"));
    French1 = MakeAction(Language1, "French1", QString::fromUtf8("&Français"));
    Espaol1 = MakeAction(Language1, "Espaol1", QString::fromUtf8("E&spañol"));
    Deutsch1 = MakeAction(Language1, "Deutsch1", QStringLiteral("&Deutsch"));
    Italian1 = MakeAction(Language1, "Italian1", QStringLiteral("&Italiano"));
    for (QAction* item : {English1, French1, Espaol1, Deutsch1, Italian1}) {
        item->setCheckable(true);
        LanguageGroup->addAction(item);
    }
    English1->setChecked(true);
    OtherAudioFormats1 =
        MakeAction(Options1, "OtherAudioFormats1", QStringLiteral("Other audio formats"));
    OtherAudioFormats1->setCheckable(true);
    ConversionSettings1 =
        MakeAction(Options1, "ConversionSettings1", QString::fromUtf8("Conversion settings…"));
    bar->addMenu(Options1);

    Help1 = MakeMenu(this, "Help1", QStringLiteral("&Help"));
    About1 = MakeAction(Help1, "About1", QStringLiteral("&About..."), QKeySequence(Qt::Key_F1),
                        QStringLiteral("about"));
    Help1->addSeparator();
    Web1 = MakeMenu(this, "Web1", QStringLiteral("KELVO on the &Web"));
    Help1->addMenu(Web1);
    HomePage1 = MakeAction(Web1, "HomePage1", QStringLiteral("KELVO &Home Page"), {},
                           QStringLiteral("home"));
    SendEmailToSupport1 = MakeAction(Web1, "SendEmailToSupport1",
                                     QStringLiteral("&Send Email to KELVO's Technical Support"), {},
                                     QStringLiteral("mail"));
    bar->addMenu(Help1);
}

void TForm1::BuildToolBar() {
    auto* bar = new QToolBar;
    bar->setObjectName(QStringLiteral("MainToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->toggleViewAction()->setVisible(false);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    SpeedButton10 = MakeSpeedButton("SpeedButton10", QStringLiteral("new"), 40);
    SpeedButton8 = MakeSpeedButton("SpeedButton8", QStringLiteral("open"), 40);
    SpeedButton9 = MakeSpeedButton("SpeedButton9", QStringLiteral("save"), 40);
    SpeedButton1 = MakeSpeedButton("SpeedButton1", QStringLiteral("render"), 40);
    bar->addWidget(SpeedButton10);
    bar->addWidget(SpeedButton8);
    bar->addWidget(SpeedButton9);
    bar->addSeparator();
    bar->addWidget(SpeedButton1);
    addToolBar(Qt::TopToolBarArea, bar);
}

QWidget* TForm1::BuildExplorerPane() {
    auto* pane = new QFrame;
    pane->setObjectName(QStringLiteral("ExplorerPane"));
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(1, 1, 1, 1);
    column->setSpacing(0);
    column->addWidget(MakeHeader(ExplorerHeader, QStringLiteral("folder-open"), "Explorer"));

    SpeedButton6 = MakeSpeedButton("SpeedButton6", QStringLiteral("add-dir-copy"), 24);
    SpeedButton7 = MakeSpeedButton("SpeedButton7", QStringLiteral("add-dir-delete"), 24);
    SpeedButton4 = MakeSpeedButton("SpeedButton4", QStringLiteral("refresh"), 24);
    column->addWidget(MakePaneToolBar({SpeedButton6, SpeedButton7, SpeedButton4}));

    LsDirTree211 = new TLsDirTree21;
    LsDirTree211->setObjectName(QStringLiteral("LsDirTree211"));
    LsFilelistView281 = new TLsFilelistView28;
    LsFilelistView281->setObjectName(QStringLiteral("LsFilelistView281"));
    LsFilelistView281->SetMask(QString::fromLatin1(stavio::AudioFileMask(false)));
    LsFilelistView281->SetViewStyle(2);
    LsDirTree211->SetFileList(LsFilelistView281);

    SpeedButton11 = MakeSpeedButton("SpeedButton11", QStringLiteral("add-files-copy"), 24);
    SpeedButton12 = MakeSpeedButton("SpeedButton12", QStringLiteral("add-files-delete"), 24);
    SpeedButton5 = MakeSpeedButton("SpeedButton5", QStringLiteral("refresh"), 24);
    SpeedButton13 = MakeSpeedButton("SpeedButton13", QStringLiteral("view"), 24);
    auto* lower = new QWidget;
    auto* lowerColumn = new QVBoxLayout(lower);
    lowerColumn->setContentsMargins(0, 0, 0, 0);
    lowerColumn->setSpacing(0);
    lowerColumn->addWidget(
        MakePaneToolBar({SpeedButton11, SpeedButton12, SpeedButton5, SpeedButton13}));
    lowerColumn->addWidget(LsFilelistView281, 1);

    auto* split = MakeSplitter(Qt::Vertical);
    split->setObjectName(QStringLiteral("ExplorerSplitter"));
    split->addWidget(LsDirTree211);
    split->addWidget(lower);
    LsDirTree211->setMinimumHeight(32);
    lower->setMinimumHeight(28 + 24); // its tool bar whole and a line of the list
    split->setStretchFactor(1, 1);
    split->setSizes({214, 300});
    column->addWidget(split, 1);
    return pane;
}

QWidget* TForm1::BuildListPane(QLabel*& header, const QString& icon, QWidget* toolBar,
                               QTreeView* tree, const char* name) {
    auto* pane = new QWidget;
    pane->setObjectName(QString::fromLatin1(name) + QStringLiteral("Pane"));
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(MakeHeader(header, icon, name));
    column->addWidget(toolBar);
    column->addWidget(tree, 1);
    return pane;
}

void TForm1::BuildClientArea() {
    CopyModel = new ListTreeModel(State.CopyTree, this);
    DeleteModel = new ListTreeModel(State.DeleteTree, this);
    TreeView1 = new ListTreeView(*this, CopyModel);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView2 = new ListTreeView(*this, DeleteModel);
    TreeView2->setObjectName(QStringLiteral("TreeView2"));

    SpeedButton14 = MakeSpeedButton("SpeedButton14", QStringLiteral("delete"), 24);
    SpeedButton19 = MakeSpeedButton("SpeedButton19", QStringLiteral("new-folder"), 24);
    SpeedButton15 = MakeSpeedButton("SpeedButton15", QStringLiteral("delete"), 24);
    SpeedButton20 = MakeSpeedButton("SpeedButton20", QStringLiteral("new-folder"), 24);
    QWidget* copyPane =
        BuildListPane(CopyListHeader, QStringLiteral("player"),
                      MakePaneToolBar({SpeedButton14, SpeedButton19}), TreeView1, "CopyList");
    QWidget* deletePane =
        BuildListPane(DeleteListHeader, QStringLiteral("delete"),
                      MakePaneToolBar({SpeedButton15, SpeedButton20}), TreeView2, "DeleteList");
    auto* lists = MakeSplitter(Qt::Vertical);
    lists->setObjectName(QStringLiteral("ListSplitter"));
    lists->addWidget(copyPane);
    lists->addWidget(deletePane);
    copyPane->setMinimumHeight(64);
    deletePane->setMinimumHeight(64);
    lists->setStretchFactor(1, 1);
    lists->setSizes({267, 240});

    TreeView3 = new QTreeView;
    TreeView3->setObjectName(QStringLiteral("TreeView3"));
    TreeView3->setHeaderHidden(true);
    TreeView3->setFrameShape(QFrame::NoFrame);
    PlayerImagePane = BuildListPane(PlayerImageHeader, QStringLiteral("player"),
                                    MakePaneToolBar({}), TreeView3, "PlayerImage");
    PlayerImagePane->setMinimumWidth(64);

    QWidget* explorer = BuildExplorerPane();
    explorer->setMinimumWidth(64);
    lists->setMinimumWidth(64);
    auto* client = ClientSplitter = MakeSplitter(Qt::Horizontal);
    client->setObjectName(QStringLiteral("ClientSplitter"));
    client->addWidget(explorer);
    client->addWidget(lists);
    client->addWidget(PlayerImagePane);
    client->setStretchFactor(1, 1);
    client->setSizes({260, 540, 260});
    PlayerImagePane->hide();
    setCentralWidget(client);

    StatusPanel = new QLabel;
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    StatusPanel->setMinimumWidth(50);
    StatusPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusPanel->setTextFormat(Qt::RichText);
    statusBar()->addWidget(StatusPanel, 1);
    statusBar()->setSizeGripEnabled(true);
}

void TForm1::ConnectCommands() {
    ConnectStatusBar();
    connect(New2, &QAction::triggered, this, &TForm1::New2Click);
    connect(Property1, &QAction::triggered, this, &TForm1::Property1Click);
    connect(Open1, &QAction::triggered, this, &TForm1::Open1Click);
    connect(Save1, &QAction::triggered, this, &TForm1::Save1Click);
    connect(SaveAs1, &QAction::triggered, this, &TForm1::SaveAs1Click);
    connect(RenderScript1, &QAction::triggered, this, &TForm1::RenderScript1Click);
    connect(Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
    connect(Undo1, &QAction::triggered, this, &TForm1::Undo1Click);
    connect(Redo1, &QAction::triggered, this, &TForm1::Redo1Click);
    connect(English1, &QAction::triggered, this, &TForm1::English1Click);
    connect(French1, &QAction::triggered, this, &TForm1::French1Click);
    connect(Espaol1, &QAction::triggered, this, &TForm1::Espaol1Click);
    connect(Deutsch1, &QAction::triggered, this, &TForm1::Deutsch1Click);
    connect(Italian1, &QAction::triggered, this, &TForm1::Italian1Click);
    connect(OtherAudioFormats1, &QAction::triggered, this, &TForm1::OtherAudioFormats1Click);
    connect(About1, &QAction::triggered, this, &TForm1::About1Click);
    connect(ConversionSettings1, &QAction::triggered, this, &TForm1::ConversionSettings1Click);
    connect(HomePage1, &QAction::triggered, this, &TForm1::HomePage1Click);
    connect(SendEmailToSupport1, &QAction::triggered, this, &TForm1::SendEmailToSupport1Click);

    connect(SpeedButton10, &QToolButton::clicked, this, &TForm1::New2Click);
    connect(SpeedButton8, &QToolButton::clicked, this, &TForm1::Open1Click);
    connect(SpeedButton9, &QToolButton::clicked, this, &TForm1::Save1Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm1::RenderScript1Click);
    connect(SpeedButton6, &QToolButton::clicked, this, &TForm1::SpeedButton6Click);
    connect(SpeedButton7, &QToolButton::clicked, this, &TForm1::SpeedButton7Click);
    connect(SpeedButton4, &QToolButton::clicked, this, &TForm1::SpeedButton4Click);
    connect(SpeedButton11, &QToolButton::clicked, this, &TForm1::SpeedButton11Click);
    connect(SpeedButton12, &QToolButton::clicked, this, &TForm1::SpeedButton12Click);
    connect(SpeedButton5, &QToolButton::clicked, this, &TForm1::SpeedButton4Click);
    connect(SpeedButton13, &QToolButton::clicked, this, &TForm1::SpeedButton13Click);
    connect(SpeedButton14, &QToolButton::clicked, this, &TForm1::SpeedButton14Click);
    connect(SpeedButton19, &QToolButton::clicked, this, &TForm1::SpeedButton19Click);
    connect(SpeedButton15, &QToolButton::clicked, this, &TForm1::SpeedButton15Click);
    connect(SpeedButton20, &QToolButton::clicked, this, &TForm1::SpeedButton20Click);

    connect(CopyModel, &ListTreeModel::SelectedNodeChanged, this, &TForm1::TreeView1Change);
    connect(DeleteModel, &ListTreeModel::SelectedNodeChanged, this, &TForm1::TreeView1Change);
    BuildListKeys();
    ConnectTags();
    ConnectSources();
    connect(LsDirTree211, &TLsDirTree21::OnDirChange, this, &TForm1::LsDirTree211DirChange);
    BuildExplorerOptions();
    // Only a width the user gave is remembered; setSizes does not count.
    connect(ClientSplitter, &QSplitter::splitterMoved, this, [this] { userLayoutChanged_ = true; });
}

void TForm1::BuildExplorerOptions() {
    ShowHiddenFolders1 = new QAction(this);
    ShowHiddenFolders1->setObjectName(QStringLiteral("ShowHiddenFolders1"));
    ShowHiddenFolders1->setCheckable(true);
    connect(ShowHiddenFolders1, &QAction::triggered, this, &TForm1::ShowHiddenFolders1Click);
    // In the directory tree's menu, after its own commands: the file list shows no folders.
    auto* separator = new QAction(LsDirTree211);
    separator->setSeparator(true);
    LsDirTree211->addAction(separator);
    LsDirTree211->addAction(ShowHiddenFolders1);
}

namespace {

constexpr char kExplorerWidthKey[] = "ExplorerWidth";
constexpr char kShowHiddenFoldersKey[] = "ShowHiddenFolders";

} // namespace

void TForm1::ReadUserLayout() {
    const stavio::UserConfig config = stavio::UserConfig::Load(stavio::UserConfigPath());
    const bool hidden = config.GetBool(kShowHiddenFoldersKey, false);
    ShowHiddenFolders1->setChecked(hidden);
    LsDirTree211->SetShowHidden(hidden);
    // The lists take what the explorer gives up or gets; the splitter keeps both usable.
    const long long width = config.GetInt(kExplorerWidthKey, 0);
    if (width > 0) {
        const int explorer = static_cast<int>(std::min<long long>(width, 4096));
        ClientSplitter->setSizes({explorer, std::max(64, 800 - explorer), 260});
    }
}

void TForm1::WriteUserLayout() {
    if (!userLayoutChanged_)
        return;
    const std::string path = stavio::UserConfigPath();
    stavio::UserConfig config = stavio::UserConfig::Load(path);
    config.SetInt(kExplorerWidthKey, ClientSplitter->sizes().value(0));
    config.SetBool(kShowHiddenFoldersKey, ShowHiddenFolders1->isChecked());
    try {
        config.Save(path);
        userLayoutChanged_ = false;
    } catch (const std::exception&) {
        // A layout not remembered is no reason to trouble the user.
    }
}

void TForm1::ShowHiddenFolders1Click() {
    LsDirTree211->SetShowHidden(ShowHiddenFolders1->isChecked());
    userLayoutChanged_ = true; // written with the width
    WriteUserLayout();
}

void TForm1::FitMinimumSize() {
    // Set once, before the window is shown, for the widest of the five languages: a minimum
    // changed on a window on the screen upsets its focus on some platforms.
    static constexpr stavio::Language kLanguages[] = {
        stavio::Language::French, stavio::Language::English, stavio::Language::Spanish,
        stavio::Language::German, stavio::Language::Italian};
    const auto text = [](const stavio::TextTable& table, stavio::Language language, int k) {
        return QString::fromStdString(stavio::TextUtf8(table, language, k));
    };
    // The menu bar folds items it has no room for behind a button: it needs its full width.
    const QList<QMenu*> menus{File1, Edit1, Options1, Help1};
    QStringList titles;
    for (QMenu* menu : menus)
        titles.append(menu->title());
    int width = 0;
    int captions[2] = {0, 0}; // the explorer's header, the lists' headers
    int figures = 0;
    stavio::ProjectFigureValues large; // up to thousands of files
    large.copyFiles = large.deleteFiles = 9999;
    large.copyBytes = 999'999'999'999;
    large.scriptCount = stavio::MaxScriptCount;
    QFont bold = ExplorerHeader->font();
    bold.setBold(true);
    const QFontMetrics header(bold);
    for (const stavio::Language language : kLanguages) {
        const stavio::TextTable* tables[] = {&stavio::FileMenuTexts, &stavio::EditMenuTexts,
                                             &stavio::OptionsMenuTexts, &stavio::HelpMenuTexts};
        for (int k = 0; k < menus.size(); ++k)
            menus[k]->setTitle(text(*tables[k], language, 0));
        width = std::max(width, menuBar()->sizeHint().width());
        for (int k = 0; k < 3; ++k)
            captions[k == 0 ? 0 : 1] =
                std::max(captions[k == 0 ? 0 : 1],
                         header.horizontalAdvance(text(stavio::PaneTexts, language, k)));
        figures =
            std::max(figures, StatusPanel->fontMetrics().horizontalAdvance(
                                  QString::fromStdString(stavio::FiguresText(large, language))));
    }
    for (int k = 0; k < menus.size(); ++k)
        menus[k]->setTitle(titles[k]);
    // The panes need their headers (icon, caption, balancing space) and tool buttons whole.
    for (int i = 0; i < 2; ++i) {
        QWidget* pane = ClientSplitter->widget(i);
        pane->setMinimumWidth(
            std::max({64, pane->minimumSizeHint().width(), 48 + 8 + captions[i]}));
    }
    StatusPanel->setMinimumWidth(figures + 2 * StatusPanel->frameWidth() + 8);
    // The window's layout leaves the status bar's width out; the size grip and the bar's
    // margins come beside the panel.
    const QSize content = minimumSizeHint();
    setMinimumSize(std::max({content.width(), width, StatusPanel->minimumWidth() + 24}),
                   content.height());
}
