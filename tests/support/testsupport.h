#pragma once

#include "common/errhndlr.h"
#include "common/msgbox.h"

#include <QString>
#include <QTemporaryDir>

#include <deque>
#include <string>
#include <vector>

namespace zelp::test {

// Answers the error dialog from a script and keeps every report it was shown.
class ScriptedErrorDialog : public ErrorDialogService {
public:
    std::deque<std::optional<int16_t>> answers; // nullopt: no dialog could be made
    std::vector<std::string> reports;
    std::vector<std::string> fallbacks;

    std::optional<int16_t> choose(const std::string &report) override;
    void showFallback(const std::string &report) override;
};

// Answers message boxes from a script and keeps what it was asked.
class ScriptedMessageBox : public MessageBoxService {
public:
    struct Asked {
        QString text;
        int16_t style;
    };
    std::deque<int16_t> answers; // empty: the Escape answer
    std::vector<Asked> asked;

    int16_t showMessage(const QString &text, int16_t style) override;
};

// Installs both scripted services, a fresh error state and a program folder in a temporary
// folder (where the log goes) for one test; puts everything back afterwards.
class ServiceScope {
public:
    ServiceScope();
    ~ServiceScope();
    ScriptedErrorDialog errors;
    ScriptedMessageBox messages;
    QTemporaryDir dir;
    QString log() const; // the log's text so far
};

// Writes the bytes as they are, through a plain QFile rather than the writers under test;
// a file that cannot be written fails the test. Returns the path.
QString writeFile(const QString &path, QByteArrayView bytes);

} // namespace zelp::test
