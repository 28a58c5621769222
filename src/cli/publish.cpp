#include "publish.h"

#include "batch.h"
#include "commands.h"
#include "filelist.h"
#include "output.h"

#include "client/core/clientclasses.h"
#include "client/core/clientdocument.h"
#include "common/ansi.h"
#include "common/fileutil.h"
#include "common/msgbox.h"
#include "common/msgboxstyle.h"
#include "files/htmlfilename.h"
#include "files/launchpage.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace zelp::cli {

namespace {

struct PublishArgs {
    FileList list;
    std::optional<QString> html;
    std::optional<QString> index;
    bool intranet = false;
    bool gui = false;
};

std::optional<PublishArgs> parse(const QStringList &args) {
    QCommandLineParser parser;
    if (!parseArguments(parser, "publish", args)) {
        return std::nullopt;
    }
    PublishArgs out;
    const QStringList files = parser.positionalArguments();
    const QStringList pages = parser.values(QStringLiteral("html"));
    const QStringList indexes = parser.values(QStringLiteral("index"));
    out.list = collectFiles(files, parser.isSet(QStringLiteral("recursive")));
    const bool oneFile = files.size() == 1 && !out.list.many;
    if (files.isEmpty() || files.contains(QString()) || pages.size() > 1 ||
        (pages.size() == 1 && (pages.first().isEmpty() || !oneFile)) || indexes.size() > 1 ||
        (indexes.size() == 1 && indexes.first().isEmpty())) {
        usageError("publish", QStringLiteral("FILE|FOLDER..., at most one PAGE (for one FILE) "
                                             "and at most one index PAGE expected"));
        return std::nullopt;
    }
    if (!pages.isEmpty()) {
        out.html = pages.first();
    }
    if (!indexes.isEmpty()) {
        out.index = QFileInfo(indexes.first()).absoluteFilePath();
    }
    out.intranet = parser.isSet(QStringLiteral("intranet"));
    out.gui = parser.isSet(QStringLiteral("gui"));
    return out;
}

// Keeps the generator's message for the line of its file instead of printing it alone.
class MessageCatcher : public MessageBoxService {
public:
    MessageCatcher() : previous_(messageBoxService()) { setMessageBoxService(this); }
    ~MessageCatcher() override { setMessageBoxService(previous_); }
    MessageCatcher(const MessageCatcher &) = delete;
    MessageCatcher &operator=(const MessageCatcher &) = delete;

    int16_t showMessage(const QString &text, int16_t) override {
        text_ = text;
        text_.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\n', u' ');
        return Msg::OK;
    }
    QString take() { return std::exchange(text_, QString()); }

private:
    MessageBoxService *previous_;
    QString text_;
};

// One line of the index.
struct Published {
    QString title;
    QString host;
    bool safe = false;
    QString link; // relative, percent-encoded
    QString linkText;
};

// The page's path from the index's folder, each part percent-encoded as UTF-8, so that the
// link works from a file and from any web server; nullopt when it leaves that folder.
std::optional<std::pair<QString, QString>> relativeLink(const QString &indexPath,
                                                        const QString &page) {
    const QString relative = QFileInfo(indexPath).absoluteDir().relativeFilePath(page);
    if (relative.startsWith(QLatin1String("../")) || QDir::isAbsolutePath(relative)) {
        return std::nullopt;
    }
    QStringList parts;
    for (const QString &part : relative.split(u'/')) {
        parts << QString::fromLatin1(QUrl::toPercentEncoding(part));
    }
    return std::pair(parts.join(u'/'), relative);
}

QString indexPage(const std::vector<Published> &published) {
    QString rows;
    for (const Published &p : published) {
        rows += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td><a href=\"%4\">%5</a>"
                               "</td></tr>\n")
                    .arg(p.title.toHtmlEscaped(), p.host.toHtmlEscaped(), Output::kindName(p.safe),
                         p.link.toHtmlEscaped(), p.linkText.toHtmlEscaped());
    }
    return QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                          "<title>Connections</title>\n</head>\n<body>\n<h1>Connections</h1>\n"
                          "<table>\n<tr><th>Session</th><th>Host</th><th>Client</th>"
                          "<th>Launch page</th></tr>\n%1</table>\n</body>\n</html>\n")
        .arg(rows);
}

QString settingText(const ClientDocument &doc, const char *name) {
    return Ansi::toUnicode(formatValue(*doc.Settings()->value(name))).trimmed();
}

QString pageOf(const PublishArgs &a, const QString &path) {
    return a.html ? QFileInfo(*a.html).absoluteFilePath() : pageFileBeside(path);
}

// The index must not take the place of a connection or of a page written in this run; why it
// would, or empty.
QString indexClash(const PublishArgs &a) {
    for (const QString &file : a.list.files) {
        const QString path = QFileInfo(file).absoluteFilePath();
        if (*a.index == path || *a.index == pageOf(a, path)) {
            return QStringLiteral("%1: the index would replace %2")
                .arg(*a.index, *a.index == path ? QStringLiteral("a connection file")
                                                : QStringLiteral("a launch page"));
        }
    }
    return {};
}

// Whether the file is a safe client's connection; nullopt once it has failed as none.
std::optional<bool> connectionKind(Batch &batch, const QString &file, const QString &path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        batch.failed(file, QStringLiteral("no such file"));
        return std::nullopt;
    }
    if (!info.isFile()) {
        batch.failed(file, QStringLiteral("not a file"));
        return std::nullopt;
    }
    const std::optional<ClassIdBytes> classId = CompoundFile::readRootClassId(path);
    if (!classId) {
        batch.failed(file, QStringLiteral("not a connection file (no compound file)"));
        return std::nullopt;
    }
    const std::optional<bool> safe = ClientClasses::safeModeOf(*classId);
    if (!safe) {
        batch.failed(file, QStringLiteral("not a Velmaris 2000 connection file (root class %1)")
                               .arg(classIdText(*classId)));
    }
    return safe;
}

// The run's pages, and the lines of its index.
struct Publication {
    qsizetype written = 0;
    std::vector<Published> published;
};

void addToIndex(Publication &out, Batch &batch, const PublishArgs &a, const QString &file,
                const ClientDocument &doc, const QString &page, bool safe) {
    const auto link = relativeLink(*a.index, page);
    if (!link) {
        batch.failed(file, QStringLiteral("its page lies outside the folder of the index, so the "
                                          "index does not list it"));
        return;
    }
    const QString host = settingText(doc, "sHostName");
    const QString port = settingText(doc, "sHostPort");
    out.published.push_back({settingText(doc, "sSessionTitle"),
                             port.isEmpty() ? host : host + u':' + port, safe, link->first,
                             link->second});
}

void publishOne(Publication &out, Batch &batch, const PublishArgs &a, const QString &file) {
    batch.step();
    const QString path = QFileInfo(file).absoluteFilePath();
    const std::optional<bool> safe = connectionKind(batch, file, path);
    if (!safe) {
        return;
    }
    std::unique_ptr<ClientDocument> doc;
    if (a.index) {
        QString error;
        doc = ClientDocument::load(path, &error);
        if (!doc) {
            batch.failed(file, QStringLiteral("no connection file: %1").arg(error));
            return;
        }
    }
    LaunchPageState page;
    page.fileName = pageOf(a, path);
    page.intranet = a.intranet;
    page.guiSupport = a.gui;
    MessageCatcher messages;
    if (!GenerateLaunchPage(page, path, *safe)) {
        batch.failed(file, messages.take());
        return;
    }
    ++out.written;
    Output::print(Output::terminalSafe(page.fileName) + u'\n');
    if (doc) {
        addToIndex(out, batch, a, file, *doc, page.fileName, *safe);
    }
}

void writeIndex(Batch &batch, const QString &index, const std::vector<Published> &published) {
    batch.step();
    QString why;
    if (WriteWholeFile(index, indexPage(published).toUtf8(), &why)) {
        Output::print(Output::terminalSafe(index) + u'\n');
    } else {
        batch.failed(index, QStringLiteral("the index was not written: %1").arg(why));
    }
}

} // namespace

int runPublish(const QStringList &args) {
    const std::optional<PublishArgs> a = parse(args);
    if (!a) {
        return kUsage;
    }
    if (a->index) {
        if (const QString clash = indexClash(*a); !clash.isEmpty()) {
            return fail(clash);
        }
    }
    Batch batch(a->list, a->index ? 1 : 0);
    Publication out;
    for (const QString &file : a->list.files) {
        publishOne(out, batch, *a, file);
    }
    if (a->index) {
        writeIndex(batch, *a->index, out.published);
    }
    return batch.finish(
        QStringLiteral("%1 of %2 pages written").arg(out.written).arg(a->list.files.size()));
}

} // namespace zelp::cli
