#pragma once

#include <QString>

namespace zelp {

// A bare file name as the relative URL that the launch page uses for it. The URL stands in
// an HTML attribute, in script strings and inside comments, so every character that could
// end one of them or change the URL's meaning is percent-encoded (as UTF-8): controls,
// quotes, "<", ">", "&", "\", "#", "?" and "%", and every character the page's single-byte
// code page cannot hold. Everything else stays as it is.
QString pageUrlOf(const QString &fileName);

} // namespace zelp
