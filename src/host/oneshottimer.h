#pragma once

#include <QTimer>

#include <functional>
#include <memory>

namespace zelp {

// A timer that runs its handler once, interval after start, unless stopped first; a tick
// after stop never runs it. Tests drive their own.
class OneShotTimer {
public:
    virtual ~OneShotTimer() = default;
    virtual void start(int milliseconds) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    void setHandler(std::function<void()> handler) { handler_ = std::move(handler); }

protected:
    void fire() {
        if (handler_) {
            handler_();
        }
    }

private:
    std::function<void()> handler_;
};

// The event loop's timer.
class QtOneShotTimer : public OneShotTimer {
public:
    QtOneShotTimer();
    void start(int milliseconds) override;
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

} // namespace zelp
