#include "ui/main/frmmain.h"
#include "ui/main/windowplacement.h"
#include "ui/platform/qtfiledialog.h"

#include "app/terminationsignal.h"
#include "common/fileutil.h"
#include "support/modal.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace zelp::test {
namespace {

TEST(NameFilters, AllFilesListsNamesWithoutADot) {
    EXPECT_EQ(nameFiltersOf(QStringLiteral("Connections (*.ats)|*.ats|All Files (*.*)|*.*")),
              QStringList({"Connections (*.ats)", "All Files (*)"}));
    EXPECT_EQ(nameFiltersOf(QStringLiteral("Pages|*.htm;*.html|Everything|*.*")),
              QStringList({"Pages (*.htm *.html)", "Everything (*)"}));
}

TEST(QtFileDialog, StartsInAnExistingFolderAndTakesTypedNamesLiterally) {
    QTemporaryDir dir;
    ASSERT_TRUE(WriteWholeFile(dir.filePath(QStringLiteral("a\"b.ats")), ""));
    using Kind = FileDialogRequest::Kind;
    const struct {
        const char *what;
        Kind kind;
        QString folder;
        const char *typed, *chosen;
    } cases[] = {
        {"New in a home folder not made yet", Kind::Save, dir.filePath("not/yet/Sessions"),
         "my\"quoted name", "my\"quoted name.ats"},
        {"Open of a name with a quote", Kind::Open, dir.path(), "a\"b", "a\"b.ats"},
        {"a plain name", Kind::Save, dir.path(), "Sales", "Sales.ats"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        FileDialogRequest request;
        request.kind = c.kind;
        request.initialFolder = c.folder;
        request.defaultExtension = QStringLiteral("ats");
        request.filter = QStringLiteral("Connections (*.ats)|*.ats|All Files (*.*)|*.*");
        request.fileMustExist = c.kind == Kind::Open;
        // Types the name into the real dialog and presses Enter.
        whenModal<QFileDialog>([&](QFileDialog &dialog) {
            auto *edit = child<QLineEdit>(&dialog, "fileNameEdit");
            ASSERT_NE(edit, nullptr);
            EXPECT_EQ(dialog.directory().absolutePath(), dir.path());
            EXPECT_EQ(edit->text(), QString());
            edit->setText(QString::fromUtf8(c.typed));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        EXPECT_EQ(QtFileDialogService().choose(request), dir.filePath(QString::fromUtf8(c.chosen)));
    }
}

TEST(TerminationSignal, ArrivesThroughTheEventLoopAndIsUninstalledAfter) {
    {
        TerminationSignal terminated;
        ASSERT_TRUE(terminated.installed());
        int received = 0;
        QObject::connect(&terminated, &TerminationSignal::received, [&] { ++received; });
        ASSERT_EQ(::kill(::getpid(), SIGTERM), 0);
        ASSERT_EQ(::kill(::getpid(), SIGTERM), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return received > 0; }, 5000));
        QTest::qWait(20);
        EXPECT_EQ(received, 1) << "signals that came together are one termination";
    }
    struct sigaction now {};
    ASSERT_EQ(::sigaction(SIGTERM, nullptr, &now), 0);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

TEST(SessionEnd, ClosesWithoutAQuestionAndRemembersTheOuterSize) {
    for (const int16_t reason : {kCloseBySessionEnd, kCloseByTaskList}) {
        ServiceScope services;
        QSettings settings(services.dir.filePath(QStringLiteral("settings.ini")),
                           QSettings::IniFormat);
        FrmMain w(&settings);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.resize(900, 600);
        const QRect outer = w.frameGeometry();
        ASSERT_NE(outer.size(), w.size()) << "the platform gives the window a frame";
        w.endSession(reason);
        EXPECT_FALSE(w.isVisible());
        EXPECT_TRUE(services.messages.asked.empty());
        const WindowPlacement stored = Placement::read(settings, 0, 0);
        EXPECT_EQ(QSize(stored.width, stored.height), outer.size() * 15);
        // The next start opens the window at that outer size.
        FrmMain again(&settings);
        again.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
        EXPECT_EQ(again.frameGeometry().size(), outer.size());
    }
}

} // namespace
} // namespace zelp::test
