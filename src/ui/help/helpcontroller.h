#pragma once

#include <QObject>

namespace zelp {

// Installed on the application: F1 anywhere shows the help of the highlighted menu item or
// of the focused control, through the help service.
class HelpController : public QObject {
    Q_OBJECT
public:
    explicit HelpController(QObject *parent = nullptr);
    // The context F1 would show now (0: the contents).
    static int currentContext();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace zelp
