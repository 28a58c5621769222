// Shows the common windows and the designer window and saves a picture of each into the
// folder given as argument: msgbox.png, errhndlr.png, aboutbox.png, help.png, designer.png,
// frmdoctype.png, frmsave.png.
#include "ui/common/frmaboutbox.h"
#include "ui/common/frmerrhndlr.h"
#include "ui/common/frmmsgbox.h"
#include "ui/files/frmdoctype.h"
#include "ui/files/frmsave.h"
#include "ui/help/helpwindow.h"
#include "ui/main/frmmain.h"

#include "client/core/clientdocument.h"
#include "common/errhndlr.h"
#include "common/fileutil.h"
#include "files/resources.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

QString g_folder;
bool g_ok = true;

// Lets the window system map and paint what was just shown.
void settle(int ms = 400) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// screen: take the window's part of the screen, popups included, instead of the window alone.
void save(QWidget &window, const char *name, bool screen = false) {
    window.activateWindow();
    settle();
    const QString path = QDir(g_folder).filePath(QLatin1String(name));
    const QRect r = window.frameGeometry();
    const QPixmap picture =
        screen ? window.screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height())
               : window.grab();
    if (!picture.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        g_ok = false;
        return;
    }
    std::printf("%s: %dx%d at %d dpi\n", qPrintable(path), window.width(), window.height(),
                window.logicalDpiX());
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zelp_screenshots FOLDER\n");
        return 2;
    }
    g_folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_folder);
    zelp::FrmMsgBox::setBeeper([](int) {});

    zelp::FrmMsgBox box;
    QTimer::singleShot(0, &box, [&] {
        save(box, "msgbox.png");
        box.close();
    });
    box.showMessage(QStringLiteral("The connection \"Host.ats\" has been changed.\n"
                                   "Do you want to save the changes?"),
                    35 + 256);

    zelp::FrmErrHndlr errors;
    errors.setReport(QString::fromStdString(zelp::ErrHndlr::buildReport(
        {75, "gsf", "Path/File access error", 0}, "main", "cmdNew_Click")));
    errors.show();
    save(errors, "errhndlr.png");
    errors.hide();

    zelp::FrmAboutBox about;
    about.show();
    save(about, "aboutbox.png");
    about.hide();

    zelp::HelpWindow help;
    help.showTopic(304);
    save(help, "help.png");
    help.hide();

    zelp::FrmDocType docType;
    docType.show();
    save(docType, "frmdoctype.png");
    docType.hide();

    // The dialog as a first save shows it, with the Internet page chosen.
    zelp::FrmSave saveForm;
    QTimer::singleShot(0, &saveForm, [&] {
        if (auto *internet = saveForm.findChild<QRadioButton *>(QStringLiteral("optHTML1"))) {
            internet->click();
        }
        save(saveForm, "frmsave.png");
        saveForm.reject();
    });
    QString session = QStringLiteral("/home/admin/conns/Sales.ats");
    QString page;
    saveForm.Save(session, page);

    // The designer with a connection open in its preview.
    QTemporaryDir conns;
    const QString sales = conns.filePath(QStringLiteral("Sales.ats"));
    zelp::WriteWholeFile(sales, zelp::templateResource(zelp::kTemplateSafeConnection), true);
    if (auto doc = zelp::ClientDocument::load(sales)) {
        doc->Settings()->setValue("sSessionTitle", std::string("Sales order entry"));
        doc->Settings()->setValue("sHostName", std::string("sales.example"));
        doc->setScript(zelp::defaultScript());
        doc->save();
    }
    zelp::FrmMain designer;
    designer.show();
    designer.cycle().currentFile = sales;
    designer.cycle().BeginLoad(sales);
    settle(800);
    save(designer, "designer.png", true);
    designer.hide();
    return g_ok ? 0 : 1;
}
