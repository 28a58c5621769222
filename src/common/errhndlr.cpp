#include "errhndlr.h"

#include "appinfo.h"
#include "debuglog.h"

#include <QLocale>

#include <cstdio>

namespace zelp {

namespace {

const char *const kCrLf = "\r\n";

struct ErrorState {
    int32_t quietDepth = 0;
    ErrorInfo recorded;
    bool logOnly = false;
    ErrorDialogService *service = nullptr;
    std::function<QDateTime()> clock;
};

ErrorState &state() {
    static ErrorState s;
    return s;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

void record(const ErrorInfo &error) {
    state().recorded = ErrorInfo{error.number, error.source, error.description, 0};
}

std::string choiceWord(int16_t choice) {
    switch (choice) {
    case ChoiceFail:
        return "Fail";
    case ChoiceRetry:
        return "Retry";
    default:
        return "Ignore";
    }
}

std::string stamp() {
    const QDateTime now = state().clock ? state().clock() : QDateTime::currentDateTime();
    return ErrHndlr::generalDateTime(now).toStdString();
}

} // namespace

namespace ErrHndlr {

int32_t quietDepth() {
    return state().quietDepth;
}
bool logOnly() {
    return state().logOnly;
}
ErrorInfo recordedError() {
    return state().recorded;
}
void setDialogService(ErrorDialogService *service) {
    state().service = service;
}
ErrorDialogService *dialogService() {
    return state().service;
}
void setClock(std::function<QDateTime()> clock) {
    state().clock = std::move(clock);
}

QString generalDateTime(const QDateTime &when) {
    // Short date and long time, as the system writes a general date; without the zone name.
    const QLocale locale = QLocale::system();
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), timeFormat.trimmed());
}

std::string errorNumberText(int32_t number) {
    if (number >= 0) {
        return std::to_string(number);
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<uint32_t>(number));
    return hex;
}

std::string reportLine1(const ErrorInfo &error, std::string_view module,
                        std::string_view procedure) {
    std::string line = "Procedure:\t";
    line.append(procedure).append(" (").append(module).append(")");
    if (error.line > 0) {
        line += " line " + std::to_string(error.line);
    }
    return line + kCrLf;
}

std::string buildReport(const ErrorInfo &error, std::string_view module,
                        std::string_view procedure) {
    std::string report = reportLine1(error, module, procedure);
    report += "Error:\t" + errorNumberText(error.number) + kCrLf;
    report += "Description:\t" + error.description + kCrLf;
    if (!equalsIgnoringCase(error.source, AppInfo::executableName())) {
        report += "Source:\t" + error.source + kCrLf;
    }
    return report;
}

void resetForTests() {
    ErrorDialogService *service = state().service;
    auto clock = std::move(state().clock);
    state() = ErrorState{};
    state().service = service;
    state().clock = std::move(clock);
}

} // namespace ErrHndlr

int16_t ErrorHandler(const ErrorInfo &current, std::string_view module,
                     std::string_view procedure) {
    ErrorState &s = state();
    if (s.quietDepth > 0) {
        record(current);
        return ChoiceFail;
    }

    // From here on a failing step is skipped; a failure before the dialog sends the report to
    // the fallback.
    bool failed = false;
    auto attempt = [&failed](auto &&statement) {
        try {
            statement();
        } catch (...) {
            failed = true;
        }
    };

    std::string report;
    attempt([&] { report = ErrHndlr::reportLine1(current, module, procedure); });
    if (s.logOnly) {
        attempt([&] { DebugLog(report); });
        return ChoiceFail;
    }
    attempt([&] { report = ErrHndlr::buildReport(current, module, procedure); });

    std::optional<int16_t> choice;
    if (!failed && s.service) {
        attempt([&] { choice = s.service->choose(report); });
    }
    if (!choice) {
        attempt([&] {
            if (s.service) {
                s.service->showFallback(report);
            } else {
                std::fputs(report.c_str(), stderr);
            }
        });
        attempt([&] { DebugLog(kCrLf + stamp() + kCrLf + report + kCrLf + "unrecoverable"); });
        record(current);
        s.logOnly = true;
        return ChoiceFail;
    }

    attempt(
        [&] { DebugLog(kCrLf + stamp() + kCrLf + report + "Action:\t" + choiceWord(*choice)); });
    if (*choice == ChoiceFail) {
        record(current);
        s.logOnly = true;
    }
    return *choice;
}

QuietErrors::QuietErrors() {
    ++state().quietDepth;
}
QuietErrors::~QuietErrors() {
    --state().quietDepth;
}

bool Guarded::handle(const std::exception_ptr &failure, int line) {
    ErrorInfo info = errorFrom(failure);
    info.line = line;
    switch (ErrorHandler(info, module_, procedure_)) {
    case ChoiceFail:
        throw RuntimeError(ErrHndlr::recordedError());
    case ChoiceRetry:
        return true;
    default:
        return false;
    }
}

} // namespace zelp
