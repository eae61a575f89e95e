// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProjectFileDialogs.h"

#include "MessageBoxes.h"
#include "TextFile.h"
#include "text.h"

#include <QFileDialog>
#include <QFileInfo>

#include <cerrno>

namespace {

const QString kFilter = QStringLiteral("Script Project (*.scp)");

// Refuses a read-only file and keeps the dialog open, so the user can pick another name; asks
// before an existing file is replaced, in the program's language (the toolkit's own question
// would speak the desktop's).
class SaveProjectDialog : public QFileDialog {
public:
    SaveProjectDialog(QWidget* parent, const QString& folder, stavio::Language language)
        : QFileDialog(parent, QString(), folder), language_(language) {}

    void accept() override {
        const QStringList files = selectedFiles();
        if (!files.isEmpty()) {
            const QFileInfo file(files.first());
            if (file.isFile() && !file.isWritable()) {
                ShowWarningBox(this,
                               file.absoluteFilePath() + QLatin1Char('\n') +
                                   QString::fromStdString(stavio::FileError::TextFor(EACCES)));
                return;
            }
            if (file.exists() && !file.isDir() &&
                !AskYesNo(this, QString::fromStdString(
                                    stavio::TextUtf8(stavio::DialogTexts, language_, 0))
                                    .arg(file.fileName())))
                return;
        }
        QFileDialog::accept();
    }

private:
    stavio::Language language_;
};

void Prepare(QFileDialog& dialog) {
    dialog.setObjectName(QStringLiteral("ProjectFileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(kFilter);
    dialog.setSizeGripEnabled(true);
}

QString Chosen(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QFileInfo(dialog.selectedFiles().first()).absoluteFilePath();
}

} // namespace

QString AskProjectFileToOpen(QWidget* parent, const QString& startFolder) {
    QFileDialog dialog(parent, QString(), startFolder);
    Prepare(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A typo must not empty the open project and be remembered as the last one.
    dialog.setFileMode(QFileDialog::ExistingFile);
    return Chosen(dialog);
}

QString AskProjectFileToSave(QWidget* parent, const QString& startFolder,
                             stavio::Language language) {
    SaveProjectDialog dialog(parent, startFolder, language);
    Prepare(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QStringLiteral("scp"));
    return Chosen(dialog);
}
