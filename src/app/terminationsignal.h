#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace zelp {

// SIGTERM delivered as a Qt signal: the handler only writes a byte into a pipe, and the
// event loop reads it, so that the window can close as usual. One instance at a time; the
// previous disposition is restored when it goes.
class TerminationSignal : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignal(QObject *parent = nullptr);
    ~TerminationSignal() override;
    bool installed() const { return notifier_ != nullptr; }

Q_SIGNALS:
    void received();

private:
    void drain();
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace zelp
