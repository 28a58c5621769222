// Shows the common windows and the designer window and saves a picture of each into the
// folder given as argument: msgbox.png, errhndlr.png, aboutbox.png, help.png, designer.png,
// frmdoctype.png, frmsave.png, settings.png, scripteditor.png, testconnection.png,
// convert.png.
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
#include "convert/conv97.h"
#include "files/resources.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

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

    // The question Open asks of a file of the 97 generation.
    zelp::FrmMsgBox convert;
    QTimer::singleShot(0, &convert, [&] {
        save(convert, "convert.png");
        convert.close();
    });
    convert.showMessage(QStringLiteral("/home/admin/conns97/Sales.ats") +
                            QString::fromLatin1(zelp::ConvTexts::kIsLegacy) +
                            QStringLiteral("\r\n") +
                            QString::fromLatin1(zelp::ConvTexts::kConvertQuestion),
                        35);

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
    zelp::WriteWholeFile(sales, zelp::templateResource(zelp::kTemplateSafeConnection));
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

    // The designer's own dialogs, as its buttons show them.
    const auto modalShot = [&](zelp::Command command, const char *name) {
        QTimer::singleShot(600, &designer, [name] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                save(*dialog, name);
                dialog->reject();
            } else {
                std::fprintf(stderr, "no dialog for %s\n", name);
                g_ok = false;
            }
        });
        designer.button(command)->click();
    };
    modalShot(zelp::Command::Settings, "settings.png");
    modalShot(zelp::Command::Script, "scripteditor.png");
    designer.commands().Close();
    settle();

    // A test connection to a host on this machine that greets and asks for a user.
    QTcpServer host;
    host.listen(QHostAddress::LocalHost);
    QObject::connect(&host, &QTcpServer::newConnection, [&] {
        QTcpSocket *peer = host.nextPendingConnection();
        peer->write("\r\nSales order entry (sales.example)\r\n\r\n"
                    "Authorised users only.\r\n\r\nlogin: ");
    });
    const QString test = conns.filePath(QStringLiteral("Test.ats"));
    zelp::WriteWholeFile(test, zelp::templateResource(zelp::kTemplateSafeConnection));
    if (auto doc = zelp::ClientDocument::load(test)) {
        doc->Settings()->setValue("sSessionTitle", std::string("Sales order entry"));
        doc->Settings()->setValue("sHostName", std::string("127.0.0.1"));
        doc->Settings()->setValue("sHostPort", std::string(std::to_string(host.serverPort())));
        doc->save();
    }
    designer.cycle().currentFile = test;
    designer.cycle().BeginLoad(test);
    settle(800);
    designer.button(zelp::Command::Connect)->click();
    settle(1200);
    save(designer, "testconnection.png", true);
    designer.button(zelp::Command::Disconnect)->click();
    settle();
    designer.hide();
    return g_ok ? 0 : 1;
}
