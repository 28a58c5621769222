#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace zelp::test {

// The child of that name, which must be there.
template <class T = QWidget> T *child(const QObject *parent, const char *name) {
    T *found = parent->findChild<T *>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// The widget that Tab moves the focus to from w.
inline QWidget *nextTabStop(QWidget *w) {
    QWidget *next = w->nextInFocusChain();
    while (next != w && !((next->focusPolicy() & Qt::TabFocus) && next->isEnabled())) {
        next = next->nextInFocusChain();
    }
    return next;
}

// Runs act on the next modal window of class W (with that object name, when given) once it is
// up, and at the earliest after delay milliseconds. A window act leaves open is closed, and one
// that never comes is a failure, so that a failed check cannot hang the test. The flag returned
// tells afterwards whether act left the window open.
template <class W = QDialog>
std::shared_ptr<bool> whenModal(std::function<void(W &)> act, const char *name = nullptr,
                                int delay = 0) {
    auto leftOpen = std::make_shared<bool>(false);
    auto tries = std::make_shared<int>(0);
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [=] {
        auto *w = qobject_cast<W *>(QApplication::activeModalWidget());
        const bool found = w && (!name || w->objectName() == QLatin1String(name));
        if (!found && ++*tries <= 400) {
            poll->setInterval(5);
            return;
        }
        poll->stop();
        poll->deleteLater();
        if (!found) {
            ADD_FAILURE() << "no modal " << (name ? name : W::staticMetaObject.className());
            if (QWidget *other = QApplication::activeModalWidget()) {
                other->close();
            }
            return;
        }
        const QPointer<W> shown(w);
        w->repaint(); // as a person sees it before acting
        act(*w);
        if ((*leftOpen = shown && w->isVisible())) {
            w->close();
            // A window that asks before it closes is not asked here.
            if (auto *dialog = qobject_cast<QDialog *>(w); dialog && dialog->isVisible()) {
                dialog->done(QDialog::Rejected);
            }
        }
    });
    poll->start(delay);
    return leftOpen;
}

} // namespace zelp::test
