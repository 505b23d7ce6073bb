#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include "app/check_command.h"

namespace vela {

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

    // process() answers --help, --help-all and --version and ends the program;
    // its own refusal would be in English, so refusals are ours.
    const bool parsed = parser.parse(application.arguments());
    if (parsed && asksForCheck(parser)) return answerCheck(parser);
    if (!parsed && application.arguments().contains(QStringLiteral("--check"))) return checkNotParsed(parser);
    if (parsed && parser.positionalArguments().isEmpty()) {
        parser.process(application);
    }
    QTextStream(stderr) << "vela-test: '" << application.arguments().mid(1).join(u' ')
                        << "' tanınmadı; yalnız --help ve --version kullanılabilir.\n";
    return 1;
}

}  // namespace vela
