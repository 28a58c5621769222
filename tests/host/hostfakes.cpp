#include "hostfakes.h"

#include "common/fileutil.h"
#include "files/resources.h"

namespace zelp::test {

void FakeBrowser::Navigate(const QString &url) {
    navigations << url;
}

QObject *FakeBrowser::Document() const {
    if (hosted) {
        return hosted.get();
    }
    return showsNonClient ? const_cast<QObject *>(&nonClient) : nullptr;
}

void FakeBrowser::arrive() {
    const QString url = navigations.last();
    if (hosted && hosted->Changed()) {
        hosted->save();
    }
    hosted.reset();
    showsNonClient = false;
    if (url == QLatin1String("about:blank")) {
        location.clear();
        return;
    }
    location = url;
    hosted = ClientDocument::load(url);
    showsNonClient = !hosted;
}

std::string FakeWindow::enabledButtons() const {
    static const char letters[] = "NOSCEgxd";
    std::string out;
    for (int i = 0; i < kCommandCount; ++i) {
        const auto it = buttons.find(kAllCommands[i]);
        out += (it != buttons.end() && it->second) ? letters[i] : '-';
    }
    return out;
}

QString writeTemplate(const QTemporaryDir &dir, const char *name, bool safe) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    WriteWholeFile(
        path, templateResource(safe ? kTemplateSafeConnection : kTemplateUnsafeConnection), true);
    return path;
}

} // namespace zelp::test
