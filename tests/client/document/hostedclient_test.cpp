#include "client/browser/webbrowser.h"
#include "client/core/clientclasses.h"
#include "client/core/recordstream.h"
#include "client/document/hostedclient.h"

#include "app/regfile.h"
#include "app/registry.h"
#include "client/widgets/terminalview.h"
#include "common/fileutil.h"
#include "support/testsupport.h"
#include "telnethost.h"

#include <gtest/gtest.h>

#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>

namespace zelp::test {
namespace {

class HostedClientTest : public ::testing::Test {
protected:
    ServiceScope services;
    WebBrowser browser;
    DocumentClasses classes;

    void SetUp() override {
        qputenv("ZELPDEV2K_REGISTRY", services.dir.filePath(QStringLiteral("none.reg")).toUtf8());
        setSystemRegistry(RegFileRegistry::loadStandard());
        registerClientDocuments(classes);
        browser.setDocumentClasses(&classes);
    }

    QString path(const char *name) const {
        return services.dir.filePath(QString::fromLatin1(name));
    }

    void write(const char *name, const ClassIdBytes &id,
               std::vector<std::pair<std::string, std::string>> streams = {}) {
        const auto bytes = CompoundFile::build({id, std::move(streams)});
        ASSERT_TRUE(bytes);
        writeFile(path(name), *bytes);
    }

    ClientDocument *navigate(const QString &url) {
        QSignalSpy done(&browser, &WebBrowser::NavigateComplete2);
        browser.Navigate(url);
        EXPECT_TRUE(done.wait(5000));
        return qobject_cast<ClientDocument *>(browser.Document());
    }
};

TEST_F(HostedClientTest, EachFileGetsTheDocumentOfItsClass) {
    write("safe.ats", ClientClasses::classIdFor(true));
    write("unsafe.ats", ClientClasses::classIdFor(false));
    write("other.ats", *classIdFromText(QStringLiteral("{F24D6911-69D1-11D2-AB7F-0040055A85C2}")));
    write("corrupt.ats", ClientClasses::classIdFor(true), {{"Settings", "\x01"}});
    writeFile(path("text.ats"), "just text");
    // The file, whether it is a client document, whether safe, what the error says.
    const std::tuple<const char *, bool, bool, const char *> cases[] = {
        {"safe.ats", true, true, ""},
        {"unsafe.ats", true, false, ""},
        {"other.ats", false, false, "No document class"},
        {"corrupt.ats", false, false, "Settings"},
        {"text.ats", false, false, "no compound document"},
    };
    for (const auto &[file, client, safe, errorPart] : cases) {
        ClientDocument *doc = navigate(path(file));
        EXPECT_EQ(doc != nullptr, client) << file;
        if (doc) {
            EXPECT_EQ(doc->SafeMode(), safe) << file;
            EXPECT_FALSE(doc->Changed());
        } else {
            ASSERT_NE(browser.Document(), nullptr) << file;
            EXPECT_EQ(browser.Document()->objectName(), QStringLiteral("nonClientDocument"));
            EXPECT_EQ(browser.LocationURL(), path(file));
            EXPECT_EQ(browser.findChild<TerminalView *>(), nullptr);
            EXPECT_TRUE(browser.lastError().contains(QString::fromLatin1(errorPart)))
                << file << ": " << browser.lastError().toStdString();
        }
    }
}

// A document whose file is read-only stays hosted with its edits: see the main window's test.
TEST_F(HostedClientTest, LeavingSavesAChangedDocumentOnly) {
    write("c.ats", ClientClasses::classIdFor(false));
    const QByteArray before = ReadWholeFile(path("c.ats"));
    ASSERT_TRUE(navigate(path("c.ats")));
    navigate(QStringLiteral("about:blank"));
    EXPECT_EQ(ReadWholeFile(path("c.ats")), before);
    EXPECT_EQ(browser.Document(), nullptr);

    ClientDocument *doc = navigate(path("c.ats"));
    ASSERT_TRUE(doc);
    ASSERT_TRUE(doc->Settings()->setValue("sHostName", std::string("saved.example")));
    doc->setScript("Sub Main()\r\nEnd Sub\r\n");
    navigate(QStringLiteral("about:blank"));
    auto back = ClientDocument::load(path("c.ats"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Settings()->value("sHostName"), PropertyValue(std::string("saved.example")));
    EXPECT_EQ(back->Script(), "Sub Main()\r\nEnd Sub\r\n");
}

TEST_F(HostedClientTest, TheTestConnectionRunsInThePreview) {
    TelnetHost host("Welcome to the test host\r\n");
    ASSERT_TRUE(host.listen());
    write("live.ats", ClientClasses::classIdFor(true),
          {{"Settings", *RecordStream::encode({{"sHostName", std::string("127.0.0.1")},
                                               {"sHostPort", std::to_string(host.port())},
                                               {"sHostTermType", std::string("VT220")},
                                               {"sSessionTitle", std::string("Payroll")}})}});
    ClientDocument *doc = navigate(path("live.ats"));
    ASSERT_TRUE(doc);
    auto *view = browser.findChild<TerminalView *>(QStringLiteral("terminalView"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->title(), QStringLiteral("Payroll"));
    // In a preview too small for the screen at its font, a smaller font keeps scroll bars away.
    auto *preview = browser.findChild<QWidget *>(QStringLiteral("clientPreview"));
    ASSERT_NE(preview, nullptr);
    browser.resize(view->sizeHint() * 3 / 4);
    browser.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&browser));
    auto *scroll = preview->findChild<QScrollArea *>();
    ASSERT_TRUE(scroll);
    EXPECT_LE(view->width(), scroll->maximumViewportSize().width());
    EXPECT_LE(view->height(), scroll->maximumViewportSize().height());
    EXPECT_FALSE(doc->Settings2()->Connected());

    doc->Connect();
    ASSERT_TRUE(
        WaitUntil([&] { return view->screen()->rowText(0).contains(QStringLiteral("Welcome")); }));
    EXPECT_TRUE(doc->Settings2()->Connected());
    EXPECT_TRUE(doc->Settings2()->State().startsWith(QStringLiteral("Connected to 127.0.0.1:")))
        << doc->Settings2()->State().toStdString();
    EXPECT_TRUE(WaitUntil([&] { return host.terminalType() == "VT220"; }));
    doc->Disconnect();
    EXPECT_TRUE(WaitUntil([&] { return host.clientGone(); }));
    EXPECT_TRUE(WaitUntil([&] { return !doc->Settings2()->Connected(); }));
    EXPECT_FALSE(doc->Changed()); // a test connection edits nothing

    // A refused port shows its error in the preview and the session state, not in a box.
    ASSERT_TRUE(doc->Settings()->setValue("sHostPort", std::to_string(TelnetHost::freePort())));
    doc->Connect();
    ASSERT_TRUE(WaitUntil([&] { return view->statusText().contains(QStringLiteral("refused")); }));
    EXPECT_TRUE(doc->Settings2()->State().contains(QStringLiteral("refused")));
    EXPECT_TRUE(services.messages.asked.empty());
    // The error is about the old port: a new one clears it.
    ASSERT_TRUE(doc->Settings()->setValue("sHostPort", std::string("2323")));
    EXPECT_EQ(view->statusText(), QStringLiteral("Not connected"));
    EXPECT_EQ(doc->Settings2()->State(), QStringLiteral("Not connected"));
}

} // namespace
} // namespace zelp::test
