#include "files/htmlfilename.h"

#include <gtest/gtest.h>

namespace zelp {
namespace {

TEST(HtmlFileName, LastDotOfThePathCounts) {
    struct Case {
        const char *session;
        const char *page;
    };
    const Case cases[] = {
        {"C:\\web\\Sales.ats", "C:\\web\\Sales.htm"},
        {"C:\\web\\Sales", "C:\\web\\Sales.htm"},
        {"C:\\rel.2\\Sales", "C:\\rel.htm"},
        {"/srv/web/Sales.ats", "/srv/web/Sales.htm"},
        {"/srv/web/a.b.ats", "/srv/web/a.b.htm"},
        {"/srv/web/Sales.", "/srv/web/Sales.htm"},
        {"", ".htm"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(htmlFileNameFor(QString::fromUtf8(c.session)), QString::fromUtf8(c.page))
            << c.session;
    }
}

TEST(PageFileBeside, OnlyTheFileNamesDotCounts) {
    const std::pair<const char *, const char *> cases[] = {
        {"/srv/rel.2/Sales", "/srv/rel.2/Sales.htm"},
        {"/srv/rel.2/a.b.ats", "/srv/rel.2/a.b.htm"},
        {"/srv/web/Sales.ats", "/srv/web/Sales.htm"},
        {"Sales", "Sales.htm"},
    };
    for (const auto &[connection, page] : cases) {
        EXPECT_EQ(pageFileBeside(QString::fromUtf8(connection)), QString::fromUtf8(page))
            << connection;
    }
}

} // namespace
} // namespace zelp
