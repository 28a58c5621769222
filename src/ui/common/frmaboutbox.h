#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace zelp {

// The About box: the product banner, the release and the program's version.
class FrmAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit FrmAboutBox(QWidget *parent = nullptr);

    // Where the banner comes from; tests point it elsewhere.
    static QString bannerResource();
    static void setBannerResource(const QString &path);

private:
    void load();

    QLabel *image1_;
    QFrame *frame1_;
    QLabel *pnlRelease_;
    QPushButton *cmdOK_;
};

} // namespace zelp
