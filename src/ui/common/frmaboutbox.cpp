#include "frmaboutbox.h"

#include "twips.h"

#include "common/aboutboxlayout.h"
#include "common/appinfo.h"
#include "common/errhndlr.h"
#include "ui/help/helptopics.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace zelp {

namespace {

constexpr int32_t kResourceNotFound = 326;

QString &bannerPath() {
    static QString path = QStringLiteral(":/images/9001.png");
    return path;
}

} // namespace

QString FrmAboutBox::bannerResource() {
    return bannerPath();
}
void FrmAboutBox::setBannerResource(const QString &path) {
    bannerPath() = path;
}

FrmAboutBox::FrmAboutBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmAboutBox"));
    setProperty(Help::kContextProperty, 440);
    // No title: Qt would put the program's name in an empty one.
    setWindowTitle(QStringLiteral(" "));
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose, false);

    const About::Layout design;
    image1_ = new QLabel(this);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setGeometry(Twips::toPixels(design.imageLeft, design.imageTop, design.imageWidth,
                                         design.imageHeight, *this));

    frame1_ = new QFrame(this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    frame1_->setFrameShape(QFrame::StyledPanel);
    frame1_->setFrameShadow(QFrame::Sunken);

    pnlRelease_ = new QLabel(frame1_);
    pnlRelease_->setObjectName(QStringLiteral("pnlRelease"));
    pnlRelease_->setTextFormat(Qt::PlainText);
    pnlRelease_->setAlignment(Qt::AlignCenter);
    QFont releaseFont = pnlRelease_->font();
    releaseFont.setPointSizeF(releaseFont.pointSizeF() * 1.25);
    releaseFont.setBold(true);
    pnlRelease_->setFont(releaseFont);
    pnlRelease_->setGeometry(Twips::toPixels(120, 240, design.frameWidth - 240, 3120, *this));

    cmdOK_ = new QPushButton(QStringLiteral("OK"), frame1_);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setGeometry(Twips::toPixels(3360, 3600, 1275, 375, *this));
    cmdOK_->setDefault(true); // Enter; Escape closes the dialog as well
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);

    load();
}

void FrmAboutBox::load() {
    Guarded guard("aboutbox", "Form_Load");
    About::Layout l;
    guard.step([&] {
        QPixmap banner(bannerPath());
        if (banner.isNull()) {
            raiseError(kResourceNotFound, "Resource with identifier '9001' not found");
        }
        image1_->setPixmap(banner);
        l = About::layoutAboutBox(Twips::fromPixelsX(banner.width(), *this),
                                  Twips::fromPixelsY(banner.height(), *this));
        image1_->setGeometry(
            Twips::toPixels(l.imageLeft, l.imageTop, l.imageWidth, l.imageHeight, *this));
    });
    guard.step([&] {
        frame1_->setGeometry(
            Twips::toPixels(l.frameLeft, l.frameTop, l.frameWidth, l.frameHeight, *this));
        setFixedSize(Twips::toPixelsX(l.clientWidth, *this),
                     Twips::toPixelsY(l.clientHeight, *this));
    });
    guard.step([&] {
        pnlRelease_->setText(QString::fromStdString(
            AppInfo::releaseText(AppInfo::releaseDesignation(), AppInfo::versionMajor(),
                                 AppInfo::versionMinor(), AppInfo::versionRevision())));
    });
}

} // namespace zelp
