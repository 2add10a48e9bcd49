#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace guitest {

/// The child of a widget with that object name and type; fails the test when there is none.
template <class T>
T* Find(const QWidget* parent, const char* name) {
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << "no " << name;
    return child;
}

/// Serves events until the condition holds or the time is up; the condition's final value.
inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000) {
    return QTest::qWaitFor(condition, timeoutMs);
}

/// Replaces an edit's text by typing, as the user does (textEdited is emitted).
inline void TypeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
}

/// Answers modal windows while the test waits below them: every 10 ms the handler is given the
/// active modal window (if any); it returns true once it has dealt with it. The handler runs as a
/// posted call, not inside the timer (Qt does not fire a timer again while its slot runs, so a box
/// opened by the handler could never be answered). A window is not given again while the handler
/// is still busy with it in a nested event loop, but a box that opens from within the handler is.
class ModalAnswerer {
public:
    explicit ModalAnswerer(std::function<bool(QWidget*)> handler) : handler_(std::move(handler)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || Contains(handling_, modal) || Contains(pending_, modal))
                return;
            pending_.push_back(modal);
            QMetaObject::invokeMethod(
                &timer_,
                [this, modal] {
                    pending_.erase(std::find(pending_.begin(), pending_.end(), modal));
                    if (QApplication::activeModalWidget() != modal)
                        return;
                    handling_.push_back(modal);
                    handler_(modal);
                    handling_.pop_back();
                },
                Qt::QueuedConnection);
        });
        timer_.start(10);
    }

private:
    static bool Contains(const std::vector<QWidget*>& list, QWidget* widget) {
        return std::find(list.begin(), list.end(), widget) != list.end();
    }

    std::function<bool(QWidget*)> handler_;
    QTimer timer_;
    std::vector<QWidget*> handling_;
    std::vector<QWidget*> pending_;
};

/// Clicks the button of a message box (or dialog) whose text is the given one.
inline bool ClickButton(QWidget* window, const QString& text) {
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->text().remove('&') == text && button->isVisible() && button->isEnabled()) {
            button->click();
            return true;
        }
    }
    return false;
}

} // namespace guitest
