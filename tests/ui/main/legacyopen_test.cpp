#include "ui/main/frmmain.h"

#include "app/regfile.h"
#include "app/registry.h"
#include "client/core/legacy97writer.h"
#include "common/filedialog.h"
#include "common/fileutil.h"
#include "common/workfolders.h"
#include "support/scriptedfiledialog.h"
#include "support/testsupport.h"
#include "telnethost.h"

#include <QDir>
#include <QSettings>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace zelp::test {
namespace {

TEST(LegacyOpen, Opening97FileAsksConvertsAndOpensTheConvertedFile) {
    ServiceScope services;
    ScriptedFileDialog files;
    setFileDialogService(&files);
    const QString reg = services.dir.filePath(QStringLiteral("user.reg"));
    ASSERT_TRUE(WriteWholeFile(reg, "REGEDIT4\r\n", true));
    qputenv("ZELPDEV2K_REGISTRY", reg.toUtf8());
    setSystemRegistry(RegFileRegistry::loadStandard());
    QSettings settings(services.dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    workFolders().home = services.dir.path() + u'/';

    const QString old97 = services.dir.filePath(QStringLiteral("old.ats"));
    const QString converted = services.dir.filePath(QStringLiteral("converted.ats"));
    ASSERT_TRUE(write97File(
        old97, kSafe97ClassId,
        {{"HostName", std::string("legacy.example")}, {"Script", std::string("Sub Main()")}}));
    files.answers = {old97, converted};
    services.messages.answers = {6};

    FrmMain w(&settings);
    w.show();
    QTest::mouseClick(w.button(Command::Open), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return w.cycle().document() != nullptr; }, 10000));

    ASSERT_EQ(services.messages.asked.size(), 1u);
    EXPECT_EQ(services.messages.asked[0].text,
              old97 + QStringLiteral(" is an Velmaris 97 Internet Connection file.\r\nDo you "
                                     "want to convert this file for use with Velmaris 2000 "
                                     "Internet Edition?"));
    EXPECT_EQ(services.messages.asked[0].style, 35);
    ASSERT_EQ(files.requests.size(), 2u);
    const FileDialogRequest &save = files.requests[1];
    EXPECT_EQ(save.kind, FileDialogRequest::Kind::Save);
    EXPECT_EQ(save.initialFolder, services.dir.path() + u'/');
    EXPECT_FALSE(save.confirmOverwrite);

    EXPECT_EQ(w.cycle().currentFile, converted);
    EXPECT_TRUE(w.cycle().document()->SafeMode());
    EXPECT_EQ(w.cycle().document()->Settings()->value("sHostName"),
              PropertyValue(std::string("legacy.example")));
    EXPECT_TRUE(w.windowTitle().contains(QStringLiteral("converted")));
    EXPECT_TRUE(QDir(services.dir.path()).entryList({QStringLiteral("Work*")}).isEmpty());
    EXPECT_TRUE(services.log().contains(QStringLiteral("Conversion converted: ") + old97));
    setFileDialogService(nullptr);
}

} // namespace
} // namespace zelp::test
