#pragma once

#include <QByteArray>

#include <string>

namespace zelp {

// The program's built-in templates by resource number.
inline constexpr int kTemplateUnsafeConnection = 301;
inline constexpr int kTemplateSafeConnection = 302;
inline constexpr int kTemplateInternetPage = 303;
inline constexpr int kTemplateIntranetPage = 304;

// The template's bytes as built in; empty for an unknown number.
QByteArray templateResource(int id);

// The script a new connection starts with (single-byte text, CR LF line ends).
std::string defaultScript();

} // namespace zelp
