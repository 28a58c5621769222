#include "previewcontroller.h"

#include "terminalview.h"

#include "client/connection/sessiontexts.h"

namespace zelp {

PreviewController::PreviewController(TerminalView *view, QObject *parent)
    : QObject(parent), view_(view) {
    connect(&session_, &TelnetSession::stateChanged, this, &PreviewController::onStateChanged);
    if (view_) {
        connect(&session_, &TelnetSession::received, view_->screen(), &TerminalScreen::feed);
        connect(view_->screen(), &TerminalScreen::answer, &session_, &TelnetSession::send);
        connect(view_, &TerminalView::keyPressed, &session_, &TelnetSession::send);
        // A session without its view has nobody to show anything to. The view is half gone
        // when it says so, so it is forgotten before the session reports its end.
        connect(view_, &QObject::destroyed, this, [this] {
            view_ = nullptr;
            session_.disconnectFromHost();
        });
        showState();
    }
}

PreviewController::~PreviewController() {
    session_.disconnect(this);
    session_.disconnectFromHost();
}

void PreviewController::apply(const PreviewParams &params) {
    if (!view_) {
        return;
    }
    view_->setTitle(params.title);
    view_->setTerminalFont(params.fontFamily, params.fontSize);
    view_->setTerminalSize(params.rows, params.cols);
}

void PreviewController::Connect(const PreviewParams &params) {
    session_.disconnectFromHost();
    apply(params);
    if (view_) {
        view_->screen()->reset();
    }
    session_.connectToHost(params.host, params.port, params.termType, params.timeoutSeconds);
}

void PreviewController::Disconnect() {
    session_.disconnectFromHost();
}

void PreviewController::forgetOutcome() {
    if (view_ && !isConnected()) {
        view_->setStatusText(SessionTexts::NotConnected());
    }
}

bool PreviewController::isConnected() const {
    const TelnetSession::State state = session_.state();
    return state == TelnetSession::State::Connecting || state == TelnetSession::State::Connected;
}

void PreviewController::onStateChanged(TelnetSession::State state) {
    showState();
    Q_EMIT stateChanged(state);
}

void PreviewController::showState() {
    if (!view_) {
        return;
    }
    switch (session_.state()) {
    case TelnetSession::State::Connected:
        view_->setStatusText(QString());
        view_->setIdle(false);
        view_->setFocus(Qt::OtherFocusReason);
        return;
    case TelnetSession::State::Connecting:
        view_->setStatusText(SessionTexts::Connecting(session_.hostPort()));
        break;
    case TelnetSession::State::Idle:
    case TelnetSession::State::Closed:
    case TelnetSession::State::Failed:
        view_->setStatusText(session_.errorText().isEmpty() ? SessionTexts::NotConnected()
                                                            : session_.errorText());
        break;
    }
    view_->setIdle(true);
}

} // namespace zelp
