#include "helpcontroller.h"

#include "helplookup.h"
#include "helpservice.h"
#include "helptopics.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>

namespace zelp {

HelpController::HelpController(QObject *parent) : QObject(parent) {}

int HelpController::currentContext() {
    const auto *popup = qobject_cast<const QMenu *>(QApplication::activePopupWidget());
    const QWidget *focus = QApplication::focusWidget();
    if (!focus) {
        focus = QApplication::activeWindow();
    }
    return Help::contextForF1(popup, focus);
}

bool HelpController::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_F1 || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        return QObject::eventFilter(watched, event);
    }
    // One press reaches the window and then the widget; the first delivery takes it.
    if (key->isAutoRepeat()) {
        return true;
    }
    const int context = currentContext();
    // The menu gives way to the help, as a chosen item would.
    for (int i = 0; i < 8 && QApplication::activePopupWidget(); ++i) {
        QApplication::activePopupWidget()->close();
    }
    if (context == Help::kContents) {
        ShowHelpContents();
    } else {
        ShowHelpTopic(context);
    }
    return true;
}

} // namespace zelp
