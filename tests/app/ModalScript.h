#pragma once
// Answers the modal dialogs of a command in the order a test expects them. A timer watches
// QApplication::activeModalWidget() from every event loop (the dialogs' own loops included);
// when the next expected dialog is up, its action runs. A message box nobody expected is
// recorded and dismissed, so a test can check that no question was asked.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <vector>

class ModalScript : public QObject {
public:
    using Match = std::function<bool(QWidget*)>;
    using Act = std::function<void(QWidget*)>;

    explicit ModalScript(int timeoutMs = 10000) : timeoutMs_(timeoutMs) {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, &ModalScript::Poll);
        timer_.start();
        clock_.start();
    }

    // The next dialog of type T; act receives it.
    template <class T>
    ModalScript& Then(std::function<void(T*)> act, std::function<bool(T*)> match = {}) {
        steps_.push_back({[match](QWidget* w) {
                              T* typed = qobject_cast<T*>(w);
                              return typed != nullptr && (!match || match(typed));
                          },
                          [act](QWidget* w) { act(qobject_cast<T*>(w)); }});
        return *this;
    }

    // The next message box: its text is recorded in Texts, then the button with caption is
    // clicked.
    ModalScript& Box(const QString& caption) {
        return Then<QMessageBox>([this, caption](QMessageBox* box) {
            Texts << box->text();
            Titles << box->windowTitle();
            Click(box, caption);
        });
    }

    bool Finished() const { return next_ == steps_.size(); }
    size_t StepsDone() const { return next_; }

    QStringList Texts;      // texts of the expected message boxes, in order
    QStringList Titles;     // their titles
    QStringList Unexpected; // texts of message boxes that came instead of the next step

    static void Click(QMessageBox* box, const QString& caption) {
        for (QAbstractButton* button : box->buttons())
            if (button->text() == caption) {
                button->click();
                return;
            }
        box->reject();
    }

private:
    struct Step {
        Match match;
        Act act;
    };

    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible())
            return;
        if (next_ < steps_.size() && steps_[next_].match(modal)) {
            const Step step = steps_[next_++];
            step.act(modal);
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            Unexpected << box->text();
            if (box->escapeButton() != nullptr)
                box->escapeButton()->click();
            else
                box->reject();
            return;
        }
        if (clock_.hasExpired(timeoutMs_)) {
            // Something the test did not foresee: unblock it so the test fails, not hangs.
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        }
    }

    QTimer timer_;
    QElapsedTimer clock_;
    int timeoutMs_;
    std::vector<Step> steps_;
    size_t next_ = 0;
};
