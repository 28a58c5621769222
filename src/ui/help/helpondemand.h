#pragma once

#include "helpservice.h"

#include <memory>

namespace zelp {

class HelpWindow;

// The designer's help service: the help window is made on the first request for help, so
// that a start that never asks for it does not pay for it.
class HelpOnDemand : public HelpService {
public:
    HelpOnDemand();
    ~HelpOnDemand() override;

    void showTopic(int context) override;
    void showContents() override;
    // nullptr until help was first asked for.
    HelpWindow *window() const { return window_.get(); }

private:
    HelpWindow &made();
    std::unique_ptr<HelpWindow> window_;
};

} // namespace zelp
