#pragma once

#include "host/oneshottimer.h"

namespace zelp::test {

// A one-shot timer on the test's clock: it fires when advance() reaches its interval.
class ManualTimer : public OneShotTimer {
public:
    void start(int milliseconds) override {
        interval_ = milliseconds;
        elapsed_ = 0;
        active_ = true;
    }
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }
    void advance(int milliseconds) {
        elapsed_ += milliseconds;
        if (active_ && elapsed_ >= interval_) {
            active_ = false;
            fire();
        }
    }

private:
    int interval_ = 0;
    int elapsed_ = 0;
    bool active_ = false;
};

} // namespace zelp::test
