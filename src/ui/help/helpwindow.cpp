#include "helpwindow.h"

#include "helptopics.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>

namespace zelp {

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmHelp"));
    setProperty(Help::kContextProperty, 470);
    setWindowTitle(QStringLiteral("Velmaris 2000 Internet Edition Help"));
    // Help left open must not keep the program alive after the main window has gone.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_back = new QPushButton(QStringLiteral("&Back"), this);
    m_back->setObjectName(QStringLiteral("cmdBack"));
    m_forward = new QPushButton(QStringLiteral("&Forward"), this);
    m_forward->setObjectName(QStringLiteral("cmdForward"));
    auto *contents = new QPushButton(QStringLiteral("&Contents"), this);
    contents->setObjectName(QStringLiteral("cmdContents"));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txTopic"));
    m_browser->setOpenExternalLinks(false);
    m_browser->setOpenLinks(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addWidget(contents);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);
    resize(520, 560);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(contents, &QPushButton::clicked, this,
            [this] { m_browser->setSource(Help::contentsUrl()); });
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QPushButton::setEnabled);
}

HelpWindow::~HelpWindow() {
    if (m_modal) {
        m_modal->removeEventFilter(this);
    }
}

void HelpWindow::showTopic(int context) {
    present(Help::topicUrl(context));
}

void HelpWindow::showContents() {
    present(Help::contentsUrl());
}

QUrl HelpWindow::currentSource() const {
    return m_browser->source();
}

QString HelpWindow::currentTitle() const {
    return m_browser->documentTitle();
}

QPoint HelpWindow::placeBeside(const QRect &owner, const QSize &frame, const QRect &screen) {
    int x = owner.right() + 1;
    if (x + frame.width() > screen.right() + 1) {
        x = owner.left() - frame.width();
    }
    if (x < screen.left()) {
        x = screen.right() + 1 - frame.width();
    }
    x = std::max(screen.left(), x);
    const int y = std::clamp(owner.top(), screen.top(),
                             std::max(screen.top(), screen.bottom() + 1 - frame.height()));
    return {x, y};
}

void HelpWindow::placeBesideOwner(QWidget *owner) {
    QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const QRect area = screen->availableGeometry();
    // The frame is known only for a window that has been shown; the owner's stands in.
    const QSize margins = owner ? owner->frameGeometry().size() - owner->size() : QSize();
    QSize inner = size().boundedTo(area.size() - margins);
    resize(inner);
    const QRect ownerFrame = owner ? owner->frameGeometry() : QRect(area.topLeft(), QSize(0, 0));
    move(placeBeside(ownerFrame, inner + margins, area));
}

void HelpWindow::present(const QUrl &url) {
    QWidget *owner = QApplication::activeModalWidget();
    if (!owner || owner == this) {
        owner = QApplication::activeWindow() == this ? nullptr : QApplication::activeWindow();
    }
    followModal();
    if (m_browser->source() != url) {
        m_browser->setSource(url);
    }
    if (!isVisible()) {
        placeBesideOwner(owner);
    }
    show();
    raise();
    activateWindow();
}

// A modal dialog blocks every other window; lent to the dialog, the help stays usable while
// the dialog is open, and comes back to the program when the dialog goes.
void HelpWindow::followModal() {
    QWidget *modal = QApplication::activeModalWidget();
    if (modal == this || modal == m_modal) {
        return;
    }
    leaveModal();
    if (!modal) {
        return;
    }
    const QPoint at = pos();
    setParent(modal, Qt::Window);
    move(at);
    m_modal = modal;
    modal->installEventFilter(this);
}

void HelpWindow::leaveModal() {
    if (!m_modal) {
        return;
    }
    m_modal->removeEventFilter(this);
    m_modal = nullptr;
    const bool visible = isVisible();
    const QPoint at = pos();
    setParent(nullptr, Qt::Window);
    move(at);
    if (visible) {
        show();
    }
}

bool HelpWindow::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_modal && (event->type() == QEvent::Hide || event->type() == QEvent::Close)) {
        leaveModal();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zelp
