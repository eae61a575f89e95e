#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Makes a file of `size` bytes (and its folders) below `root`.
inline QString MakeFile(const QString& root, const QString& relative, int size = 16) {
    const QString path = root + QLatin1Char('/') + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray(size, 'x'));
    return path;
}

inline QString MakeDir(const QString& root, const QString& relative) {
    const QString path = root + QLatin1Char('/') + relative;
    QDir().mkpath(path);
    return path;
}

// Answers the next modal dialog with `answer` once it is up. `done` turns true when
// the answer ran, so a test can wait for it.
inline std::shared_ptr<bool> AnswerNextModal(std::function<void(QWidget*)> answer) {
    auto done = std::make_shared<bool>(false);
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer, done] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        timer->stop();
        timer->deleteLater();
        answer(modal);
        *done = true;
    });
    timer->start();
    return done;
}

// Clicks the button of a message box that bears `caption`; closes the box without one.
inline void ClickCaption(QWidget* dialog, const QString& caption) {
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (button->text() == caption) {
            button->click();
            return;
        }
    }
    dialog->close();
}

// While it lives, answers every modal window: records the text of each message box, then
// runs `act` on the window (by default closes it with its Escape answer).
class ModalRecorder {
public:
    explicit ModalRecorder(std::function<void(QWidget*)> act = {}) : act_(std::move(act)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible())
                return;
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                texts.append(box->text());
            if (act_)
                act_(modal);
            else if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        });
        timer_.start(10);
    }
    QStringList texts;

private:
    std::function<void(QWidget*)> act_;
    QTimer timer_;
};

// Closes any modal left open by a failed test, so the others do not hang.
inline void CloseStrayModals() {
    while (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        QApplication::processEvents();
    }
}
