#include "frmmain.h"

#include "ui/common/frmaboutbox.h"

#include "common/appinfo.h"

#include <QMenuBar>

namespace zelp {

FrmMain::FrmMain(QWidget *parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromLatin1(AppInfo::kProductName));
    resize(720, 540);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->menuAction()->setObjectName(QStringLiteral("MNU_Help"));
    QAction *about = help->addAction(QStringLiteral("&About Velmaris Internet Edition"));
    about->setObjectName(QStringLiteral("MNU_HelpAbout"));
    connect(about, &QAction::triggered, this, &FrmMain::showAboutBox);
}

void FrmMain::showAboutBox() {
    FrmAboutBox box(this);
    box.exec();
}

} // namespace zelp
