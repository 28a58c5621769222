#include "conv97.h"

#include "directhost.h"
#include "legacymap.h"

#include "client/core/clientdocument.h"
#include "common/ansi.h"
#include "common/errhndlr.h"
#include "common/fileutil.h"
#include "common/msgbox.h"
#include "common/msgboxstyle.h"
#include "common/replacebatch.h"
#include "common/strfunc.h"
#include "files/resources.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cctype>

namespace zelp {

namespace {

// The same file, whatever the spelling of its path; paths that differ only in letter case
// name different files here.
bool sameFile(const QString &a, const QString &b) {
    if (QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath()) {
        return true;
    }
    const FileStamp sa = FileStamp::of(a), sb = FileStamp::of(b);
    return sa.exists && sb.exists && sa.device == sb.device && sa.inode == sb.inode;
}

bool containsNoCase(const std::string &text, std::string_view what) {
    const auto it =
        std::search(text.begin(), text.end(), what.begin(), what.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) ==
                   std::tolower(static_cast<unsigned char>(y));
        });
    return it != text.end();
}

} // namespace

QByteArray ClassIdToBytes(const QString &text) {
    std::string t = text.toStdString();
    if (!t.empty() && t.front() == '{') {
        t.erase(0, 1);
    }
    if (!t.empty() && t.back() == '}') {
        t.pop_back();
    }
    const size_t sizes[5] = {8, 4, 4, 4, 12};
    std::string groups[5];
    for (int i = 0; i < 5; ++i) {
        groups[i] = Strfunc::Field(t, "-", i + 1);
        if (groups[i].size() != sizes[i] ||
            !std::all_of(groups[i].begin(), groups[i].end(),
                         [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); })) {
            return {};
        }
    }
    QByteArray bytes;
    const auto pair = [&](const std::string &g, size_t at) {
        bytes.append(char(std::stoi(g.substr(at, 2), nullptr, 16)));
    };
    for (int i = 0; i < 3; ++i) {
        for (size_t at = groups[i].size(); at > 0; at -= 2) {
            pair(groups[i], at - 2);
        }
    }
    for (int i = 3; i < 5; ++i) {
        for (size_t at = 0; at < groups[i].size(); at += 2) {
            pair(groups[i], at);
        }
    }
    return bytes;
}

std::string disconnectedRoutine() {
    static const char *const kReconnectLine =
        "\tActiveSession.Emulate \"to reconnect, right-click here, then select Reset -> "
        "Connection\"";
    static const char *const lines[] = {
        "' The Disconnected routine is called when the connection is broken,",
        "' either from the host, or due to network error. Use this routine",
        "' to allow the user to reconnect or take other action such as",
        "' closing the browser window.",
        "Sub Disconnected()",
        "\t' The following 3 lines display a message and allow the user to reconnect",
        "\tActiveSession.Reset 1 'clear screen",
        "\tActiveSession.Emulate \"Disconnected...\" & Chr$(13) & Chr$(10) & Chr$(10)",
        kReconnectLine,
        "\t' The following line closes the browser window",
        "\t' Window.Quit",
        "End Sub",
    };
    std::string text;
    for (const char *line : lines) {
        text += "\r\n";
        text += line;
    }
    return text + "\r\n";
}

Conv97::Conv97(BrowserFactory browsers, TimerFactory timers)
    : browsers_(std::move(browsers)), timers_(std::move(timers)) {
    if (!browsers_) {
        browsers_ = [] { return std::make_unique<DirectHost>(); };
    }
    if (!timers_) {
        timers_ = [] { return std::make_unique<QtOneShotTimer>(); };
    }
}

Conv97::~Conv97() = default;

namespace {

// Which of two class identifiers a file holds anywhere in its bytes: read a slice at a time,
// so that a huge file costs no more memory than a small one.
struct ClassIdScan {
    bool first = false;
    bool second = false;
};

ClassIdScan scanFor(const QString &fileName, const QByteArray &first, const QByteArray &second) {
    ClassIdScan found;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        return found;
    }
    constexpr qint64 kSlice = 1 << 20;
    const qsizetype overlap = std::max(first.size(), second.size()) - 1;
    QByteArray window;
    while (!found.first) {
        const QByteArray slice = file.read(kSlice);
        if (slice.isEmpty()) {
            break;
        }
        window = window.right(overlap) + slice;
        found.first = window.contains(first);
        found.second = found.second || window.contains(second);
    }
    return found;
}

} // namespace

bool Conv97::Test(const QString &fileName) {
    safe97_ = false;
    unsafe97_ = false;
    // Decided before opening: a pipe or a device would block the read, a folder has no bytes.
    const QFileInfo info(fileName);
    if (!info.isFile() || info.size() < 16) {
        return false;
    }
    static const QByteArray unsafeBytes = ClassIdToBytes(QString::fromLatin1(kUnsafe97ClassId));
    static const QByteArray safeBytes = ClassIdToBytes(QString::fromLatin1(kSafe97ClassId));
    const ClassIdScan found = scanFor(fileName, unsafeBytes, safeBytes);
    unsafe97_ = found.first;
    safe97_ = !unsafe97_ && found.second;
    testedName_ = fileName;
    return unsafe97_ || safe97_;
}

std::string Conv97::PropertyNameList() {
    return LegacyMap::PropertyNameList();
}

void Conv97::CopyLegacyProperties(const LegacyDocumentReader &reader) {
    bag_ = std::make_unique<PropertyBag>();
    report_.settings.clear();
    LegacyMap::CopyLegacyProperties(reader, *bag_, &report_.settings);
}

void Conv97::Helper_Complete(bool status) {
    done_ = true;
    status_ = status;
    Q_EMIT helperDone();
}

int16_t Conv97::say(const QString &text, int16_t style) {
    report_.message = text;
    return MessageBox(text, style);
}

bool Conv97::fail(const QString &text) {
    say(text, Msg::kWarningNotice);
    report_.result = ConversionReport::Result::Failed;
    return false;
}

void Conv97::waitForHelper() {
    // The helper's time-out ends every wait; a helper that is not busy has nothing to end.
    if (done_ || !helper_ || !helper_->busy()) {
        return;
    }
    QEventLoop loop;
    connect(this, &Conv97::helperDone, &loop, &QEventLoop::quit);
    loop.exec();
}

void Conv97::unloadHelper() {
    helper_.reset();
}

void Conv97::fillDocument(QObject *hosted) {
    QuietErrors quiet;
    auto *doc = qobject_cast<ClientDocument *>(hosted);
    std::string script;
    quiet.step([&] {
        const PropertyValue stored = bag_->ReadProperty("Script", std::string());
        script =
            PositionXor(QByteArray::fromStdString(std::get<std::string>(stored))).toStdString();
        if (!script.empty()) {
            script = script.substr(0, script.find('\0'));
            if (!containsNoCase(script, "Sub Disconnected()")) {
                script += disconnectedRoutine();
            }
        }
    });
    quiet.step([&] { doc->setScript(script); });
    quiet.step([&] {
        doc->setMousePatterns(
            std::get<std::string>(bag_->ReadProperty("MousePatterns", std::string())));
    });
    quiet.step([&] { doc->Settings()->ReadProperties(*bag_); });
    bag_.reset();
    quiet.step([&] { doc->PropChanged(); });
}

bool Conv97::checkSource(const QString &oldFileName) {
    if (oldFileName != testedName_ && !Test(oldFileName)) {
        return fail(QString::fromLatin1(ConvTexts::kUnableToOpen) + oldFileName);
    }
    if (!safe97_ && !unsafe97_) {
        return fail(QString::fromLatin1(ConvTexts::kNoGuid) + oldFileName);
    }
    report_.client = unsafe97_ ? QStringLiteral("unsafe") : QStringLiteral("safe");
    return true;
}

bool Conv97::confirmTarget(const QString &oldFileName, const QString &newFileName) {
    if (sameFile(newFileName, oldFileName)) {
        return say(QString::fromLatin1(ConvTexts::kSameName), Msg::kYesNoQuestion) == Msg::Yes;
    }
    if (FileExists(newFileName) && IsReadOnly(newFileName)) {
        if (say(QStringLiteral("File %1 is a read-only file.\r\nDo you want to continue anyway?")
                    .arg(newFileName),
                Msg::kYesNoQuestion) != Msg::Yes) {
            return false;
        }
        MakeWritable(newFileName);
        return true;
    }
    if (FileExists(newFileName)) {
        return say(QStringLiteral(
                       "File %1 already exists. Are you sure you want to overwrite this file?")
                       .arg(newFileName),
                   Msg::kYesNoQuestion) == Msg::Yes;
    }
    return true;
}

bool Conv97::readLegacy(const QString &oldFileName) {
    LegacyDocumentReader reader;
    const QString classId = QString::fromLatin1(safe97_ ? kSafe97ClassId : kUnsafe97ClassId);
    if (!reader.LoadDocument(oldFileName, classId, PropertyNameList())) {
        fail(QString::fromLatin1(ConvTexts::kFailed97) + oldFileName);
        report_.message += QStringLiteral(" (%1)").arg(reader.lastError());
        return false;
    }
    CopyLegacyProperties(reader);
    return true;
}

QString Conv97::writeWorkFile(const QString &newFileName) {
    const QString work =
        workFiles_ ? workFiles_(FolderOf(newFileName)) : NewWorkFileName(FolderOf(newFileName));
    // Kept once per process: a batch would otherwise unpack the resource for every file.
    static const QByteArray unsafeTemplate = templateResource(kTemplateUnsafeConnection);
    static const QByteArray safeTemplate = templateResource(kTemplateSafeConnection);
    const QByteArray &bytes = unsafe97_ ? unsafeTemplate : safeTemplate;
    QString why;
    if (work.isEmpty() || !WriteWholeFile(work, bytes, &why)) {
        if (!work.isEmpty()) {
            QFile::remove(work);
        }
        fail(QString::fromLatin1(ConvTexts::kUnableToWriteTemp) + work);
        report_.message += why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why);
        return {};
    }
    return work;
}

bool Conv97::abandon(const QString &text, const QString &why, const QString &work) {
    fail(text);
    if (!why.isEmpty()) {
        report_.message += QStringLiteral(" (%1)").arg(why);
    }
    QuietErrors quiet;
    quiet.step([&] { unloadHelper(); });
    quiet.step([&] { QFile::remove(work); });
    return false;
}

bool Conv97::convertInHelper(const QString &work, const QString &newFileName) {
    QString why;
    try {
        helper_ = std::make_unique<FrmHelper>(browsers_(), timers_());
        connect(helper_.get(), &FrmHelper::Complete, this, &Conv97::Helper_Complete);
        done_ = false;
        helper_->Navigate(work);
        waitForHelper();
        QObject *hosted = helper_->Document();
        // A file the helper could not take as a client document is no load either.
        if (!status_ || !qobject_cast<ClientDocument *>(hosted)) {
            return abandon(QString::fromLatin1(ConvTexts::kFailed2000), why, work);
        }
        fillDocument(hosted);

        MakeWritable(work);
        const FileStamp before = FileStamp::of(work);
        done_ = false;
        helper_->Save();
        waitForHelper();
        const FileStamp after = FileStamp::of(work);
        // Reporting success with nothing at the target would lose the conversion silently.
        // A save writes a new file and renames it over the old one, an in-place write changes its
        // time stamp: either way the stamp differs.
        if (!after.exists || after == before) {
            why = helper_->browser().lastError();
            return abandon(QString::fromLatin1(ConvTexts::kNotSaved) + work, why, work);
        }
        // MoveFileOver replaces the target only once the converted file is complete.
        if (!MoveFileOver(work, newFileName, &why)) {
            return abandon(QString::fromLatin1(ConvTexts::kUnableToMove) + newFileName, why, work);
        }
        unloadHelper();
    } catch (...) {
        const ErrorInfo error = errorFrom(std::current_exception());
        return abandon(QString::fromLatin1(ConvTexts::kConversionFailed) + QStringLiteral("\r\n") +
                           QString::fromStdString(error.description),
                       why, work);
    }
    return true;
}

bool Conv97::Convert(const QString &oldFileName, const QString &newFileName) {
    report_ = {};
    report_.source = oldFileName;
    report_.target = newFileName;
    if (!checkSource(oldFileName)) {
        return false;
    }
    if (!confirmTarget(oldFileName, newFileName)) {
        report_.result = ConversionReport::Result::Skipped;
        return false;
    }
    if (!readLegacy(oldFileName)) {
        return false;
    }
    const QString work = writeWorkFile(newFileName);
    if (work.isEmpty() || !convertInHelper(work, newFileName)) {
        return false;
    }
    report_.result = ConversionReport::Result::Converted;
    report_.message.clear();
    return true;
}

} // namespace zelp
