// SPDX-License-Identifier: GPL-3.0-or-later
#include "MakeScript.h"

#include "QtBoundary.h"
#include "Render.h"
#include "StavioApp.h"
#include "TLsDirTree21.h"
#include "text.h"

#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

// The folder the dialog opens on: the project's target while it exists, else the first
// removable drive, else none. A new project's stand-in target, the program's own folder, is
// no choice of the user's and counts as none.
QString PreselectedFolder(const TLsDirTree21& tree, const std::string& target,
                          const std::string& programFolder) {
    const auto bare = [](std::string path) {
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        return path;
    };
    if (!target.empty() && bare(target) != bare(programFolder) &&
        QFileInfo(QtPathFromHost(target)).isDir())
        return QtPathFromHost(target);
    if (const QTreeWidgetItem* computer = tree.topLevelItem(0))
        for (int i = 0; i < computer->childCount(); ++i)
            if (const QString drive = TLsDirTree21::PathOf(computer->child(i));
                drive != QLatin1String("/"))
                return drive;
    return {};
}

} // namespace

TOKBottomDlg6::TOKBottomDlg6(StavioApp& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName(QStringLiteral("OKBottomDlg6"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(360, 393);

    Shape10 = new QFrame(this);
    Shape10->setObjectName(QStringLiteral("Shape10"));
    Shape10->setFrameShape(QFrame::Box);
    Shape10->setFrameShadow(QFrame::Plain);
    Shape10->setGeometry(8, 8, 345, 345);
    QPalette shadow = Shape10->palette();
    shadow.setColor(QPalette::WindowText, shadow.color(QPalette::Dark));
    Shape10->setPalette(shadow);

    LsDirTree211 = new TLsDirTree21(this);
    LsDirTree211->setObjectName(QStringLiteral("LsDirTree211"));
    LsDirTree211->setGeometry(16, 16, 329, 329);
    LsDirTree211->setFrameShape(QFrame::NoFrame);

    mxFlatButton1 = new QPushButton(this);
    mxFlatButton1->setObjectName(QStringLiteral("mxFlatButton1"));
    mxFlatButton1->setGeometry(192, 360, 75, 25);
    mxFlatButton1->setDefault(true);
    connect(mxFlatButton1, &QPushButton::clicked, this, &QDialog::accept);
    mxFlatButton2 = new QPushButton(this);
    mxFlatButton2->setObjectName(QStringLiteral("mxFlatButton2"));
    mxFlatButton2->setGeometry(280, 360, 75, 25);
    connect(mxFlatButton2, &QPushButton::clicked, this, &QDialog::reject);

    MissingLabel = new QLabel(this);
    MissingLabel->setObjectName(QStringLiteral("MissingLabel"));
    MissingLabel->setGeometry(8, 356, 180, 33);
    MissingLabel->setWordWrap(true);
    MissingLabel->hide();
}

std::string TOKBottomDlg6::SelectedPath() const {
    return HostPathFromQt(LsDirTree211->SelectedPath());
}

void TOKBottomDlg6::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TOKBottomDlg6::FormActivate() {
    const stavio::Language language = app_.State.CurrentLanguage;
    LsDirTree211->SetLanguage(ExplorerLanguageOf(language));
    // A target that no longer exists is named, so that the user plugs the player in or
    // picks another folder.
    const std::string& target = app_.State.CurrentProject->TargetPath;
    LsDirTree211->setCurrentItem(nullptr);
    LsDirTree211->OpenPath(PreselectedFolder(*LsDirTree211, target, app_.State.ExecutableFolder));
    const bool missing = !target.empty() && !QFileInfo(QtPathFromHost(target)).isDir();
    MissingLabel->setText(missing ? QString::fromStdString(stavio::FillText(
                                        stavio::RenderStatusTexts, language, 6, {target}))
                                  : QString());
    MissingLabel->setToolTip(MissingLabel->text());
    MissingLabel->setVisible(missing);
    auto text = [&](int k) {
        return QString::fromUtf8(stavio::TextUtf8(stavio::RenderDialogTexts, language, k).c_str());
    };
    setWindowTitle(text(0));
    mxFlatButton1->setText(text(1));
    mxFlatButton2->setText(text(2));
    LsDirTree211->setFocus();
}
