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

const QString kAskAdministrator = QStringLiteral("Aygıta erişim vermesi için sistem yöneticinize danışın.");

QString loginName() {
    const passwd* entry = ::getpwuid(::geteuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : qEnvironmentVariable("USER");
}

// What lets this user open the device: joining its group, where that can
// work. A group without a name cannot be joined with usermod, joining a group
// without read and write permission gains nothing, and a device that cannot
// be examined gives no group to name.
QString permissionAdvice(const QString& device) {
    struct stat file {};
    if (::stat(QFile::encodeName(device).constData(), &file) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        return QStringLiteral("Aygıtın sahibi ve izinleri okunamadı (%1).\n").arg(why) + kAskAdministrator;
    }
    const group* entry = ::getgrgid(file.st_gid);
    const QString name = entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(file.st_gid);
    if ((file.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP))
        return QStringLiteral("Aygıtın grubu (%1) da onu açamaz; bir gruba katılmak yetmez.\n").arg(name) +
               kAskAdministrator;
    if (!entry)
        return QStringLiteral("Aygıt, adı olmayan %1 numaralı gruba ait; bu gruba usermod ile katılınamaz.\n")
                   .arg(name) +
               kAskAdministrator;
    return QStringLiteral(
               "Aygıt \"%1\" grubuna ait. Kullanıcınızı bu gruba ekleyin:\n"
               "sudo usermod -aG %1 %2\n"
               "Ardından oturumu kapatıp yeniden açın.")
        .arg(name, loginName());
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
        return failed + QStringLiteral(
                            " bu bilgisayarda yok.\n"
                            "Seri port adaptörünü takın ya da başka bir Com Port seçin.");
    case EACCES:
    case EPERM: return failed + QStringLiteral(" aygıtını açma izniniz yok.\n") + permissionAdvice(failure.device);
    case ENOTTY: return failed + QStringLiteral(" bir seri port değil.\nBaşka bir Com Port seçin.");
    default:
        return failed + QStringLiteral("\nSistemin bildirdiği neden: %1")
                            .arg(QString::fromLocal8Bit(std::strerror(failure.systemError)));
    }
}

}  // namespace vela
