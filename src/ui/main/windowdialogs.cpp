#include "windowdialogs.h"

#include "ui/files/frmdoctype.h"
#include "ui/files/frmsave.h"

namespace zelp {

DesignerDialogs::ConnectionType WindowDialogs::askConnectionType() {
    FrmDocType dialog(owner_);
    dialog.exec();
    return {dialog.Cancelled, dialog.Unsafe};
}

int16_t WindowDialogs::askSave(QString &sessionFile, QString &htmlFile) {
    FrmSave dialog(owner_);
    return dialog.Save(sessionFile, htmlFile);
}

void WindowDialogs::showSettings(ClientDocument &document) {
    settings_.ShowSettings(document.Settings(), document.Settings2(),
                           QStringLiteral("Velmaris 2000 Internet Connection Settings"), owner_);
}

} // namespace zelp
