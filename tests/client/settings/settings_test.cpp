#include "client/core/clientclasses.h"
#include "client/core/clientdocument.h"
#include "client/settings/settingscomponent.h"
#include "client/settings/settingsdialog.h"
#include "support/modal.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace zelp {
namespace {

using test::child;

// Replaces a spin box's text by typing, as a user does.
void typeInto(QSpinBox *spin, const char *text) {
    spin->selectAll();
    QTest::keyClick(spin, Qt::Key_Delete);
    QTest::keyClicks(spin, QString::fromLatin1(text));
    spin->interpretText();
}

TEST(SettingsDialog, PagesEditorsAndRealChanges) {
    using enum FieldType;
    SettingsDialog dialog(QStringLiteral("Settings"),
                          {{"sHostName", Text, "Connection", "Host name"},
                           {"sNormRows", Int16, "Display", "Rows"},
                           {"sBaud", Int32, "Serial", "Baud"},
                           {"sStrip8th", Bool, "Serial", "Strip 8th bit"},
                           {"sBellVolume", Double, "Misc", "Bell volume"}},
                          {{"sHostName", "mainframe"},
                           {"sNormRows", 24},
                           {"sBaud", 9600},
                           {"sStrip8th", false},
                           {"sBellVolume", 0.5}});
    auto *tabs = child<QTabWidget>(&dialog, "tabs");
    ASSERT_NE(tabs, nullptr);
    // Essentials first, then one page per group of the rest.
    EXPECT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0) + tabs->tabText(1) + tabs->tabText(2), "&ConnectionSerialMisc");

    auto *rows = child<QSpinBox>(&dialog, "sNormRows");
    auto *baud = child<QSpinBox>(&dialog, "sBaud");
    auto *host = child<QLineEdit>(&dialog, "sHostName");
    auto *strip = child<QCheckBox>(&dialog, "sStrip8th");
    ASSERT_TRUE(rows && baud && host && strip);
    const std::tuple<QSpinBox *, const char *, int> cases[] = {
        {rows, "70000", 7000}, // the last digit cannot make it leave the 16-bit range
        {rows, "-40000", -4000},
        {baud, "70000", 70000},
        {rows, "24", 24},
    };
    for (const auto &[spin, typed, expected] : cases) {
        typeInto(spin, typed);
        EXPECT_EQ(spin->value(), expected) << typed;
    }
    host->setText(QStringLiteral("other"));
    host->setText(QStringLiteral("mainframe"));
    strip->setChecked(true);
    strip->setChecked(false);
    EXPECT_EQ(dialog.changedNames(), QStringList{"sBaud"}) << "edited and put back is no change";
    host->setText(QStringLiteral("backup"));
    strip->setChecked(true);
    EXPECT_EQ(dialog.changedNames(), (QStringList{"sHostName", "sBaud", "sStrip8th"}));
    EXPECT_EQ(dialog.values(), (QVariantMap{{"sHostName", "backup"},
                                            {"sNormRows", 24},
                                            {"sBaud", 70000},
                                            {"sStrip8th", true},
                                            {"sBellVolume", 0.5}}));
}

TEST(SettingsComponent, WritesBackOnlyWhatReallyChanged) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("c.ats"));
    const auto bytes = CompoundFile::build({ClientClasses::classIdFor(true), {}});
    ASSERT_TRUE(bytes);
    test::writeFile(path, *bytes);
    using D = QDialog *;
    // OK or Cancel, the rows and host the document holds after, and what is done in the dialog.
    const std::tuple<bool, int16_t, const char *, std::function<void(D)>> cases[] = {
        {true, 24, "", [](D) {}},
        {false, 24, "", [](D d) { child<QLineEdit>(d, "sHostName")->setText("x"); }},
        {true, 24, "", [](D d) { typeInto(child<QSpinBox>(d, "sNormRows"), "24"); }},
        {true, 7000, "", [](D d) { typeInto(child<QSpinBox>(d, "sNormRows"), "70000"); }},
        {true, 24, "h\xe9", [](D d) { child<QLineEdit>(d, "sHostName")->setText("h\u00e9"); }},
    };
    for (const auto &[accept, rows, host, act] : cases) {
        auto doc = ClientDocument::load(path);
        ASSERT_TRUE(doc);
        doc->Settings2()->update(true, QStringLiteral("Connected to h"));
        QString status;
        test::whenModal<QDialog>([&](QDialog &dialog) {
            status = child<QLabel>(&dialog, "lbStatus")->text();
            act(&dialog);
            accept ? dialog.accept() : dialog.reject();
        });
        SettingsDialogComponent().ShowSettings(doc->Settings(), doc->Settings2(),
                                               QStringLiteral("Settings"), nullptr);
        SCOPED_TRACE(testing::Message() << accept << rows << host);
        EXPECT_EQ(doc->Changed(), rows != 24 || *host);
        EXPECT_EQ(status, QStringLiteral("Connected to h"));
        EXPECT_EQ(doc->Settings()->value("sNormRows"), PropertyValue(rows));
        EXPECT_EQ(doc->Settings()->value("sHostName"), PropertyValue(std::string(host)));
    }
}

} // namespace
} // namespace zelp
