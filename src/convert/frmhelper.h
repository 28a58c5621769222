#pragma once

#include "helperbrowser.h"

#include "host/oneshottimer.h"

#include <QObject>
#include <QString>

#include <memory>

namespace zelp {

// The hidden helper window of a conversion: a second document host that loads the work file,
// lets the converter fill the document and makes it save itself. Never shown.
class FrmHelper : public QObject {
    Q_OBJECT
public:
    static constexpr int kTimeoutMilliseconds = 2000;

    FrmHelper(std::unique_ptr<HelperBrowser> browser, std::unique_ptr<OneShotTimer> timer);
    ~FrmHelper() override;

    void Navigate(const QString &url);
    // Leaves the document, which writes itself into its file as it goes.
    void Save();
    QObject *Document() const { return browser_->Document(); }
    bool DesignMode() const { return true; }
    bool busy() const { return busy_; }
    HelperBrowser &browser() { return *browser_; }

Q_SIGNALS:
    // The Navigate or Save under way has ended; status is true when it ended normally.
    void Complete(bool status);

private:
    void navigateComplete();
    void timeout();
    void arm();

    std::unique_ptr<HelperBrowser> browser_;
    std::unique_ptr<OneShotTimer> timer_;
    bool busy_ = false;
    QString requested_;
};

} // namespace zelp
