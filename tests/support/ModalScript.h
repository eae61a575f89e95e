// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Answers the modal windows of the window tests. A timer watches
// QApplication::activeModalWidget() from every event loop, the dialogs' own included. Each
// modal window that comes up goes to the next step if that step takes it, else to the answer
// for all others if one is given; a message box nobody answers is recorded and dismissed, any
// other window left waiting is closed after a while, so a test fails instead of hanging. An
// answer must not block: one that opens a further modal window does so through a queued call,
// and that window is answered by a second ModalScript or by a later step of this one.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

class ModalScript : public QObject {
public:
    using Answer = std::function<void(QWidget*)>;

    // What a message box showed, and the caption of the button its answer pressed.
    struct SeenBox {
        QString title, text;
        QStringList buttons;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString pressed; // empty: closed without a button
    };

    // patienceMs: how long a window nobody answers may stay up before it is closed.
    explicit ModalScript(int patienceMs = 10000) : patienceMs_(patienceMs) {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, &ModalScript::Poll);
        timer_.start();
    }

    // The next modal window of type T that match accepts; act receives it.
    template <class T>
    ModalScript& Then(std::function<void(T*)> act, std::function<bool(T*)> match = {}) {
        steps_.push_back({[match](QWidget* w) {
                              T* typed = qobject_cast<T*>(w);
                              return typed != nullptr && (!match || match(typed));
                          },
                          [act](QWidget* w) { act(qobject_cast<T*>(w)); }});
        return *this;
    }
    // The next modal window, whatever it is.
    ModalScript& Then(Answer act) { return Then<QWidget>(std::move(act)); }
    // The next message box: the button bearing caption is pressed.
    ModalScript& Box(const QString& caption) {
        return Then<QMessageBox>([caption](QMessageBox* box) { Press(box, caption); });
    }
    // Every modal window no step takes, each time it comes up.
    ModalScript& Otherwise(Answer act) {
        otherwise_ = std::move(act);
        return *this;
    }

    bool Finished() const { return next_ == steps_.size(); }

    std::vector<SeenBox> Boxes; // the message boxes answered, in order
    QStringList Unexpected;     // what nobody answered: a box's text, another window's class

    QStringList Texts() const { return Field(&SeenBox::text); }
    QStringList Titles() const { return Field(&SeenBox::title); }
    QStringList Pressed() const { return Field(&SeenBox::pressed); }

    // Presses the button bearing caption in a dialog or message box; without one the test
    // fails and the window is closed.
    static void Press(QWidget* modal, const QString& caption) {
        for (QAbstractButton* button : modal->findChildren<QAbstractButton*>())
            if (button->text() == caption) {
                button->click();
                return;
            }
        ADD_FAILURE() << "no button " << caption.toStdString() << " in "
                      << modal->windowTitle().toStdString();
        Close(modal);
    }
    // Closes a modal window as its Escape key would: a message box by its Escape button.
    static void Dismiss(QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box != nullptr && box->escapeButton() != nullptr)
            box->escapeButton()->click();
        else
            Close(modal);
    }
    // Closes what a failed test left open, so the tests after it do not hang.
    static void CloseStray() {
        for (int i = 0; i < 10; ++i) {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr)
                return;
            Close(modal);
            QApplication::processEvents();
        }
    }

private:
    struct Step {
        std::function<bool(QWidget*)> match;
        Answer act;
    };

    static void Close(QWidget* modal) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }

    QStringList Field(QString SeenBox::*field) const {
        QStringList values;
        for (const SeenBox& box : Boxes)
            values << box.*field;
        return values;
    }

    void Poll() {
        if (answered_ && !answered_->isVisible())
            answered_ = nullptr; // a window shown again counts anew
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible() || modal == answered_)
            return;
        Answer act;
        if (next_ < steps_.size() && steps_[next_].match(modal))
            act = steps_[next_++].act;
        else if (otherwise_)
            act = otherwise_;
        if (act) {
            answered_ = modal;
            Run(modal, act);
            if (answered_ && !answered_->isVisible())
                answered_ = nullptr;
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            Unexpected << box->text();
            Dismiss(box);
            return;
        }
        // Not ours (an inner script may answer it); after a while nobody will.
        if (modal != waiting_) {
            waiting_ = modal;
            since_.start();
        } else if (since_.hasExpired(patienceMs_)) {
            const QString name = QString::fromLatin1(modal->metaObject()->className());
            ADD_FAILURE() << "modal window nobody answered: " << name.toStdString();
            Unexpected << name;
            Close(modal);
        }
    }

    // Runs act on modal; a message box is recorded first, with the button act presses.
    void Run(QWidget* modal, const Answer& act) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) {
            act(modal);
            return;
        }
        SeenBox seen;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons())
            seen.buttons << button->text();
        Boxes.push_back(seen);
        const size_t index = Boxes.size() - 1;
        const QMetaObject::Connection pressed =
            connect(box, &QMessageBox::buttonClicked, this, [this, index](QAbstractButton* button) {
                Boxes[index].pressed = button->text();
            });
        act(box);
        disconnect(pressed);
    }

    QTimer timer_;
    int patienceMs_;
    std::vector<Step> steps_;
    size_t next_ = 0;
    Answer otherwise_;
    QPointer<QWidget> answered_; // the window the last answer went to, while it stays up
    QPointer<QWidget> waiting_;  // a window nobody answered, up since since_
    QElapsedTimer since_;
};
