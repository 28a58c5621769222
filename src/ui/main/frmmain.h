#pragma once

#include <QMainWindow>

namespace zelp {

// The designer's main window.
class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmMain(QWidget *parent = nullptr);

public Q_SLOTS:
    void showAboutBox();
};

} // namespace zelp
