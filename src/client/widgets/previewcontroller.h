#pragma once

#include "client/connection/telnetsession.h"
#include "client/widgets/terminalview.h"

#include <QObject>
#include <QPointer>
#include <QString>

namespace zelp {

// What a test connection and its preview need from a connection's settings.
struct PreviewParams {
    QString host;
    QString port; // empty or 0: 23
    QByteArray termType;
    int timeoutSeconds = 0; // 0: 10 seconds
    int rows = 0;           // 0: 24
    int cols = 0;           // 0: 80
    QString fontFamily;     // empty: the system's fixed font
    int fontSize = 0;       // 0: the system's fixed font size
    QString title;
};

// Runs a test connection in a terminal view: the host's output on its screen, its keys to
// the host, how the connection stands (errors included) on its title page.
class PreviewController : public QObject {
    Q_OBJECT
public:
    explicit PreviewController(TerminalView *view, QObject *parent = nullptr);
    ~PreviewController() override;

    // Shows the title, font and size without connecting.
    void apply(const PreviewParams &params);
    // Applies the parameters, clears the screen and connects; a running session ends first.
    void Connect(const PreviewParams &params);
    void Disconnect();
    // Shows "Not connected" instead of how the last session ended; nothing while one runs.
    void forgetOutcome();

    TelnetSession::State state() const { return session_.state(); }
    bool isConnected() const;
    TelnetSession *session() { return &session_; }
    TerminalView *view() const { return view_; }

Q_SIGNALS:
    void stateChanged(zelp::TelnetSession::State state);

private:
    void onStateChanged(TelnetSession::State state);
    void showState();

    QPointer<TerminalView> view_;
    TelnetSession session_;
};

} // namespace zelp
