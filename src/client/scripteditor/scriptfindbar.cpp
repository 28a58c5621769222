#include "scriptfindbar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

namespace zelp {

namespace {

QPushButton *barButton(const QString &text, const char *name) {
    auto *button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false); // Return belongs to the find text, not to the dialog
    return button;
}

} // namespace

ScriptFindBar::ScriptFindBar(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("findBar"));
    auto *label = new QLabel(tr("F&ind:"));
    text_ = new QLineEdit;
    text_->setObjectName(QStringLiteral("txFind"));
    text_->installEventFilter(this);
    label->setBuddy(text_);
    matchCase_ = new QCheckBox(tr("Match &case"));
    matchCase_->setObjectName(QStringLiteral("chkMatchCase"));
    auto *next = barButton(tr("&Next"), "cmdFindNext");
    auto *previous = barButton(tr("&Previous"), "cmdFindPrevious");
    auto *close = barButton(tr("Close"), "cmdFindClose");
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("lbFindStatus"));

    connect(next, &QPushButton::clicked, this,
            [this] { Q_EMIT findRequested(SearchDirection::Forward); });
    connect(previous, &QPushButton::clicked, this,
            [this] { Q_EMIT findRequested(SearchDirection::Backward); });
    connect(close, &QPushButton::clicked, this, [this] {
        hide();
        Q_EMIT closed();
    });
    connect(text_, &QLineEdit::textEdited, this, [this] { status_->clear(); });
    // Escape inside the bar closes the bar, not the dialog.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, close, &QPushButton::click);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(text_, 1);
    layout->addWidget(matchCase_);
    layout->addWidget(next);
    layout->addWidget(previous);
    layout->addWidget(close);
    layout->addWidget(status_, 1);
}

QString ScriptFindBar::needle() const {
    return text_->text();
}

Qt::CaseSensitivity ScriptFindBar::caseSensitivity() const {
    return matchCase_->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

void ScriptFindBar::setStatus(const QString &status) {
    status_->setText(status);
}

void ScriptFindBar::open(const QString &needle) {
    if (!needle.isEmpty()) {
        text_->setText(needle);
    }
    status_->clear();
    show();
    text_->setFocus(Qt::ShortcutFocusReason);
    text_->selectAll();
}

bool ScriptFindBar::eventFilter(QObject *watched, QEvent *event) {
    if (watched == text_ && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Q_EMIT findRequested((key->modifiers() & Qt::ShiftModifier) ? SearchDirection::Backward
                                                                        : SearchDirection::Forward);
            return true; // otherwise the dialog's default button would take it
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zelp
