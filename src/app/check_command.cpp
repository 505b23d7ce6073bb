#include "app/check_command.h"

#include <QCommandLineParser>
#include <QTextStream>
#include <cstdint>
#include <optional>

#include "app/check_run.h"
#include "protocol/decimal.h"

namespace vela {

namespace {

const QString kCheck = QStringLiteral("check");
const QString kPort = QStringLiteral("port");
const QString kCom = QStringLiteral("com");
const QString kBaud = QStringLiteral("baud");
const QString kTolerance = QStringLiteral("tolerance");
const QString kShortenGaps = QStringLiteral("shorten-gaps");
const QString kRecord = QStringLiteral("record");
const QString kJunit = QStringLiteral("junit");

constexpr int kHighestCom = 16;
constexpr int kLongestToleranceMs = 60'000;

int usage(const QString& why) {
    QTextStream(stderr) << "vela-test: " << why << "\nKullanım: vela-test --check KAYIT (--port AYGIT | --com N) "
                        << "[--baud 9600|19200] [--tolerance MS] [--shorten-gaps] [--record DOSYA] [--junit DOSYA]\n";
    return kUsageError;
}

// A whole number from `lowest` to `highest`, written in decimal digits only.
std::optional<int> number(const QString& text, int lowest, int highest) {
    const std::optional<std::uint64_t> value = decimal_number(text.toStdString(), static_cast<std::uint64_t>(highest));
    if (!value || static_cast<int>(*value) < lowest) return std::nullopt;
    return static_cast<int>(*value);
}

}  // namespace

void addCheckOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {kCheck,
         QStringLiteral("Kayıttaki çerçeveleri kayıttaki aralıklarla gönderir, gelen cevapları kayıttakilerle "
                        "karşılaştırır; sonuç TAP olarak standart çıktıya yazılır. Çıkış kodu: 0 hepsi eşleşti, "
                        "1 fark var, 2 port açılamadı ya da koptu, 3 kayıt reddedildi, 4 kullanım hatası."),
         QStringLiteral("KAYIT")},
        {kPort, QStringLiteral("--check için seri port aygıtı, örneğin /dev/ttyUSB0."), QStringLiteral("AYGIT")},
        {kCom, QStringLiteral("--check için Com Port numarası (1-16)."), QStringLiteral("N")},
        {kBaud, QStringLiteral("--check için hız: 9600 (varsayılan) ya da 19200."), QStringLiteral("BAUD")},
        {kTolerance,
         QStringLiteral("--check için cevap gecikmesinde kayıttakinin üstüne tanınan pay (varsayılan 250)."),
         QStringLiteral("MS")},
        {kShortenGaps, QStringLiteral("--check için 1 saniyeden uzun beklemeleri 1 saniyeye kısaltır.")},
        {kRecord, QStringLiteral("--check çalışmasının oturum kaydını bu dosyaya yazar."), QStringLiteral("DOSYA")},
        {kJunit, QStringLiteral("--check sonucunu JUnit XML olarak bu dosyaya yazar."), QStringLiteral("DOSYA")},
    });
}

int checkNotParsed(const QCommandLineParser& parser) {
    return usage(QStringLiteral("seçenekler okunamadı (%1).").arg(parser.errorText()));
}

bool asksForCheck(const QCommandLineParser& parser) { return parser.isSet(kCheck); }

int answerCheck(const QCommandLineParser& parser) {
    if (!parser.positionalArguments().isEmpty())
        return usage(QStringLiteral("fazla bağımsız değişken: %1").arg(parser.positionalArguments().join(u' ')));
    CheckOptions options;
    options.record = parser.value(kCheck);
    if (parser.isSet(kPort) == parser.isSet(kCom))
        return usage(QStringLiteral("--port ya da --com verilmeli (yalnız biri)."));
    options.device = parser.value(kPort);
    if (parser.isSet(kCom)) {
        const std::optional<int> com = number(parser.value(kCom), 1, kHighestCom);
        if (!com) return usage(QStringLiteral("--com 1 ile %1 arasında bir sayı olmalı.").arg(kHighestCom));
        options.com = *com;
    }
    if (parser.isSet(kBaud)) {
        const QString baud = parser.value(kBaud);
        if (baud != QStringLiteral("9600") && baud != QStringLiteral("19200"))
            return usage(QStringLiteral("--baud 9600 ya da 19200 olmalı."));
        options.baud = baud.toInt();
    }
    if (parser.isSet(kTolerance)) {
        const std::optional<int> ms = number(parser.value(kTolerance), 0, kLongestToleranceMs);
        if (!ms)
            return usage(QStringLiteral("--tolerance 0 ile %1 arasında milisaniye olmalı.").arg(kLongestToleranceMs));
        options.tolerance = std::chrono::milliseconds{*ms};
    }
    options.shortenGaps = parser.isSet(kShortenGaps);
    options.recordOut = parser.value(kRecord);
    options.junit = parser.value(kJunit);
    return runCheck(options);
}

}  // namespace vela
