#pragma once

#include "errors.h"

#include <QDateTime>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zelp {

// Choices of the unanticipated-error dialog.
enum ErrorChoice : int16_t { ChoiceFail = 0, ChoiceRetry = 1, ChoiceIgnore = 2 };

// How the error report reaches a person: a dialog in the designer, stderr in the companion.
class ErrorDialogService {
public:
    virtual ~ErrorDialogService() = default;
    // Shows the report modally and returns the choice; nullopt when no dialog can be made.
    virtual std::optional<int16_t> choose(const std::string &report) = 0;
    // Last resort when no dialog could be made: a plain stop message with OK and Cancel.
    virtual void showFallback(const std::string &report) = 0;
};

namespace ErrHndlr {

int32_t quietDepth();
bool logOnly();
ErrorInfo recordedError();

// nullptr means no window at all: every report takes the fallback path.
void setDialogService(ErrorDialogService *service);
ErrorDialogService *dialogService();

// Stamps the log entries; the system clock unless a test sets another.
void setClock(std::function<QDateTime()> clock);
QString generalDateTime(const QDateTime &when);

// Report lines: "Procedure:", "Error:", "Description:" and (when it differs from the
// executable's name) "Source:", each ending in CR LF.
std::string reportLine1(const ErrorInfo &error, std::string_view module,
                        std::string_view procedure);
std::string buildReport(const ErrorInfo &error, std::string_view module,
                        std::string_view procedure);
std::string errorNumberText(int32_t number);

// Puts the process-wide state back to its start values (tests only).
void resetForTests();

} // namespace ErrHndlr

// Reports an unexpected error of a guarded procedure and returns Fail, Retry or Ignore.
int16_t ErrorHandler(const ErrorInfo &current, std::string_view module, std::string_view procedure);

// Ignore-errors mode for the scope of one procedure: raises the quiet-error depth for its
// lifetime, and runs statements that are skipped when they fail.
class QuietErrors {
public:
    QuietErrors();
    ~QuietErrors();
    QuietErrors(const QuietErrors &) = delete;
    QuietErrors &operator=(const QuietErrors &) = delete;

    // Runs one statement; false when it failed and was skipped.
    template <class F> bool step(F &&statement) noexcept {
        try {
            statement();
            return true;
        } catch (...) {
            return false;
        }
    }
};

// A guarded procedure: each statement runs under the error handler, which decides whether
// it is run again (Retry), skipped (Ignore) or whether the recorded error is thrown (Fail).
class Guarded {
public:
    Guarded(std::string_view module, std::string_view procedure)
        : module_(module), procedure_(procedure) {}

    // Runs one statement; line is the statement's line number for the report, 0 for none.
    template <class F> void step(F &&statement, int line = 0) {
        for (;;) {
            std::exception_ptr failure;
            try {
                statement();
                return;
            } catch (...) {
                failure = std::current_exception();
            }
            if (!handle(failure, line)) {
                return;
            }
        }
    }

    // A statement with a result; ifIgnored stands in when the user ignores its failure.
    template <class T, class F> T value(F &&statement, T ifIgnored, int line = 0) {
        for (;;) {
            std::exception_ptr failure;
            try {
                return statement();
            } catch (...) {
                failure = std::current_exception();
            }
            if (!handle(failure, line)) {
                return ifIgnored;
            }
        }
    }

private:
    // True to retry, false to go on after the statement; throws on Fail.
    bool handle(const std::exception_ptr &failure, int line);

    std::string_view module_;
    std::string_view procedure_;
};

} // namespace zelp
