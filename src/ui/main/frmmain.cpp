#include "frmmain.h"

#include "common/appinfo.h"

namespace zelp {

FrmMain::FrmMain(QWidget *parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromLatin1(AppInfo::kProductName));
    resize(720, 540);
}

} // namespace zelp
