#include "serial/open_failure.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

namespace vela {

namespace {

// The group that may open the device ("dialout" on Debian, "uucp" elsewhere).
QString owningGroup(const QString& device) {
    struct stat file {};
    if (::stat(QFile::encodeName(device).constData(), &file) != 0) return QStringLiteral("dialout");
    const group* entry = ::getgrgid(file.st_gid);
    return entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(file.st_gid);
}

QString loginName() {
    const passwd* entry = ::getpwuid(::geteuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : qEnvironmentVariable("USER");
}

}  // namespace

QString openFailureMessage(int commPort, const SerialPort::OpenFailure& failure) {
    const QString failed = QStringLiteral("Com %1 açılamadı: %2").arg(commPort).arg(failure.device);
    switch (failure.systemError) {
    case 0:
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
        return failed + QStringLiteral(" bu bilgisayarda yok.\n"
                                       "Seri port adaptörünü takın ya da başka bir Com Port seçin.");
    case EACCES:
    case EPERM: {
        const QString group = owningGroup(failure.device);
        return failed + QStringLiteral(" aygıtını açma izniniz yok.\n"
                                       "Aygıt \"%1\" grubuna ait. Kullanıcınızı bu gruba ekleyin:\n"
                                       "sudo usermod -aG %1 %2\n"
                                       "Ardından oturumu kapatıp yeniden açın.")
                            .arg(group, loginName());
    }
    case ENOTTY:
        return failed + QStringLiteral(" bir seri port değil.\nBaşka bir Com Port seçin.");
    default:
        return failed + QStringLiteral("\nSistemin bildirdiği neden: %1").arg(QString::fromLocal8Bit(std::strerror(failure.systemError)));
    }
}

}  // namespace vela
