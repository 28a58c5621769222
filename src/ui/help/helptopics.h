#pragma once

#include <QString>
#include <QUrl>

namespace zelp::Help {

// Every control, window and QAction carries its help context under this property (an int).
inline constexpr char kContextProperty[] = "helpContextId";

// 0 stands for "no context": the contents page.
inline constexpr int kContents = 0;

// Resource path of the topic of a context (":/help/301.html"), empty when there is none.
QString topicPath(int context);
QString contentsPath();
// The qrc: address QTextBrowser navigates to; the contents for a context without a topic.
QUrl topicUrl(int context);
QUrl contentsUrl();

} // namespace zelp::Help
