#include "frmhelper.h"

namespace zelp {

FrmHelper::FrmHelper(std::unique_ptr<HelperBrowser> browser, std::unique_ptr<OneShotTimer> timer)
    : browser_(std::move(browser)), timer_(std::move(timer)) {
    browser_->setNavigateComplete([this] { navigateComplete(); });
    timer_->setHandler([this] { timeout(); });
}

FrmHelper::~FrmHelper() {
    timer_->stop();
    browser_->setNavigateComplete({});
}

void FrmHelper::arm() {
    busy_ = true;
    timer_->start(kTimeoutMilliseconds);
}

void FrmHelper::Navigate(const QString &url) {
    requested_ = url;
    arm();
    browser_->Navigate(url);
}

void FrmHelper::Save() {
    arm();
    browser_->Navigate(QStringLiteral("about:blank"));
}

void FrmHelper::navigateComplete() {
    timer_->stop();
    if (busy_) {
        busy_ = false;
        Q_EMIT Complete(true);
    }
}

void FrmHelper::timeout() {
    timer_->stop();
    browser_->Stop();
    if (busy_) {
        busy_ = false;
        Q_EMIT Complete(browser_->LocationURL().compare(requested_, Qt::CaseInsensitive) == 0);
    }
}

} // namespace zelp
