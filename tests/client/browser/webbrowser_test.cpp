#include "client/browser/webbrowser.h"

#include "app/regfile.h"
#include "app/registry.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QSignalSpy>

namespace zelp::test {
namespace {

const QString kSafeId = QStringLiteral("{7F1351CE-90DD-411B-868D-E1BAA3CEBDA8}");

// Shows its path; notes each unload in the journal, and fails it for "fails" and "throws".
class FakeDocument : public HostedDocument {
public:
    FakeDocument(const QString &path, QStringList *journal) : path_(path), journal_(journal) {
        object_.setObjectName(QStringLiteral("client:") + path);
    }
    QObject *object() override { return &object_; }
    QWidget *createView(QWidget *parent) override { return new QLabel(path_, parent); }
    bool unload(QString *error) override {
        *journal_ << QStringLiteral("unload ") + path_;
        if (path_.endsWith(QStringLiteral("throws.ats"))) {
            throw std::runtime_error("disk full");
        }
        *error = QStringLiteral("disk full");
        return !path_.endsWith(QStringLiteral("fails.ats"));
    }

private:
    QString path_;
    QStringList *journal_;
    QObject object_;
};

class WebBrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto registry = std::make_unique<RegFileRegistry>();
        registry->merge("REGEDIT4\r\n[HKEY_CLASSES_ROOT\\Test.Client\\Clsid]\r\n@=\"" +
                        kSafeId.toLatin1() + "\"\r\n");
        setSystemRegistry(std::move(registry));
        classes.add(QStringLiteral("Test.Client"), [this](const QString &path, QString *) {
            return std::make_unique<FakeDocument>(path, &journal);
        });
        browser.setDocumentClasses(&classes);
        // The class id as the file holds it: no braces, lower case.
        browser.setClassIdReader([](const QString &) { return kSafeId.toLower().mid(1, 36); });
    }
    void TearDown() override { setSystemRegistry(nullptr); }

    static void go(WebBrowser &web, const QString &url) {
        web.Navigate(url);
        QCoreApplication::processEvents();
    }

    ServiceScope scope;
    QStringList journal;
    DocumentClasses classes;
    WebBrowser browser;
};

TEST_F(WebBrowserTest, NavigationsCompleteFromTheEventLoopAndUnloadOnce) {
    QSignalSpy spy(&browser, &WebBrowser::NavigateComplete2);
    browser.Navigate(QStringLiteral("/c/a.ats"));
    browser.Stop();
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(browser.Document(), nullptr);

    browser.Navigate(QStringLiteral("/c/x.ats"));
    browser.Navigate(QStringLiteral("/c/a.ats"));
    EXPECT_EQ(spy.count(), 0) << "never inside Navigate";
    QCoreApplication::processEvents();
    ASSERT_EQ(spy.count(), 1) << "a later navigation replaces an unfinished one";
    EXPECT_EQ(spy.at(0).at(1).toString(), QStringLiteral("/c/a.ats"));
    ASSERT_NE(browser.Document(), nullptr);
    EXPECT_EQ(browser.Document()->objectName(), QStringLiteral("client:/c/a.ats"));
    EXPECT_EQ(browser.LocationURL(), QStringLiteral("/c/a.ats"));
    EXPECT_NE(browser.findChild<QLabel *>(), nullptr);

    go(browser, QStringLiteral("/c/b.ats"));
    EXPECT_EQ(journal, QStringList{QStringLiteral("unload /c/a.ats")});
    go(browser, QStringLiteral("about:blank"));
    go(browser, QStringLiteral("about:blank"));
    EXPECT_EQ(journal, (QStringList{"unload /c/a.ats", "unload /c/b.ats"}));
    EXPECT_EQ(browser.Document(), nullptr);
    EXPECT_TRUE(browser.LocationURL().isEmpty());
}

TEST_F(WebBrowserTest, ADocumentThatCannotWriteItselfStaysAndAnyLeavesWithItsHost) {
    for (const char *name : {"fails.ats", "throws.ats", "stays.ats"}) {
        const QString path = QStringLiteral("/c/") + QLatin1String(name);
        const bool leave = !path.endsWith(QStringLiteral("stays.ats"));
        journal.clear();
        {
            WebBrowser host;
            host.setDocumentClasses(&classes);
            host.setClassIdReader([](const QString &) { return kSafeId; });
            go(host, path);
            QObject *doc = host.Document();
            QSignalSpy failed(&host, &WebBrowser::UnloadFailed);
            if (leave) {
                go(host, QStringLiteral("about:blank"));
                ASSERT_EQ(failed.count(), 1) << name;
                EXPECT_EQ(failed.at(0).at(0).toString(), path);
                EXPECT_EQ(failed.at(0).at(1).toString(), QStringLiteral("disk full"));
            }
            EXPECT_EQ(host.Document(), doc);
            EXPECT_EQ(host.LocationURL(), path);
            EXPECT_NE(host.findChild<QLabel *>(), nullptr);
        }
        // The host's end unloads its document, even one that failed to unload before.
        EXPECT_EQ(journal, QStringList(leave ? 2 : 1, "unload " + path)) << name;
    }
}

} // namespace
} // namespace zelp::test
