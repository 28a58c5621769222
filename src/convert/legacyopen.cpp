#include "legacyopen.h"

#include "common/ansi.h"
#include "common/debuglog.h"
#include "common/errhndlr.h"
#include "common/filedialog.h"
#include "common/fileutil.h"
#include "common/msgbox.h"

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
    if (MessageBox(question, 35) != 6) {
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
    {
        QuietErrors quiet;
        quiet.step(
            [&] { DebugLog("Conversion " + Ansi::fromUnicode(converter.report().summary())); });
    }
    if (!converted) {
        MessageBox(QString::fromLatin1(ConvTexts::kUnableToConvert), 49);
        return std::nullopt;
    }
    return target;
}

} // namespace zelp
