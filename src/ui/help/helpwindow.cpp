#include "helpwindow.h"

#include "helptopics.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace zelp {

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmHelp"));
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

void HelpWindow::present(const QUrl &url) {
    followModal();
    if (m_browser->source() != url) {
        m_browser->setSource(url);
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
    const QRect frame = geometry();
    setParent(modal, Qt::Window);
    setGeometry(frame);
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
    const QRect frame = geometry();
    setParent(nullptr, Qt::Window);
    setGeometry(frame);
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
