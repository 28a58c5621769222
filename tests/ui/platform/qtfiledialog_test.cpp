#include "ui/platform/qtfiledialog.h"

#include "common/fileutil.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace zelp {
namespace {

TEST(NameFilters, AllFilesListsNamesWithoutADot) {
    EXPECT_EQ(nameFiltersOf(QStringLiteral("Connections (*.ats)|*.ats|All Files (*.*)|*.*")),
              QStringList({"Connections (*.ats)", "All Files (*)"}));
    EXPECT_EQ(nameFiltersOf(QStringLiteral("Pages|*.htm;*.html|Everything|*.*")),
              QStringList({"Pages (*.htm *.html)", "Everything (*)"}));
}

TEST(QtFileDialog, StartsInAnExistingFolderAndTakesTypedNamesLiterally) {
    QTemporaryDir dir;
    ASSERT_TRUE(WriteWholeFile(dir.filePath(QStringLiteral("a\"b.ats")), "", true));
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
        QString folder, nameBox = QStringLiteral("unset");
        // Types the name into the real dialog and presses Enter.
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (!edit) {
                dialog->reject();
                FAIL() << "no name box";
            }
            folder = dialog->directory().absolutePath();
            nameBox = edit->text();
            edit->setText(QString::fromUtf8(c.typed));
            QTest::keyClick(edit, Qt::Key_Return);
            if (dialog->isVisible()) {
                dialog->reject();
            }
        });
        EXPECT_EQ(QtFileDialogService().choose(request), dir.filePath(QString::fromUtf8(c.chosen)));
        EXPECT_EQ(folder, dir.path());
        EXPECT_EQ(nameBox, QString());
    }
}

} // namespace
} // namespace zelp
