#include "directhost.h"

namespace zelp {

DirectHost::~DirectHost() {
    unload();
}

void DirectHost::Navigate(const QString &url) {
    unload();
    lastError_.clear();
    if (url.compare(QLatin1String("about:blank"), Qt::CaseInsensitive) == 0) {
        location_.clear();
    } else {
        location_ = url;
        document_ = ClientDocument::load(url, &lastError_);
        showsNonClient_ = !document_;
    }
    navigateComplete();
}

QObject *DirectHost::Document() const {
    if (document_) {
        return document_.get();
    }
    return showsNonClient_ ? const_cast<QObject *>(&nonClient_) : nullptr;
}

void DirectHost::unload() {
    showsNonClient_ = false;
    if (!document_) {
        return;
    }
    std::unique_ptr<ClientDocument> leaving = std::move(document_);
    if (leaving->Changed()) {
        QString error;
        if (!leaving->save(&error)) {
            lastError_ = error;
        }
    }
}

} // namespace zelp
