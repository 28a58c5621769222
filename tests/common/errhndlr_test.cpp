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
    ErrorHandlerTest() {
        ErrHndlr::setClock([] { return kWhen; });
    }
    ~ErrorHandlerTest() override { ErrHndlr::setClock({}); }
    ServiceScope scope;
    std::string stamp() const { return ErrHndlr::generalDateTime(kWhen).toStdString(); }
};

void raiseIn(const char *module, const char *procedure, int number, const char *text) {
    Guarded guard(module, procedure);
    guard.step([&] { raiseError(number, text); });
}

TEST_F(ErrorHandlerTest, ReportLines) {
    const std::pair<ErrorInfo, std::string> cases[] = {
        {{53, "ZELPDEV2K", "File not found", 0}, "\r\nError:\t53\r\nDescription:\tFile not found"},
        {{13, "gsf", "Type", 40}, " line 40\r\nError:\t13\r\nDescription:\tType\r\nSource:\tgsf"},
        {{-1, "zelpdev2k", "Automation", 0}, "\r\nError:\t0xFFFFFFFF\r\nDescription:\tAutomation"},
        {{0, "zelpdev2k", "", 0}, "\r\nError:\t0\r\nDescription:\t"},
        {{INT32_MIN, "zelpdev2k", "x", 0}, "\r\nError:\t0x80000000\r\nDescription:\tx"},
    };
    for (const auto &[error, afterProcedure] : cases) {
        EXPECT_EQ(ErrHndlr::buildReport(error, "zelpdev", "GetIniDir"),
                  "Procedure:\tGetIniDir (zelpdev)" + afterProcedure + "\r\n");
    }
}

TEST_F(ErrorHandlerTest, EachChoiceIsLoggedAndActedOn) {
    // how often the failing statement ran, whether the next one ran, whether the caller got it
    const std::tuple<int16_t, const char *, int, bool, bool> cases[] = {
        {ChoiceIgnore, "Ignore", 1, true, false},
        {ChoiceRetry, "Retry", 2, true, false},
        {ChoiceFail, "Fail", 1, false, true},
    };
    const std::string report = "Procedure:\tcmdNew_Click (main) line 12\r\nError:\t53\r\n"
                               "Description:\tFile not found\r\n";
    for (const auto &[choice, word, runs, after, threw] : cases) {
        ServiceScope local;
        local.errors.answers = {choice};
        int ran = 0;
        bool next = false, caught = false;
        try {
            Guarded guard("main", "cmdNew_Click");
            guard.step([&] { ++ran == 1 ? raiseError(53, "File not found") : void(); }, 12);
            next = true;
        } catch (const RuntimeError &e) {
            caught = e.number() == ErrNum::FileNotFound && e.description() == "File not found";
        }
        EXPECT_EQ(std::tuple(ran, next, caught), std::tuple(runs, after, threw)) << word;
        EXPECT_EQ(local.errors.reports, std::vector<std::string>{report});
        EXPECT_EQ(local.log().toStdString(),
                  "\r\n" + stamp() + "\r\n" + report + "Action:\t" + word + "\r\n");
        EXPECT_EQ(ErrHndlr::logOnly(), choice == ChoiceFail);
    }
}

TEST_F(ErrorHandlerTest, AfterFailEveryProcedureAndLaterErrorIsOnlyTraced) {
    scope.errors.answers = {ChoiceFail};
    const auto outer = [] {
        Guarded guard("zelpdev", "MessageBox");
        guard.step([] { raiseIn("strfunc", "Field", ErrNum::Overflow, "Overflow"); });
    };
    EXPECT_THROW(outer(), RuntimeError);
    const QString first = scope.log();
    EXPECT_TRUE(
        first.endsWith(QStringLiteral("Action:\tFail\r\nProcedure:\tMessageBox (zelpdev)\r\n\r\n")))
        << first.toStdString();
    try {
        raiseIn("aboutbox", "Form_Load", ErrNum::FileNotFound, "File not found");
        ADD_FAILURE() << "Fail must travel to the caller";
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number(), ErrNum::Overflow) << "the recorded error of the first Fail";
    }
    EXPECT_EQ(scope.errors.reports.size(), 1u) << "only the first error asks";
    EXPECT_EQ(scope.log().mid(first.size()),
              QStringLiteral("Procedure:\tForm_Load (aboutbox)\r\n\r\n"));
}

TEST_F(ErrorHandlerTest, QuietScopesRecordSilentlyAndUnwindOnEveryWayOut) {
    {
        QuietErrors quiet;
        EXPECT_FALSE(quiet.step(
            [] { raiseIn("strfunc", "Dcount", ErrNum::TypeMismatch, "Type mismatch"); }));
        EXPECT_TRUE(quiet.step([] {})) << "the next step runs";
    }
    EXPECT_TRUE(scope.errors.reports.empty());
    EXPECT_TRUE(scope.log().isEmpty());
    EXPECT_EQ(ErrHndlr::recordedError().number, ErrNum::TypeMismatch);
    EXPECT_FALSE(ErrHndlr::logOnly());
    try {
        QuietErrors quiet, nested;
        EXPECT_EQ(ErrHndlr::quietDepth(), 2);
        throw std::runtime_error("leaves the scope");
    } catch (const std::exception &) {
    }
    EXPECT_EQ(ErrHndlr::quietDepth(), 0);
}

TEST_F(ErrorHandlerTest, ForeignExceptionsNoDialogAndNoLogStillGiveAChoice) {
    scope.errors.answers = {ChoiceIgnore, ChoiceIgnore, std::nullopt};
    Guarded guard("zelpdev", "GetIniDir");
    EXPECT_EQ(guard.value([]() -> int { throw std::bad_alloc(); }, -1), -1);
    guard.step([] { throw std::logic_error("broken"); });
    ASSERT_EQ(scope.errors.reports.size(), 2u);
    EXPECT_NE(scope.errors.reports[0].find("Error:\t7\r\n"), std::string::npos);
    EXPECT_NE(scope.errors.reports[1].find("Description:\tbroken\r\n"), std::string::npos);

    const QString before = scope.log();
    const ErrorInfo error{ErrNum::OutOfMemory, "zelpdev2k", "Out of memory", 0};
    EXPECT_EQ(ErrorHandler(error, "msgbox", "ShowMessage"), ChoiceFail) << "no dialog";
    const std::string report =
        "Procedure:\tShowMessage (msgbox)\r\nError:\t7\r\nDescription:\tOut of memory\r\n";
    EXPECT_EQ(scope.errors.fallbacks, std::vector<std::string>{report});
    EXPECT_EQ(scope.log().mid(before.size()).toStdString(),
              "\r\n" + stamp() + "\r\n" + report + "\r\nunrecoverable\r\n");
    EXPECT_TRUE(ErrHndlr::logOnly());
    EXPECT_EQ(ErrHndlr::recordedError().number, ErrNum::OutOfMemory);

    ServiceScope fresh;
    workFolders().program = QStringLiteral("/proc/");
    qputenv("XDG_STATE_HOME", "/proc/no-such-state");
    fresh.errors.answers = {ChoiceIgnore};
    EXPECT_EQ(ErrorHandler(error, "zelpdev", "GetIniDir"), ChoiceIgnore) << "no log";
    EXPECT_THROW(DebugLog("x"), RuntimeError);
    qunsetenv("XDG_STATE_HOME");
}

} // namespace
} // namespace zelp::test
