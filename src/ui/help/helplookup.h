#pragma once

class QMenu;
class QObject;
class QWidget;

namespace zelp::Help {

// The help context an object carries, 0 when it has none.
int contextOf(const QObject *object);

// For an open menu: its highlighted item, else the menu's own entry (File, Tools); 0 when
// neither carries a context.
int contextForMenu(const QMenu *popup);

// The nearest of the widget and its parents that carries a context, not looking past the
// window the widget lives in (a dialog without one does not borrow its owner's topic).
int contextForWidget(const QWidget *focus);

// What F1 shows: the open menu first, then the highlighted entry of a focused menu bar, then
// the focused widget; 0 (kContents) when none gives a context.
int contextForF1(const QMenu *popup, const QWidget *focus);

} // namespace zelp::Help
