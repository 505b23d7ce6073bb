#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include "app/check_command.h"
#include "record/record_export.h"

namespace vela {
namespace {

// 0 when the record is written, 1 (with the reason) when it is not.
int exportRecord(const QString& record, const QString& target) {
    const Result<std::uint64_t> exported = export_record(record.toStdString(), target.toStdString());
    if (!exported) {
        QTextStream(stderr) << "vela-test: " << QString::fromStdString(exported.message()) << '\n';
        return 1;
    }
    QTextStream(stdout) << target << ": " << *exported << '\n';
    return 0;
}

}  // namespace

int answerCommandLine(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vela-test"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELA_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("VELA Test Konsolu: sıramatik kurulumunun seri hattına komut gönderir ve gelen\n"
                       "çerçeveleri gösterir. Seçeneksiz başlatılınca port seçim penceresini açar."));
    parser.addHelpOption();
    parser.addVersionOption();
    addCheckOptions(parser);
    const QCommandLineOption exportOption(
        QStringLiteral("export"),
        QStringLiteral("Kaydedilmiş oturum kaydını ÇIKTI dosyasına aktarır: adı .pcapng ile bitiyorsa\n"
                       "Wireshark yakalaması, .csv ile bitiyorsa tablo. Kullanım: --export KAYIT ÇIKTI"),
        QStringLiteral("KAYIT"));
    parser.addOption(exportOption);

    const bool parsed = parser.parse(application.arguments());
    if (parsed && parser.isSet(exportOption) && parser.positionalArguments().size() == 1) {
        return exportRecord(parser.value(exportOption), parser.positionalArguments().front());
    }
    if (parsed && asksForCheck(parser)) return answerCheck(parser);
    if (!parsed && application.arguments().contains(QStringLiteral("--check"))) return checkNotParsed(parser);
    // process() answers --help, --help-all and --version and ends the program;
    // its own refusal would be in English, so refusals are ours.
    if (parsed && parser.positionalArguments().isEmpty() && !parser.isSet(exportOption)) {
        parser.process(application);
    }
    QTextStream(stderr) << "vela-test: '" << application.arguments().mid(1).join(u' ')
                        << "' tanınmadı; --help, --version, --export KAYIT ÇIKTI ve --check KAYIT kullanılabilir.\n";
    return 1;
}

}  // namespace vela
