#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// While it lives, runs `answer` on the modal window that is up (again on each tick while it
// stays up), so that a test can trigger an action that asks something.
class EachModal {
public:
    explicit EachModal(std::function<void(QWidget*)> answer) : answer_(std::move(answer)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal->isVisible())
                answer_(modal);
        });
        timer_.start(10);
    }
    ~EachModal() {
        timer_.stop();
        // A failed test may leave a window up; the next test must not wait on it.
        while (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
            QApplication::processEvents();
        }
    }

    // Clicks the button of `modal` captioned `caption`.
    static void Press(QWidget* modal, const QString& caption) {
        for (QAbstractButton* button : modal->findChildren<QAbstractButton*>()) {
            if (button->text() == caption) {
                button->click();
                return;
            }
        }
        modal->close();
    }

private:
    std::function<void(QWidget*)> answer_;
    QTimer timer_;
};
