#include "ui/help/helptopics.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace zelp {
namespace {

// Every help context the windows, buttons, menu items and dialog controls carry.
const int kContexts[] = {100, 101, 102, 103, 200, 201, 202, 203, 204, 205, 206, 207,
                         208, 209, 300, 301, 302, 303, 304, 305, 306, 307, 308, 310,
                         311, 312, 313, 314, 315, 320, 321, 322, 323, 324};

QString readResource(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

QString titleOf(const QString &html) {
    static const QRegularExpression title(QStringLiteral("<title>([^<]*)</title>"));
    return title.match(html).captured(1).trimmed();
}

QStringList linksOf(const QString &html) {
    static const QRegularExpression href(QStringLiteral("href=\"([^\"]+)\""));
    QStringList links;
    for (auto it = href.globalMatch(html); it.hasNext();) {
        links << it.next().captured(1);
    }
    return links;
}

TEST(HelpTopics, EveryContextHasATitledTopicThatLeadsBackToTheContents) {
    for (int context : kContexts) {
        SCOPED_TRACE(context);
        const QString path = Help::topicPath(context);
        ASSERT_EQ(path, QStringLiteral(":/help/%1.html").arg(context));
        const QString html = readResource(path);
        EXPECT_FALSE(titleOf(html).isEmpty());
        EXPECT_TRUE(linksOf(html).contains(QStringLiteral("contents.html")));
        EXPECT_EQ(Help::topicUrl(context), QUrl(QStringLiteral("qrc") + path));
    }
}

TEST(HelpTopics, ContentsLinksEveryTopicAndOnlyExistingOnes) {
    const QString html = readResource(Help::contentsPath());
    ASSERT_FALSE(html.isEmpty());
    EXPECT_FALSE(titleOf(html).isEmpty());
    QSet<QString> linked;
    for (const QString &link : linksOf(html)) {
        EXPECT_TRUE(QFile::exists(QStringLiteral(":/help/") + link)) << link.toStdString();
        linked.insert(link);
    }
    for (int context : kContexts) {
        EXPECT_TRUE(linked.contains(QStringLiteral("%1.html").arg(context))) << context;
    }
}

TEST(HelpTopics, LinksBetweenTopicsResolve) {
    for (int context : kContexts) {
        for (const QString &link : linksOf(readResource(Help::topicPath(context)))) {
            EXPECT_TRUE(QFile::exists(QStringLiteral(":/help/") + link))
                << context << " -> " << link.toStdString();
        }
    }
}

TEST(HelpTopics, ANumberWithoutTopicLeadsToTheContents) {
    for (int context : {0, -1, 99, 309, 325, 9002}) {
        EXPECT_TRUE(Help::topicPath(context).isEmpty()) << context;
        EXPECT_EQ(Help::topicUrl(context), Help::contentsUrl()) << context;
    }
    EXPECT_EQ(Help::contentsUrl(), QUrl(QStringLiteral("qrc:/help/contents.html")));
}

} // namespace
} // namespace zelp
