#include "client/settings/settingsdialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

namespace zelp {
namespace {

std::vector<SettingsField> sampleFields() {
    return {
        {QStringLiteral("sHostName"), FieldType::Text, QStringLiteral("Connection"),
         QStringLiteral("Host name")},
        {QStringLiteral("sNormRows"), FieldType::Int16, QStringLiteral("Display"),
         QStringLiteral("Rows")},
        {QStringLiteral("sBaud"), FieldType::Int32, QStringLiteral("Serial"),
         QStringLiteral("Baud")},
        {QStringLiteral("sStrip8th"), FieldType::Bool, QStringLiteral("Serial"),
         QStringLiteral("Strip 8th bit")},
        {QStringLiteral("sBellVolume"), FieldType::Double, QStringLiteral("Misc"),
         QStringLiteral("Bell volume")},
    };
}

QVariantMap sampleValues() {
    return {{QStringLiteral("sHostName"), QStringLiteral("mainframe")},
            {QStringLiteral("sNormRows"), 24},
            {QStringLiteral("sBaud"), 9600},
            {QStringLiteral("sStrip8th"), false},
            {QStringLiteral("sBellVolume"), 0.5}};
}

TEST(SettingsDialog, PagesAndCaption) {
    SettingsDialog dialog(QStringLiteral("Velmaris 2000 Internet Connection Settings"),
                          sampleFields(), sampleValues());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Velmaris 2000 Internet Connection Settings"));
    auto *tabs = dialog.findChild<QTabWidget *>(QStringLiteral("tabs"));
    ASSERT_NE(tabs, nullptr);
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i) {
        titles << tabs->tabText(i);
    }
    EXPECT_EQ(titles, (QStringList{QStringLiteral("&Connection"), QStringLiteral("Serial"),
                                   QStringLiteral("Misc")}))
        << "essentials first, then one page per group of the rest";
    EXPECT_TRUE(dialog.changedNames().isEmpty());
}

TEST(SettingsDialog, EditorsKeepTypesAndRanges) {
    SettingsDialog dialog(QStringLiteral("c"), sampleFields(), sampleValues());
    auto *rows = dialog.findChild<QSpinBox *>(QStringLiteral("sNormRows"));
    auto *baud = dialog.findChild<QSpinBox *>(QStringLiteral("sBaud"));
    ASSERT_NE(rows, nullptr);
    ASSERT_NE(baud, nullptr);

    struct Case {
        QSpinBox *spin;
        const char *typed;
        int expected;
    };
    const Case cases[] = {
        {rows, "70000", 7000}, // the last digit cannot make it leave the 16-bit range
        {rows, "-40000", -4000},
        {rows, "32767", 32767},
        {baud, "70000", 70000},
    };
    for (const auto &c : cases) {
        c.spin->selectAll();
        QTest::keyClick(c.spin, Qt::Key_Delete);
        QTest::keyClicks(c.spin, QString::fromLatin1(c.typed));
        c.spin->interpretText();
        EXPECT_EQ(c.spin->value(), c.expected) << c.typed;
    }
    EXPECT_EQ(dialog.values().value(QStringLiteral("sBaud")).toInt(), 70000);
}

TEST(SettingsDialog, ChangedOnlyWhenReallyChanged) {
    SettingsDialog dialog(QStringLiteral("c"), sampleFields(), sampleValues());
    auto *host = dialog.findChild<QLineEdit *>(QStringLiteral("sHostName"));
    auto *strip = dialog.findChild<QCheckBox *>(QStringLiteral("sStrip8th"));
    ASSERT_NE(host, nullptr);
    ASSERT_NE(strip, nullptr);

    host->setText(QStringLiteral("other"));
    host->setText(QStringLiteral("mainframe"));
    strip->setChecked(true);
    strip->setChecked(false);
    EXPECT_TRUE(dialog.changedNames().isEmpty()) << "edited and put back is no change";

    host->setText(QStringLiteral("backup"));
    strip->setChecked(true);
    EXPECT_EQ(dialog.changedNames(),
              (QStringList{QStringLiteral("sHostName"), QStringLiteral("sStrip8th")}));
    const QVariantMap values = dialog.values();
    EXPECT_EQ(values.value(QStringLiteral("sHostName")).toString(), QStringLiteral("backup"));
    EXPECT_TRUE(values.value(QStringLiteral("sStrip8th")).toBool());
    EXPECT_DOUBLE_EQ(values.value(QStringLiteral("sBellVolume")).toDouble(), 0.5);
}

} // namespace
} // namespace zelp
