#pragma once
// "Com n" as a technician's udev rule gives it: a fixed name that points at
// whichever device the adapter is now. A pulled device's name leads nowhere,
// so a port looking for it again cannot come upon another test's
// pseudo-terminal that happens to reuse the old number.
#include <stdio.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <string>

namespace vela::test {

class DeviceLink {
public:
    QByteArray path() const { return QFile::encodeName(dir_.filePath(QStringLiteral("com"))); }

    // Re-pointed in one step (rename), so the name is never missing or half made.
    bool pointAt(const std::string& target) {
        const QByteArray fresh = QFile::encodeName(dir_.filePath(QStringLiteral("com.new")));
        return ::symlink(target.c_str(), fresh.constData()) == 0 &&
               ::rename(fresh.constData(), path().constData()) == 0;
    }
    bool pointNowhere() { return pointAt(QFile::encodeName(dir_.filePath(QStringLiteral("unplugged"))).toStdString()); }

private:
    QTemporaryDir dir_;
};

}  // namespace vela::test
