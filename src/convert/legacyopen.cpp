#include "legacyopen.h"

#include "common/ansi.h"
#include "common/debuglog.h"
#include "common/errhndlr.h"
#include "common/filedialog.h"
#include "common/fileutil.h"
#include "common/msgbox.h"
#include "common/msgboxstyle.h"

#include <QStringList>

namespace zelp {

std::optional<QString> openLegacyCheck(const QString &chosen, Conv97::BrowserFactory browsers,
                                       Conv97::TimerFactory timers) {
    Conv97 converter(std::move(browsers), std::move(timers));
    if (!converter.Test(chosen)) {
        return chosen;
    }
    const QString question = chosen + QString::fromLatin1(ConvTexts::kIsLegacy) +
                             QStringLiteral("\r\n") +
                             QString::fromLatin1(ConvTexts::kConvertQuestion);
    if (MessageBox(question, Msg::kYesNoCancelQuestion) != Msg::Yes) {
        return std::nullopt;
    }
    std::optional<QString> target;
    {
        QuietErrors quiet;
        FileDialogRequest request;
        request.kind = FileDialogRequest::Kind::Save;
        request.title = QString::fromLatin1(ConvTexts::kNewNameTitle);
        request.initialFolder = FolderOf(chosen);
        request.defaultExtension = QStringLiteral("ats");
        request.filter =
            QStringLiteral("Velmaris Internet Connection Files (*.ats)|*.ats|All Files (*.*)|*.*");
        request.filterIndex = 1;
        // Convert asks about overwriting itself.
        request.confirmOverwrite = false;
        quiet.step([&] { target = ChooseFile(request); });
    }
    if (!target) {
        return std::nullopt;
    }
    const bool converted = converter.Convert(chosen, *target);
    const ConversionReport &report = converter.report();
    QStringList unreadable;
    for (const SettingOutcome &s : report.settings) {
        if (s.status == SettingOutcome::Status::Unreadable) {
            unreadable << QStringLiteral("%1 (%2)").arg(Ansi::toUnicode(s.name), s.reason);
        }
    }
    {
        QuietErrors quiet;
        quiet.step([&] { DebugLog("Conversion " + Ansi::fromUnicode(report.summary())); });
        if (!unreadable.isEmpty()) {
            quiet.step([&] {
                DebugLog("Conversion unreadable: " +
                         Ansi::fromUnicode(unreadable.join(QStringLiteral("; "))));
            });
        }
    }
    if (!converted) {
        MessageBox(QString::fromLatin1(ConvTexts::kUnableToConvert), Msg::kErrorNotice);
        return std::nullopt;
    }
    // What did not convert is lost from the new file unless the user hears of it.
    if (!unreadable.isEmpty()) {
        MessageBox(QStringLiteral("%1 of %2 could not be converted and keep the template's "
                                  "value.\r\nThe lines \"Conversion\" at the end of %3 name "
                                  "them.")
                       .arg(unreadable.size() == 1
                                ? QStringLiteral("1 setting")
                                : QStringLiteral("%1 settings").arg(unreadable.size()),
                            chosen, debugLogPath()),
                   Msg::kWarningNotice);
    }
    return target;
}

} // namespace zelp
