#include "ProjectFileDialogs.h"

#include "MessageBoxes.h"
#include "TextFile.h"

#include <QFileDialog>
#include <QFileInfo>

#include <cerrno>

namespace {

const QString kFilter = QStringLiteral("Script Project (*.scp)");

// Refuses a read-only file and keeps the dialog open, so the user can pick another name.
class SaveProjectDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

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
        }
        QFileDialog::accept();
    }
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
    dialog.setFileMode(QFileDialog::AnyFile); // a typed name that does not exist is taken
    return Chosen(dialog);
}

QString AskProjectFileToSave(QWidget* parent, const QString& startFolder) {
    SaveProjectDialog dialog(parent, QString(), startFolder);
    Prepare(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QStringLiteral("scp"));
    return Chosen(dialog);
}
