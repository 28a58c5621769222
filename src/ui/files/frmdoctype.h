#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace zelp {

// The safety dialog of the New command: a safe or an unsafe connection, or none at all.
// Show it modally, then read Cancelled and Unsafe.
class FrmDocType : public QDialog {
    Q_OBJECT
public:
    explicit FrmDocType(QWidget *owner = nullptr);

    // Both false again each time the dialog becomes active, and after a close by its frame.
    bool Cancelled = false;
    bool Unsafe = false;

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void choose(bool cancelled, bool unsafe);

    QLabel *label2_;
    QLabel *label1_;
    QPushButton *cmdSafe_;
    QPushButton *cmdUnsafe_;
    QPushButton *cmdCancel_;
    bool answered_ = false;
};

} // namespace zelp
