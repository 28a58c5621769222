#include "helplookup.h"

#include "helptopics.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QVariant>
#include <QWidget>

namespace zelp::Help {

int contextOf(const QObject *object) {
    if (!object) {
        return 0;
    }
    bool ok = false;
    const int context = object->property(kContextProperty).toInt(&ok);
    return ok && context > 0 ? context : 0;
}

int contextForMenu(const QMenu *popup) {
    if (!popup) {
        return 0;
    }
    if (const int context = contextOf(popup->activeAction())) {
        return context;
    }
    return contextOf(popup->menuAction());
}

int contextForWidget(const QWidget *focus) {
    for (const QWidget *w = focus; w; w = w->parentWidget()) {
        if (const int context = contextOf(w)) {
            return context;
        }
        if (w->isWindow()) {
            break;
        }
    }
    return 0;
}

int contextForF1(const QMenu *popup, const QWidget *focus) {
    if (const int context = contextForMenu(popup)) {
        return context;
    }
    // Alt walks the menu bar with the keyboard without opening a menu.
    if (const auto *bar = qobject_cast<const QMenuBar *>(focus)) {
        if (const int context = contextOf(bar->activeAction())) {
            return context;
        }
    }
    return contextForWidget(focus);
}

} // namespace zelp::Help
