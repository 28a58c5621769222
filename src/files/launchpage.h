#pragma once

#include "app/registry.h"

#include <QByteArray>
#include <QString>

namespace zelp {

// The launch page chosen for the open connection; kept between saves, reset by New and Open.
struct LaunchPageState {
    QString fileName;        // full path of the page; empty until chosen, and after a failed write
    bool intranet = false;   // the intranet page (packages beside it) instead of the Internet one
    bool guiSupport = false; // the page also installs the GUI server
};

// Messages of the generator, each shown with style 49.
namespace LaunchPageText {
inline constexpr char kMissingTemplate[] =
    "Unable to generate HTML file - missing template resource!";
inline constexpr char kNoClientClass[] = "Unable to generate HTML file - unable to find GUID!";
inline constexpr char kNoGuiClass[] = "Unable to generate HTML file - unable to find GUID (GUI)!";
inline constexpr char kWriteFailed[] = "Unable to write file ";
inline constexpr char kPageIsConnection[] =
    "Unable to generate HTML file - the HTML file name is that of the connection file!";
} // namespace LaunchPageText

// A class identifier without one leading "{" and one trailing "}", each dropped on its own.
QString stripBraces(const QString &classId);

// Writes the launch page for connectionFile from the intranet or the Internet template,
// with the class identifiers and versions registered for the client kind (and the GUI
// server when asked for). Failures show one message; a failed write also empties
// page.fileName. True when the page was written.
bool GenerateLaunchPage(LaunchPageState &page, const QString &connectionFile, bool safeClient,
                        const Registry &registry);
// The same with the process-wide registry.
bool GenerateLaunchPage(LaunchPageState &page, const QString &connectionFile, bool safeClient);
// The same from the given template bytes instead of the built-in template.
bool GenerateLaunchPageFrom(const QByteArray &templateBytes, LaunchPageState &page,
                            const QString &connectionFile, bool safeClient,
                            const Registry &registry);

} // namespace zelp
