#include "testsupport.h"

#include "common/debuglog.h"
#include "common/msgboxstyle.h"
#include "common/workfolders.h"

#include <QFile>

#include <gtest/gtest.h>

namespace zelp::test {

std::optional<int16_t> ScriptedErrorDialog::choose(const std::string &report) {
    reports.push_back(report);
    if (answers.empty()) {
        return int16_t{ChoiceFail};
    }
    auto answer = answers.front();
    answers.pop_front();
    return answer;
}

void ScriptedErrorDialog::showFallback(const std::string &report) {
    fallbacks.push_back(report);
}

int16_t ScriptedMessageBox::showMessage(const QString &text, int16_t style) {
    asked.push_back({text, style});
    if (answers.empty()) {
        return Msg::buttonSet(style).escapeAnswer;
    }
    const int16_t answer = answers.front();
    answers.pop_front();
    return answer;
}

namespace {
WorkFolders g_savedFolders;
ErrorDialogService *g_savedErrors = nullptr;
MessageBoxService *g_savedMessages = nullptr;
} // namespace

ServiceScope::ServiceScope() {
    g_savedFolders = workFolders();
    g_savedErrors = ErrHndlr::dialogService();
    g_savedMessages = messageBoxService();
    ErrHndlr::resetForTests();
    ErrHndlr::setDialogService(&errors);
    setMessageBoxService(&messages);
    workFolders().program = dir.path() + QLatin1Char('/');
}

ServiceScope::~ServiceScope() {
    ErrHndlr::setDialogService(g_savedErrors);
    setMessageBoxService(g_savedMessages);
    ErrHndlr::resetForTests();
    workFolders() = g_savedFolders;
}

QString ServiceScope::log() const {
    QFile file(debugLogPath());
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

QString writeFile(const QString &path, QByteArrayView bytes) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes.data(), bytes.size()) == bytes.size())
        << qPrintable(path);
    return path;
}

} // namespace zelp::test
