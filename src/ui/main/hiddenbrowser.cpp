#include "hiddenbrowser.h"

#include "client/browser/webbrowser.h"

namespace zelp {

HiddenBrowser::HiddenBrowser() : browser_(std::make_unique<WebBrowser>()) {
    QObject::connect(browser_.get(), &WebBrowser::NavigateComplete2, browser_.get(),
                     [this] { navigateComplete(); });
}

HiddenBrowser::~HiddenBrowser() = default;

void HiddenBrowser::Navigate(const QString &url) {
    browser_->Navigate(url);
}

void HiddenBrowser::Stop() {
    browser_->Stop();
}

QObject *HiddenBrowser::Document() const {
    return browser_->Document();
}

QString HiddenBrowser::LocationURL() const {
    return browser_->LocationURL();
}

} // namespace zelp
