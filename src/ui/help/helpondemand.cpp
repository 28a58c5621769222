#include "helpondemand.h"

#include "helpwindow.h"

namespace zelp {

HelpOnDemand::HelpOnDemand() = default;
HelpOnDemand::~HelpOnDemand() = default;

void HelpOnDemand::showTopic(int context) {
    made().showTopic(context);
}

void HelpOnDemand::showContents() {
    made().showContents();
}

HelpWindow &HelpOnDemand::made() {
    if (!window_) {
        window_ = std::make_unique<HelpWindow>();
    }
    return *window_;
}

} // namespace zelp
