#include "client/core/clientclasses.h"
#include "client/core/clientdocument.h"
#include "client/settings/settingscomponent.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace zelp {
namespace {

std::unique_ptr<ClientDocument> freshDocument(const QTemporaryDir &dir) {
    const QString path = dir.filePath(QStringLiteral("c.ats"));
    const auto bytes = CompoundFile::build({ClientClasses::classIdFor(true), {}});
    QFile f(path);
    if (!bytes || !f.open(QIODevice::WriteOnly)) {
        return nullptr;
    }
    f.write(bytes->data(), qint64(bytes->size()));
    f.close();
    return ClientDocument::load(path);
}

// Acts on the modal dialog once it is up, then closes it with OK or Cancel.
void whenShown(std::function<void(QDialog *)> act, bool accept) {
    QTimer::singleShot(0, [act, accept] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog";
            return;
        }
        act(dialog);
        accept ? dialog->accept() : dialog->reject();
    });
}

TEST(SettingsComponent, WritesBackOnlyWhatReallyChanged) {
    QTemporaryDir dir;
    const struct {
        const char *what;
        std::function<void(QDialog *)> act;
        bool accept;
        bool changes;
    } cases[] = {
        {"OK without edits", [](QDialog *) {}, true, false},
        {"edit then Cancel",
         [](QDialog *d) {
             d->findChild<QLineEdit *>(QStringLiteral("sHostName"))->setText(QStringLiteral("x"));
         },
         false, false},
        {"edit back to the same",
         [](QDialog *d) {
             auto *rows = d->findChild<QSpinBox *>(QStringLiteral("sNormRows"));
             rows->setValue(30);
             rows->setValue(24);
         },
         true, false},
        {"edits then OK",
         [](QDialog *d) {
             d->findChild<QLineEdit *>(QStringLiteral("sHostName"))
                 ->setText(QStringLiteral("h\u00e9"));
             d->findChild<QSpinBox *>(QStringLiteral("sNormRows"))->setValue(30);
         },
         true, true},
    };
    for (const auto &c : cases) {
        auto doc = freshDocument(dir);
        ASSERT_TRUE(doc);
        doc->Settings2()->update(true, QStringLiteral("Connected to h"));
        QString status;
        whenShown(
            [&](QDialog *d) {
                status = d->findChild<QLabel *>(QStringLiteral("lbStatus"))->text();
                c.act(d);
            },
            c.accept);
        SettingsDialogComponent().ShowSettings(
            doc->Settings(), nullptr, doc->Settings2(),
            QStringLiteral("Velmaris 2000 Internet Connection Settings"), {}, {}, 0, 0, nullptr);
        EXPECT_EQ(doc->Changed(), c.changes) << c.what;
        EXPECT_EQ(status, QStringLiteral("Connected to h")) << c.what;
        if (c.changes) {
            EXPECT_EQ(doc->Settings()->value("sHostName"), PropertyValue(std::string("h\xe9")));
            EXPECT_EQ(doc->Settings()->value("sNormRows"), PropertyValue(int16_t(30)));
        }
    }
}

TEST(SettingsComponent, ASixteenBitFieldDoesNotTake70000) {
    QTemporaryDir dir;
    auto doc = freshDocument(dir);
    ASSERT_TRUE(doc);
    whenShown(
        [](QDialog *d) {
            auto *rows = d->findChild<QSpinBox *>(QStringLiteral("sNormRows"));
            rows->selectAll();
            QTest::keyClicks(rows, QStringLiteral("70000"));
        },
        true);
    SettingsDialogComponent().ShowSettings(doc->Settings(), nullptr, nullptr, QStringLiteral("c"),
                                           {}, {}, 0, 0, nullptr);
    const auto rows = std::get<int16_t>(*doc->Settings()->value("sNormRows"));
    EXPECT_NE(int(rows), 70000);
    EXPECT_LE(int(rows), 32767);
}

} // namespace
} // namespace zelp
