#pragma once

#include "convert/helperbrowser.h"

#include <memory>

namespace zelp {

class WebBrowser;

// The helper window's browser: the same document host as the main window's, never shown.
class HiddenBrowser : public HelperBrowser {
public:
    HiddenBrowser();
    ~HiddenBrowser() override;
    void Navigate(const QString &url) override;
    void Stop() override;
    QObject *Document() const override;
    QString LocationURL() const override;

private:
    std::unique_ptr<WebBrowser> browser_;
};

} // namespace zelp
