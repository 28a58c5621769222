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

struct Journal {
    QStringList events;
};

class FakeDocument : public HostedDocument {
public:
    FakeDocument(const QString &path, Journal *journal) : path_(path), journal_(journal) {
        object_.setObjectName(QStringLiteral("client:") + path);
    }
    QObject *object() override { return &object_; }
    QWidget *createView(QWidget *parent) override {
        auto *view = new QLabel(path_, parent);
        view->setObjectName(QStringLiteral("view"));
        return view;
    }
    bool unload(QString *error) override {
        journal_->events << QStringLiteral("unload ") + path_;
        if (path_.endsWith(QStringLiteral("throws.ats"))) {
            throw std::runtime_error("disk full");
        }
        if (path_.endsWith(QStringLiteral("fails.ats"))) {
            *error = QStringLiteral("disk full");
            return false;
        }
        return true;
    }

private:
    QString path_;
    Journal *journal_;
    QObject object_;
};

class WebBrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto registry = std::make_unique<RegFileRegistry>();
        registry->merge("REGEDIT4\r\n[HKEY_CLASSES_ROOT\\Test.Client\\Clsid]\r\n@=\"" +
                        kSafeId.toLatin1() + "\"\r\n");
        setSystemRegistry(std::move(registry));
        classes.add(QStringLiteral("Test.Client"),
                    [this](const QString &path, QString *error) -> std::unique_ptr<HostedDocument> {
                        if (path.endsWith(QStringLiteral("broken.ats"))) {
                            *error = QStringLiteral("corrupt Settings stream");
                            return nullptr;
                        }
                        return std::make_unique<FakeDocument>(path, &journal);
                    });
        browser.setDocumentClasses(&classes);
        browser.setClassIdReader([](const QString &path) {
            if (path.endsWith(QStringLiteral(".txt"))) {
                return QString();
            }
            return path.contains(QStringLiteral("other"))
                       ? QStringLiteral("{00000000-0000-0000-0000-000000000000}")
                       : kSafeId.toLower().mid(1, 36);
        });
    }
    void TearDown() override { setSystemRegistry(nullptr); }

    void settle() { QCoreApplication::processEvents(); }

    ServiceScope scope;
    Journal journal;
    DocumentClasses classes;
    WebBrowser browser;
};

TEST_F(WebBrowserTest, CompletesFromTheEventLoop) {
    QSignalSpy spy(&browser, &WebBrowser::NavigateComplete2);
    browser.Navigate(QStringLiteral("/c/Sales.ats"));
    EXPECT_EQ(spy.count(), 0) << "never inside Navigate";
    EXPECT_EQ(browser.Document(), nullptr);
    settle();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(1).toString(), QStringLiteral("/c/Sales.ats"));
    ASSERT_NE(browser.Document(), nullptr);
    EXPECT_EQ(browser.Document()->objectName(), QStringLiteral("client:/c/Sales.ats"));
    EXPECT_EQ(browser.LocationURL(), QStringLiteral("/c/Sales.ats"));
    EXPECT_NE(browser.findChild<QLabel *>(QStringLiteral("view")), nullptr);
}

struct NonClientCase {
    const char *name;
    QString path;
    const char *errorPart;
};

TEST_F(WebBrowserTest, FilesWithoutAClientDocument) {
    const NonClientCase cases[] = {
        {"no compound file", QStringLiteral("/c/readme.txt"), "no compound document"},
        {"another class", QStringLiteral("/c/other.ats"), "No document class"},
        {"the class refuses the file", QStringLiteral("/c/broken.ats"), "corrupt Settings"},
    };
    for (const auto &c : cases) {
        browser.Navigate(c.path);
        settle();
        ASSERT_NE(browser.Document(), nullptr) << c.name;
        EXPECT_EQ(browser.Document()->objectName(), QStringLiteral("nonClientDocument")) << c.name;
        EXPECT_TRUE(browser.lastError().contains(QLatin1String(c.errorPart)))
            << c.name << ": " << browser.lastError().toStdString();
        EXPECT_EQ(browser.LocationURL(), c.path) << c.name;
        EXPECT_EQ(browser.findChild<QLabel *>(QStringLiteral("view")), nullptr) << c.name;
    }
}

TEST_F(WebBrowserTest, BlankUnloadsOnceAndEmptiesTheLocation) {
    browser.Navigate(QStringLiteral("/c/a.ats"));
    settle();
    browser.Navigate(QStringLiteral("/c/b.ats"));
    settle();
    EXPECT_EQ(journal.events, QStringList{QStringLiteral("unload /c/a.ats")});
    browser.Navigate(QStringLiteral("about:blank"));
    settle();
    EXPECT_EQ(journal.events,
              (QStringList{QStringLiteral("unload /c/a.ats"), QStringLiteral("unload /c/b.ats")}));
    EXPECT_EQ(browser.Document(), nullptr);
    EXPECT_TRUE(browser.LocationURL().isEmpty());
    browser.Navigate(QStringLiteral("about:blank"));
    settle();
    EXPECT_EQ(journal.events.size(), 2) << "nothing left to unload";
}

TEST_F(WebBrowserTest, StopAndSupersededNavigations) {
    QSignalSpy spy(&browser, &WebBrowser::NavigateComplete2);
    browser.Navigate(QStringLiteral("/c/a.ats"));
    browser.Stop();
    settle();
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(browser.Document(), nullptr);
    browser.Navigate(QStringLiteral("/c/a.ats"));
    browser.Navigate(QStringLiteral("/c/b.ats"));
    settle();
    ASSERT_EQ(spy.count(), 1) << "a later navigation replaces an unfinished one";
    EXPECT_EQ(browser.LocationURL(), QStringLiteral("/c/b.ats"));
}

TEST_F(WebBrowserTest, ADocumentThatCannotWriteItselfStaysWithItsView) {
    for (const QString &path : {QStringLiteral("/c/fails.ats"), QStringLiteral("/c/throws.ats")}) {
        WebBrowser host;
        host.setDocumentClasses(&classes);
        host.setClassIdReader([](const QString &) { return kSafeId; });
        host.Navigate(path);
        QCoreApplication::processEvents();
        QObject *doc = host.Document();
        QSignalSpy completed(&host, &WebBrowser::NavigateComplete2);
        QSignalSpy failed(&host, &WebBrowser::UnloadFailed);
        host.Navigate(QStringLiteral("about:blank"));
        QCoreApplication::processEvents();
        EXPECT_EQ(completed.count(), 0) << path.toStdString();
        ASSERT_EQ(failed.count(), 1) << path.toStdString();
        EXPECT_EQ(failed.at(0).at(0).toString(), path);
        EXPECT_TRUE(failed.at(0).at(1).toString().contains(QStringLiteral("disk full")));
        EXPECT_EQ(host.Document(), doc);
        EXPECT_EQ(host.LocationURL(), path);
        EXPECT_NE(host.findChild<QLabel *>(QStringLiteral("view")), nullptr);
    }
}

TEST(WebBrowserLifetime, DestroyingTheHostUnloadsItsDocument) {
    ServiceScope scope;
    Journal journal;
    DocumentClasses classes;
    classes.add(QStringLiteral("VelmarisInternetClient2.ZLInetSafeCli"),
                [&](const QString &path, QString *) -> std::unique_ptr<HostedDocument> {
                    return std::make_unique<FakeDocument>(path, &journal);
                });
    {
        WebBrowser browser;
        browser.setDocumentClasses(&classes);
        browser.setClassIdReader([](const QString &) { return kSafeId; });
        browser.Navigate(QStringLiteral("/c/x.ats"));
        QCoreApplication::processEvents();
        ASSERT_NE(browser.Document(), nullptr) << "the built-in registry knows the safe client";
    }
    EXPECT_EQ(journal.events, QStringList{QStringLiteral("unload /c/x.ats")});
}

} // namespace
} // namespace zelp::test
