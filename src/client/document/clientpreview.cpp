#include "clientpreview.h"

#include "client/core/clientdocument.h"
#include "client/widgets/terminalview.h"
#include "common/ansi.h"

#include <QEvent>
#include <QFontDatabase>
#include <QScrollArea>
#include <QVBoxLayout>

namespace zelp {

namespace {

QString textOf(const ClientDocument &doc, const char *name) {
    const auto value = doc.Settings()->value(name);
    return value ? Ansi::toUnicode(formatValue(*value)) : QString();
}

int numberOf(const ClientDocument &doc, const char *name) {
    const auto value = doc.Settings()->value(name);
    const auto number = value ? convertTo(ValueType::Int32, *value) : std::nullopt;
    return number ? std::get<int32_t>(*number) : 0;
}

} // namespace

ClientPreview::ClientPreview(ClientDocument &document, QWidget *parent)
    : QWidget(parent), document_(document), view_(new TerminalView), controller_(view_, this) {
    setObjectName(QStringLiteral("clientPreview"));
    setProperty("helpContextId", 420); // the test connection
    view_->setObjectName(QStringLiteral("terminalView"));
    scroll_ = new QScrollArea;
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setWidget(view_);
    scroll_->viewport()->installEventFilter(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll_);
    controller_.apply(paramsOf(document_));
    fitToRoom();
    connect(&document_, &ClientDocument::connectRequested, this, [this] {
        controller_.Connect(paramsOf(document_));
        fitToRoom();
    });
    connect(&document_, &ClientDocument::disconnectRequested, this,
            [this] { controller_.Disconnect(); });
    connect(document_.Settings(), &ClientSettings::edited, this, [this] {
        if (!controller_.isConnected()) {
            // What the last connection said is about the old settings.
            controller_.apply(paramsOf(document_));
            fitToRoom();
            controller_.forgetOutcome();
            reportState();
        }
    });
    connect(&controller_, &PreviewController::stateChanged, this, [this] { reportState(); });
}

PreviewParams ClientPreview::paramsOf(const ClientDocument &doc) {
    PreviewParams p;
    p.host = textOf(doc, "sHostName").trimmed();
    p.port = textOf(doc, "sHostPort").trimmed();
    p.termType = textOf(doc, "sHostTermType").trimmed().toLatin1();
    p.timeoutSeconds = numberOf(doc, "sConnectTimeout");
    p.rows = numberOf(doc, "sNormRows");
    p.cols = numberOf(doc, "sNormCols");
    p.fontFamily = textOf(doc, "sFontName");
    p.fontSize = numberOf(doc, "sFontSize");
    p.title = textOf(doc, "sSessionTitle");
    return p;
}

bool ClientPreview::eventFilter(QObject *watched, QEvent *event) {
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize) {
        fitToRoom();
    }
    return QWidget::eventFilter(watched, event);
}

void ClientPreview::fitToRoom() {
    const QSize room = scroll_->maximumViewportSize();
    if (room.isEmpty()) {
        return;
    }
    const PreviewParams p = paramsOf(document_);
    int size = p.fontSize > 0 ? p.fontSize
                              : QFontDatabase::systemFont(QFontDatabase::FixedFont).pointSize();
    if (size <= 0) {
        size = 10;
    }
    constexpr int kSmallest = 6;
    view_->setTerminalFont(p.fontFamily, size);
    while (size > kSmallest && (view_->sizeHint().width() > room.width() ||
                                view_->sizeHint().height() > room.height())) {
        view_->setTerminalFont(p.fontFamily, --size);
    }
    view_->resize(view_->sizeHint());
}

void ClientPreview::reportState() {
    QString state = view_->statusText();
    if (controller_.state() == TelnetSession::State::Connected) {
        state = QStringLiteral("Connected to %1").arg(controller_.session()->hostPort());
    }
    document_.Settings2()->update(controller_.isConnected(), state);
}

} // namespace zelp
