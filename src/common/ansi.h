#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <string_view>

// The system's single-byte code page (Windows-1252) at the boundary to Qt's text.
namespace zelp::Ansi {

QString toUnicode(std::string_view bytes);
QString toUnicode(const QByteArray &bytes);
// Characters the code page lacks become "?", as the platform's narrow calls do.
std::string fromUnicode(const QString &text);
QByteArray bytesFromUnicode(const QString &text);

} // namespace zelp::Ansi
