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

} // namespace
} // namespace zelp
