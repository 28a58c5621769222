#include "ui/platform/qtfiledialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace zelp {
namespace {

TEST(NameFilters, AllFilesListsNamesWithoutADot) {
    EXPECT_EQ(
        nameFiltersOf(QStringLiteral("Connections (*.ats)|*.ats|All Files (*.*)|*.*")),
        QStringList({QStringLiteral("Connections (*.ats)"), QStringLiteral("All Files (*)")}));
    EXPECT_EQ(
        nameFiltersOf(QStringLiteral("Pages|*.htm;*.html|Everything|*.*")),
        QStringList({QStringLiteral("Pages (*.htm *.html)"), QStringLiteral("Everything (*)")}));
}

// Types a name into the real dialog and presses Enter; folder and name box as it came up.
struct Typed {
    QString folder;
    QString nameBox;
};
std::optional<QString> chooseTyping(const FileDialogRequest &request, const QString &name,
                                    Typed *seen) {
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!edit) {
            dialog->reject();
            FAIL() << "no name box";
        }
        seen->folder = dialog->directory().absolutePath();
        seen->nameBox = edit->text();
        edit->setText(name);
        QTest::keyClick(edit, Qt::Key_Return);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    QtFileDialogService service;
    return service.choose(request);
}

TEST(QtFileDialog, StartsInAnExistingFolderAndTakesTypedNamesLiterally) {
    QTemporaryDir dir;
    {
        QFile existing(dir.filePath(QStringLiteral("a\"b.ats")));
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    }
    struct Case {
        const char *what;
        FileDialogRequest::Kind kind;
        QString folder;
        QString typed;
        QString chosen;
    };
    const QString missing = dir.filePath(QStringLiteral("not/yet/Sessions"));
    const Case cases[] = {
        {"New in a home folder not made yet", FileDialogRequest::Kind::Save, missing,
         QStringLiteral("my\"quoted name"), dir.filePath(QStringLiteral("my\"quoted name.ats"))},
        {"Open of a name with a quote", FileDialogRequest::Kind::Open, dir.path(),
         QStringLiteral("a\"b"), dir.filePath(QStringLiteral("a\"b.ats"))},
        {"a plain name", FileDialogRequest::Kind::Save, dir.path(), QStringLiteral("Sales"),
         dir.filePath(QStringLiteral("Sales.ats"))},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        FileDialogRequest request;
        request.kind = c.kind;
        request.initialFolder = c.folder;
        request.defaultExtension = QStringLiteral("ats");
        request.filter = QStringLiteral("Connections (*.ats)|*.ats|All Files (*.*)|*.*");
        request.fileMustExist = c.kind == FileDialogRequest::Kind::Open;
        Typed seen;
        EXPECT_EQ(chooseTyping(request, c.typed, &seen), c.chosen);
        EXPECT_EQ(seen.folder, dir.path());
        EXPECT_EQ(seen.nameBox, QString());
    }
}

} // namespace
} // namespace zelp
