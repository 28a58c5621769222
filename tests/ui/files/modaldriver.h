#pragma once

#include <QDialog>
#include <QTimer>

#include <functional>

namespace zelp::test {

// Runs whileShown once the modal dialog is up; a dialog still open afterwards, or one that
// never came up within five seconds, is closed so that a failed check cannot hang the test.
// leftOpen tells whether the guard had to close it.
class ModalDriver {
public:
    ModalDriver(QDialog &dialog, std::function<void()> whileShown) : dialog_(dialog) {
        QTimer::singleShot(0, &dialog, [this, whileShown = std::move(whileShown)] {
            ran = true;
            whileShown();
            if (dialog_.isVisible()) {
                leftOpen = true;
                dialog_.done(QDialog::Rejected);
            }
        });
        guard_.setSingleShot(true);
        QObject::connect(&guard_, &QTimer::timeout, &dialog, [this] {
            leftOpen = true;
            dialog_.done(QDialog::Rejected);
        });
        guard_.start(5000);
    }
    bool ran = false;
    bool leftOpen = false;

private:
    QDialog &dialog_;
    QTimer guard_;
};

} // namespace zelp::test
