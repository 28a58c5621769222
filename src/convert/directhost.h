#pragma once

#include "helperbrowser.h"

#include "client/core/clientdocument.h"

#include <memory>

namespace zelp {

// A document host without a window, for conversions from the command line: it loads a client
// document from its file at once and writes it back, when changed, as it is left.
class DirectHost : public HelperBrowser {
public:
    ~DirectHost() override;
    void Navigate(const QString &url) override;
    void Stop() override {}
    QObject *Document() const override;
    QString LocationURL() const override { return location_; }
    // Why the last file gave no document or the last save failed; empty otherwise.
    QString lastError() const override { return lastError_; }

private:
    void unload();

    std::unique_ptr<ClientDocument> document_;
    QObject nonClient_;
    bool showsNonClient_ = false;
    QString location_;
    QString lastError_;
};

} // namespace zelp
