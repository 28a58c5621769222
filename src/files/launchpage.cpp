#include "launchpage.h"

#include "pagetext.h"
#include "pageurl.h"
#include "resources.h"

#include "app/profile.h"
#include "common/ansi.h"
#include "common/errhndlr.h"
#include "common/fileutil.h"
#include "common/msgbox.h"
#include "common/msgboxstyle.h"

#include <QFileInfo>

#include <string>

namespace zelp {

namespace {

constexpr char kSafeClientKey[] = "VelmarisInternetClient2.ZLInetSafeCli\\Clsid";
constexpr char kUnsafeClientKey[] = "VelmarisInternetClient2.ZLInetCli\\Clsid";
constexpr char kGuiServerKey[] = "ZlGUIServer.ZlGUISvr\\Clsid";

void warn(const QString &text) {
    MessageBox(text, Msg::kErrorNotice);
}

QString readClassesRoot(const Registry &registry, const std::string &key) {
    return Ansi::toUnicode(ReadRegistryValue(registry, kHiveClassesRoot, key, ""));
}

QString installedVersion(const Registry &registry, const QString &classId,
                         const QString &fallback) {
    const QString version =
        readClassesRoot(registry, "CLSID\\{" + Ansi::fromUnicode(classId) + "}\\InstalledVersion");
    return version.isEmpty() ? fallback : version;
}

// Registered values go into attributes and script strings as they stand; one that could end
// them would put foreign markup into a published page.
bool fitsIntoPage(const QString &value) {
    for (const QChar c : value) {
        if (c.unicode() < 0x20 || QStringLiteral("\"'<>&\\").contains(c)) {
            return false;
        }
    }
    return true;
}

QString unfitValue(const QString &key) {
    return QStringLiteral("Unable to generate HTML file - the registered value of %1 cannot "
                          "be put into a web page!")
        .arg(key);
}

// The class identifier and installed version of one registered class; false (after the
// message) when it cannot be used.
bool lookUpClass(const Registry &registry, const char *key, const char *missingText,
                 const QString &defaultVersion, QString &classId, QString &version) {
    classId = readClassesRoot(registry, key);
    if (classId.isEmpty()) {
        warn(QString::fromLatin1(missingText));
        return false;
    }
    classId = stripBraces(classId);
    if (!fitsIntoPage(classId)) {
        warn(unfitValue(QString::fromLatin1(key)));
        return false;
    }
    version = installedVersion(registry, classId, defaultVersion);
    if (!fitsIntoPage(version)) {
        warn(unfitValue(QStringLiteral("CLSID\\{%1}\\InstalledVersion").arg(classId)));
        return false;
    }
    return true;
}

// Writing the page over its own connection file would destroy the connection.
bool sameFile(const QString &a, const QString &b) {
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    if (fa.exists() && fb.exists()) {
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    }
#ifdef _WIN32
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    return fa.absoluteFilePath().compare(fb.absoluteFilePath(), cs) == 0;
}

bool generate(const QByteArray &templateBytes, LaunchPageState &page, const QString &connectionFile,
              bool safeClient, const Registry &registry) {
    QString text = Ansi::toUnicode(templateBytes);
    if (text.isEmpty()) {
        warn(QString::fromLatin1(LaunchPageText::kMissingTemplate));
        return false;
    }
    ReplacePlaceholder(text, u"SAFETY", safeClient ? u"SAFE" : u"UNSAFE");

    QString clientClass;
    QString clientVersion;
    if (!lookUpClass(registry, safeClient ? kSafeClientKey : kUnsafeClientKey,
                     LaunchPageText::kNoClientClass, QStringLiteral("2,0,0,0"), clientClass,
                     clientVersion)) {
        return false;
    }
    ReplacePlaceholder(text, u"ZELP_GUID", clientClass);
    ReplacePlaceholder(text, u"ZELP_VERS", clientVersion);
    ReplacePlaceholder(text, u"ZELP_HTM", pageUrlOf(FileNameOf(page.fileName, true)));
    ReplacePlaceholder(text, u"ZELP_VBD", pageUrlOf(FileNameOf(connectionFile, true)));

    ConditionalBlock(text, u"GUI", page.guiSupport);
    if (page.guiSupport) {
        QString guiClass;
        QString guiVersion;
        if (!lookUpClass(registry, kGuiServerKey, LaunchPageText::kNoGuiClass,
                         QStringLiteral("1,0,0,0"), guiClass, guiVersion)) {
            return false;
        }
        ReplacePlaceholder(text, u"GUI_GUID", guiClass);
        ReplacePlaceholder(text, u"GUI_VERS", guiVersion);
    }

    if (sameFile(page.fileName, connectionFile)) {
        warn(QString::fromLatin1(LaunchPageText::kPageIsConnection));
        return false;
    }
    QString why;
    if (!WriteWholeFile(page.fileName, Ansi::bytesFromUnicode(text), &why)) {
        warn(QString::fromLatin1(LaunchPageText::kWriteFailed) + page.fileName +
             QStringLiteral(":\r\n") + why);
        page.fileName.clear();
        return false;
    }
    return true;
}

} // namespace

QString stripBraces(const QString &classId) {
    QString id = classId;
    if (id.startsWith(QLatin1Char('{'))) {
        id.remove(0, 1);
    }
    if (id.endsWith(QLatin1Char('}'))) {
        id.chop(1);
    }
    return id;
}

bool GenerateLaunchPageFrom(const QByteArray &templateBytes, LaunchPageState &page,
                            const QString &connectionFile, bool safeClient,
                            const Registry &registry) {
    QuietErrors quiet;
    try {
        return generate(templateBytes, page, connectionFile, safeClient, registry);
    } catch (...) {
        warn(QString::fromStdString(errorFrom(std::current_exception()).description));
        return false;
    }
}

bool GenerateLaunchPage(LaunchPageState &page, const QString &connectionFile, bool safeClient,
                        const Registry &registry) {
    const QByteArray bytes =
        templateResource(page.intranet ? kTemplateIntranetPage : kTemplateInternetPage);
    return GenerateLaunchPageFrom(bytes, page, connectionFile, safeClient, registry);
}

bool GenerateLaunchPage(LaunchPageState &page, const QString &connectionFile, bool safeClient) {
    return GenerateLaunchPage(page, connectionFile, safeClient, systemRegistry());
}

} // namespace zelp
