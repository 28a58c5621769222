#include "common/appinfo.h"
#include "common/debuglog.h"
#include "common/errhndlr.h"
#include "common/workfolders.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QDateTime>

namespace zelp::test {
namespace {

const QDateTime kWhen(QDate(2026, 12, 6), QTime(15, 4, 5));

class ErrorHandlerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ErrHndlr::setClock([] { return kWhen; });
    }
    void TearDown() override { ErrHndlr::setClock({}); }
    ServiceScope scope;
    std::string stamp() const { return ErrHndlr::generalDateTime(kWhen).toStdString(); }
};

struct ReportCase {
    const char *name;
    ErrorInfo error;
    std::string expected;
};

TEST_F(ErrorHandlerTest, ReportLines) {
    const ReportCase cases[] = {
        {"source is the executable, other case",
         {53, "ZELPDEV2K", "File not found", 0},
         "Procedure:\tGetIniDir (zelpdev)\r\nError:\t53\r\nDescription:\tFile not found\r\n"},
        {"other source and a line",
         {13, "gsf", "Type mismatch", 40},
         "Procedure:\tGetIniDir (zelpdev) line 40\r\nError:\t13\r\nDescription:\tType "
         "mismatch\r\nSource:\tgsf\r\n"},
        {"negative number",
         {-1, "zelpdev2k", "Automation error", 0},
         "Procedure:\tGetIniDir (zelpdev)\r\nError:\t0xFFFFFFFF\r\nDescription:\tAutomation "
         "error\r\n"},
        {"zero",
         {0, "zelpdev2k", "", 0},
         "Procedure:\tGetIniDir (zelpdev)\r\nError:\t0\r\nDescription:\t\r\n"},
        {"most negative",
         {INT32_MIN, "zelpdev2k", "x", 0},
         "Procedure:\tGetIniDir (zelpdev)\r\nError:\t0x80000000\r\nDescription:\tx\r\n"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ErrHndlr::buildReport(c.error, "zelpdev", "GetIniDir"), c.expected) << c.name;
    }
}

TEST_F(ErrorHandlerTest, EachChoiceIsLoggedAndActedOn) {
    struct ChoiceCase {
        int16_t choice;
        const char *word;
        int runs;    // how often the failing statement ran
        bool after;  // whether the statement after it ran
        bool thrown; // whether the procedure raised the error to its caller
    };
    const ChoiceCase cases[] = {
        {ChoiceIgnore, "Ignore", 1, true, false},
        {ChoiceRetry, "Retry", 2, true, false},
        {ChoiceFail, "Fail", 1, false, true},
    };
    for (const auto &c : cases) {
        ServiceScope local;
        local.errors.answers = {c.choice};
        int runs = 0;
        bool after = false;
        bool thrown = false;
        try {
            Guarded guard("main", "cmdNew_Click");
            guard.step(
                [&] {
                    if (++runs == 1) {
                        raiseError(ErrNum::FileNotFound, "File not found");
                    }
                },
                12);
            after = true;
        } catch (const RuntimeError &e) {
            thrown = true;
            EXPECT_EQ(e.number(), ErrNum::FileNotFound);
            EXPECT_EQ(e.description(), "File not found");
        }
        EXPECT_EQ(runs, c.runs) << c.word;
        EXPECT_EQ(after, c.after) << c.word;
        EXPECT_EQ(thrown, c.thrown) << c.word;
        ASSERT_EQ(local.errors.reports.size(), 1u);
        EXPECT_EQ(local.errors.reports[0],
                  "Procedure:\tcmdNew_Click (main) line 12\r\nError:\t53\r\nDescription:\tFile "
                  "not found\r\n");
        const std::string expected =
            "\r\n" + stamp() + "\r\n" + local.errors.reports[0] + "Action:\t" + c.word + "\r\n";
        EXPECT_EQ(local.log().toStdString(), expected) << c.word;
        EXPECT_EQ(ErrHndlr::logOnly(), c.choice == ChoiceFail);
    }
}

TEST_F(ErrorHandlerTest, AfterFailEveryErrorIsOnlyTraced) {
    scope.errors.answers = {ChoiceFail};
    auto inner = [] {
        Guarded guard("strfunc", "Field");
        guard.step([] { raiseError(ErrNum::Overflow, "Overflow"); });
    };
    auto outer = [&] {
        Guarded guard("zelpdev", "MessageBox");
        guard.step(inner);
    };
    EXPECT_THROW(outer(), RuntimeError);
    ASSERT_EQ(scope.errors.reports.size(), 1u) << "the first error asks";
    const QString first = scope.log();

    // A second, different error later in the run: no dialog, only the call chain.
    try {
        Guarded guard("aboutbox", "Form_Load");
        guard.step([] { raiseError(ErrNum::FileNotFound, "File not found"); });
        FAIL() << "Fail must travel to the caller";
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number(), ErrNum::Overflow) << "the recorded error of the first Fail";
    }
    EXPECT_EQ(scope.errors.reports.size(), 1u);
    EXPECT_EQ(scope.log().mid(first.size()),
              QStringLiteral("Procedure:\tForm_Load (aboutbox)\r\n\r\n"));
}

TEST_F(ErrorHandlerTest, FailTracesEveryProcedureOnTheWayOut) {
    scope.errors.answers = {ChoiceFail};
    auto inner = [] {
        Guarded guard("strfunc", "Field");
        guard.step([] { raiseError(ErrNum::Overflow, "Overflow"); });
    };
    try {
        Guarded guard("zelpdev", "MessageBox");
        guard.step(inner);
    } catch (const RuntimeError &) {
    }
    EXPECT_TRUE(scope.log().endsWith(
        QStringLiteral("Action:\tFail\r\nProcedure:\tMessageBox (zelpdev)\r\n\r\n")))
        << scope.log().toStdString();
}

TEST_F(ErrorHandlerTest, QuietDepthRecordsSilently) {
    bool next = false;
    {
        QuietErrors quiet;
        EXPECT_EQ(ErrHndlr::quietDepth(), 1);
        const bool ran = quiet.step([] {
            Guarded guard("strfunc", "Dcount");
            guard.step([] { raiseError(ErrNum::TypeMismatch, "Type mismatch"); });
        });
        EXPECT_FALSE(ran);
        next = quiet.step([] {});
    }
    EXPECT_TRUE(next);
    EXPECT_EQ(ErrHndlr::quietDepth(), 0);
    EXPECT_TRUE(scope.errors.reports.empty());
    EXPECT_TRUE(scope.log().isEmpty());
    EXPECT_EQ(ErrHndlr::recordedError().number, ErrNum::TypeMismatch);
    EXPECT_FALSE(ErrHndlr::logOnly());
}

TEST_F(ErrorHandlerTest, DepthIsLoweredOnEveryWayOut) {
    try {
        QuietErrors quiet;
        QuietErrors nested;
        EXPECT_EQ(ErrHndlr::quietDepth(), 2);
        throw std::runtime_error("leaves the scope");
    } catch (const std::exception &) {
    }
    EXPECT_EQ(ErrHndlr::quietDepth(), 0);
}

TEST_F(ErrorHandlerTest, FallbackWhenNoDialogCanBeMade) {
    scope.errors.answers = {std::nullopt};
    const ErrorInfo error{ErrNum::OutOfMemory, "zelpdev2k", "Out of memory", 0};
    EXPECT_EQ(ErrorHandler(error, "msgbox", "ShowMessage"), ChoiceFail);
    ASSERT_EQ(scope.errors.fallbacks.size(), 1u);
    const std::string report = "Procedure:\tShowMessage (msgbox)\r\nError:\t7\r\n"
                               "Description:\tOut of memory\r\n";
    EXPECT_EQ(scope.errors.fallbacks[0], report);
    EXPECT_EQ(scope.log().toStdString(),
              "\r\n" + stamp() + "\r\n" + report + "\r\nunrecoverable\r\n");
    EXPECT_TRUE(ErrHndlr::logOnly());
    EXPECT_EQ(ErrHndlr::recordedError().number, ErrNum::OutOfMemory);
}

TEST_F(ErrorHandlerTest, UnwritableLogDoesNotStopTheChoice) {
    workFolders().program = QStringLiteral("/proc/");
    qputenv("XDG_STATE_HOME", "/proc/no-such-state");
    scope.errors.answers = {ChoiceIgnore};
    const ErrorInfo error{ErrNum::FileNotFound, "zelpdev2k", "File not found", 0};
    EXPECT_EQ(ErrorHandler(error, "zelpdev", "GetIniDir"), ChoiceIgnore);
    EXPECT_THROW(DebugLog("x"), RuntimeError);
    qunsetenv("XDG_STATE_HOME");
}

TEST_F(ErrorHandlerTest, ForeignExceptionsBecomeErrors) {
    scope.errors.answers = {ChoiceIgnore, ChoiceIgnore};
    Guarded guard("zelpdev", "GetIniDir");
    const int v = guard.value([]() -> int { throw std::bad_alloc(); }, -1);
    EXPECT_EQ(v, -1);
    guard.step([] { throw std::logic_error("broken"); });
    ASSERT_EQ(scope.errors.reports.size(), 2u);
    EXPECT_NE(scope.errors.reports[0].find("Error:\t7\r\n"), std::string::npos);
    EXPECT_NE(scope.errors.reports[1].find("Description:\tbroken\r\n"), std::string::npos);
}

} // namespace
} // namespace zelp::test
