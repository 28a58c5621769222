#pragma once

#include "host/documentcycle.h"

#include <functional>
#include <utility>

namespace zelp {

// The document host of the helper window: a browser that also says when a navigation has
// completed. A host without anything asynchronous may say so inside Navigate itself.
class HelperBrowser : public HostBrowser {
public:
    void setNavigateComplete(std::function<void()> handler) { complete_ = std::move(handler); }
    // Why the last file gave no document or the last save failed, where the host knows.
    virtual QString lastError() const { return {}; }

protected:
    void navigateComplete() {
        if (complete_) {
            complete_();
        }
    }

private:
    std::function<void()> complete_;
};

} // namespace zelp
