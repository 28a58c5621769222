#pragma once

#include "app/regfile.h"
#include "app/startup.h"

#include <QByteArray>

namespace zelp::test {

// A platform whose folders and screen a test sets.
class FakePlatform : public StartupPlatform {
public:
    QString current = QStringLiteral("/work/here");
    QString executable = QStringLiteral("/opt/zelp/bin");
    std::optional<QString> personal = QStringLiteral("/home/user/Documents");
    QSize screen{1024, 768};

    QString currentFolder() const override { return current; }
    QString executableFolder() const override { return executable; }
    std::optional<QString> personalFolder() const override { return personal; }
    QSize screenClientArea() const override { return screen; }
};

// A REGEDIT4 export holding one HomePath value (omitted when value is null).
inline RegFileRegistry homePathRegistry(const QByteArray &value) {
    RegFileRegistry registry;
    QByteArray text = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Mirel\\ZELP2K\\HomePath]\r\n";
    if (!value.isNull()) {
        text += "@=\"" + value + "\"\r\n";
    }
    registry.merge(text);
    return registry;
}

} // namespace zelp::test
