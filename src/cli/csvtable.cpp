#include "csvtable.h"

#include <QStringDecoder>

#include <csv.h>

#include <algorithm>
#include <memory>

namespace zelp::cli::CsvTable {

namespace {

struct Reader {
    std::vector<CsvRow> rows;
    CsvRow current;
    bool inRow = false;
    int number = 1;
    int lastTerminator = 0;
    QString error;
};

QString decoded(const char *data, size_t size, Reader &reader) {
    // A cell may begin with U+FEFF; only the sheet's own mark is dropped, before reading.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(QByteArrayView(data, qsizetype(size)));
    if (utf8.hasError() && reader.error.isEmpty()) {
        reader.error = QStringLiteral("row %1: the sheet is no UTF-8 text").arg(reader.number);
    }
    return text;
}

void onCell(void *data, size_t size, void *context) {
    auto &reader = *static_cast<Reader *>(context);
    reader.inRow = true;
    if (!data) {
        reader.current.cells.emplace_back(std::nullopt);
    } else {
        reader.current.cells.emplace_back(decoded(static_cast<const char *>(data), size, reader));
    }
}

// Called at the end of each row and, since every line end is reported, for each line end
// outside a row: a CR LF pair ends one row, any other line end without cells is a blank row.
void onRowEnd(int terminator, void *context) {
    auto &reader = *static_cast<Reader *>(context);
    if (reader.inRow) {
        reader.current.number = reader.number++;
        reader.rows.push_back(std::move(reader.current));
        reader.current = {};
        reader.inRow = false;
        reader.lastTerminator = terminator;
        return;
    }
    if (reader.lastTerminator == CSV_CR && terminator == CSV_LF) {
        reader.lastTerminator = 0;
        return;
    }
    if (terminator == CSV_CR || terminator == CSV_LF) {
        ++reader.number;
    }
    reader.lastTerminator = terminator;
}

// Blanks around an unquoted cell are part of it, as RFC 4180 has it.
int noSpace(unsigned char) {
    return 0;
}

struct ParserFree {
    void operator()(csv_parser *p) const {
        csv_free(p);
        delete p;
    }
};

// Where the text starts after its leading single quotes; that it starts a formula there.
qsizetype afterQuotes(const QString &text) {
    qsizetype at = 0;
    while (at < text.size() && text[at] == u'\'') {
        ++at;
    }
    return at;
}

bool startsFormula(const QString &text, qsizetype at) {
    return at < text.size() && QStringView(u"=+-@\t\r").contains(text[at]);
}

bool isNegativeNumber(const QString &text) {
    return text.size() > 1 && text[0] == u'-' && text[1].isDigit() &&
           std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.isDigit() || QStringView(u".eE+-").contains(c); });
}

} // namespace

QString guard(const QString &text) {
    const qsizetype at = afterQuotes(text);
    const bool guarded = startsFormula(text, at) && (at > 0 || !isNegativeNumber(text));
    return guarded ? u'\'' + text : text;
}

QString unguard(const QString &text) {
    const qsizetype at = afterQuotes(text);
    return at > 0 && startsFormula(text, at) ? text.mid(1) : text;
}

std::optional<std::vector<CsvRow>> read(QByteArrayView bytes, QString *error) {
    if (bytes.size() > kMaxBytes) {
        *error =
            QStringLiteral("row 1: the sheet is larger than %1 MiB").arg(kMaxBytes / (1024 * 1024));
        return std::nullopt;
    }
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes = bytes.sliced(3);
    }
    std::unique_ptr<csv_parser, ParserFree> parser(new csv_parser);
    if (csv_init(parser.get(), CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL | CSV_EMPTY_IS_NULL) !=
        0) {
        delete parser.release();
        *error = QStringLiteral("row 1: unable to start the CSV reader");
        return std::nullopt;
    }
    csv_set_space_func(parser.get(), noSpace);
    Reader reader;
    const size_t parsed =
        csv_parse(parser.get(), bytes.data(), size_t(bytes.size()), onCell, onRowEnd, &reader);
    if (parsed != size_t(bytes.size()) || csv_fini(parser.get(), onCell, onRowEnd, &reader) != 0 ||
        csv_error(parser.get()) != CSV_SUCCESS) {
        const int code = csv_error(parser.get());
        *error = QStringLiteral("row %1: %2")
                     .arg(reader.number)
                     .arg(code == CSV_EPARSE ? QStringLiteral("a quote out of place, or a "
                                                              "quoted cell without its end")
                                             : QString::fromLatin1(csv_strerror(code)));
        return std::nullopt;
    }
    if (!reader.error.isEmpty()) {
        *error = reader.error;
        return std::nullopt;
    }
    return std::move(reader.rows);
}

QByteArray row(const std::vector<CsvCell> &cells) {
    QByteArray out;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        if (!cells[i]) {
            continue;
        }
        const QByteArray text = cells[i]->toUtf8();
        // A cell that starts with a byte order mark is quoted, so that no reader takes the
        // mark for the sheet's own.
        const bool plain = !text.isEmpty() && !text.contains('"') && !text.contains(',') &&
                           !text.contains('\r') && !text.contains('\n') &&
                           !text.startsWith("\xEF\xBB\xBF");
        if (plain) {
            out += text;
            continue;
        }
        const size_t size = csv_write(nullptr, 0, text.constData(), size_t(text.size()));
        const qsizetype start = out.size();
        out.resize(start + qsizetype(size));
        csv_write(out.data() + start, size, text.constData(), size_t(text.size()));
    }
    out += "\r\n";
    return out;
}

} // namespace zelp::cli::CsvTable
