// The session record's lines and clock as written; saved records read back in
// the forms an editor or a spreadsheet leaves, bad lines refused with their
// reasons, and records refused for replay or for sending again.
#include <QTest>

#include "record/record_reader.h"
#include "record/session_record.h"

using namespace vela;

namespace {

const QByteArray kHeader = "Zaman\tOlay\tBaytlar\tCihaz\tAnlam\n";
// 2026-03-07 is day 20519 after 1970-01-01 (date -u -d 2026-03-07 +%s / 86400).
constexpr qint64 kMarch7 = 20519LL * 86400000;

QList<int> listOf(const std::vector<Byte>& bytes) { return QList<int>(bytes.begin(), bytes.end()); }

template <class Items>
QList<int> linesOf(const Items& items) {
    QList<int> lines;
    for (const auto& item : items) lines << int(item.line);
    return lines;
}

}  // namespace

class SessionRecordTest : public QObject {
    Q_OBJECT
private slots:
    // A tab or line break in a field would shift the columns; each becomes a blank.
    void refusal_line_kept_in_its_columns() {
        QCOMPARE(
            QString::fromStdString(record_line(std::nullopt, RecordEvent::Refused, {}, "", "Sayı\tGönder: El\r\nNo")),
            "\tRED\t\t\tSayı Gönder: El  No");
    }

    // The clock starts at 2026-12-06 11:32:05.000 UTC; an event `after` that
    // (nanoseconds on the monotonic clock) at `offset` minutes east of UTC, and
    // the offset as the opening line names it.
    void clock_data() {
        QTest::addColumn<qint64>("after");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("utc");
        const auto row = [](const char* name, qint64 after, int offset, const char* time, const char* utc) {
            QTest::newRow(name) << after << offset << QString(time) << QString(utc);
        };
        row("Istanbul", 127'000'000, 180, "2026-12-06 14:32:05.127", "UTC+03:00");
        row("past local midnight", 36'000'000'000'000, 180, "2026-12-07 00:32:05.000", "UTC+03:00");
        row("west of UTC", 0, -210, "2026-12-06 08:02:05.000", "UTC-03:30");
        row("ten days on, no drift", 864'000'000'000'001, 345, "2026-12-16 17:17:05.000", "UTC+05:45");
        row("a part of a millisecond is cut", 1'999'999, 0, "2026-12-06 11:32:05.001", "UTC+00:00");
        row("just before the start", -1, 0, "2026-12-06 11:32:04.999", "UTC+00:00");
        row("into a leap day", 38'838'475'000'000'000, 0, "2028-02-29 00:00:00.000", "UTC+00:00");
    }
    void clock() {
        QFETCH(qint64, after);
        QFETCH(int, offset);
        QFETCH(QString, utc);
        using namespace std::chrono;
        const RecordClock::Monotonic::time_point start{hours(5)};
        const RecordClock clock(start, sys_days{2026y / 12 / 6} + 11h + 32min + 5s, minutes(offset));
        QTEST(QString::fromStdString(record_line(clock.at(start + nanoseconds(after)), RecordEvent::Port, {}, "", ""))
                  .section(u'\t', 0, 0),
              "time");
        QCOMPARE(QString::fromStdString(port_opened_meaning("/dev/ttyUSB0", 9600, clock.utc_offset())),
                 "açıldı: /dev/ttyUSB0, 9600 baud, " + utc);
    }

    void times_data() {
        QTest::addColumn<QString>("time");
        QTest::addColumn<qint64>("at");  // -1: refused
        QTest::newRow("as written") << "2026-03-07 09:05:04.007" << kMarch7 + 32704007;
        QTest::newRow("no fraction") << "2026-03-07 09:05:04" << kMarch7 + 32704000;
        QTest::newRow("tenths") << "2026-03-07 09:05:04.5" << kMarch7 + 32704500;
        QTest::newRow("hundredths") << "2026-03-07T09:05:04.25" << kMarch7 + 32704250;
        QTest::newRow("decimal comma") << "2026-03-07 09:05:04,007" << kMarch7 + 32704007;
        QTest::newRow("leap day") << "2028-02-29 00:00:00.000" << 21243LL * 86400000;
        QTest::newRow("end of year") << "2026-12-31 23:59:59.999" << 20819LL * 86400000 - 1;
        QTest::newRow("no such day") << "2026-02-30 09:05:04.007" << -1LL;
        QTest::newRow("hour 24") << "2026-03-07 24:00:00.000" << -1LL;
        QTest::newRow("leap second") << "2026-03-07 23:59:60.000" << -1LL;
        QTest::newRow("point without digits") << "2026-03-07 09:05:04." << -1LL;
        QTest::newRow("four digits") << "2026-03-07 09:05:04.0071" << -1LL;
        QTest::newRow("no seconds") << "2026-03-07 09:05" << -1LL;
        QTest::newRow("day first") << "07.03.2026 09:05:04" << -1LL;
        QTest::newRow("short month") << "2026-3-07 09:05:04.007" << -1LL;
        QTest::newRow("two blanks") << "2026-03-07  09:05:04.00" << -1LL;
    }
    void times() {
        QFETCH(QString, time);
        QFETCH(qint64, at);
        const ReadRecord read = read_record((kHeader + time.toUtf8() + "\tGELEN\t170\t\t\n").toStdString());
        if (at < 0) {
            QCOMPARE(read.problems.size(), std::size_t(1));
            QCOMPARE(QString::fromStdString(read.problems[0].reason), "zaman okunamadı: " + time);
        } else {
            QCOMPARE(read.entries.size(), std::size_t(1));
            QCOMPARE(read.entries[0].at_ms.value_or(-1), at);
        }
    }

    void lines_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("reason");  // empty: read
        QTest::addColumn<int>("event");
        QTest::addColumn<QList<int>>("bytes");
        const auto row = [](const char* name, const char* line, const char* reason,
                            RecordEvent event = RecordEvent::Port, QList<int> bytes = {}) {
            QTest::newRow(name) << QString::fromUtf8(line) << QString::fromUtf8(reason) << int(event) << bytes;
        };
        row("received", "\tGELEN\t0 170 255\t\t", "", RecordEvent::Received, {0, 170, 255});
        row("sent noise", "\tGÖNDERILEN\t170 0 170\t\tçerçeve oluşturmayan 3 bayt", "", RecordEvent::Sent,
            {170, 0, 170});
        row("recognised", "\tÇERÇEVE\t170 1 0 0 0 5 176\t\tx", "", RecordEvent::Recognised, {170, 1, 0, 0, 0, 5, 176});
        row("port", "\tPORT\t\t\tkapandı", "", RecordEvent::Port);
        row("refused", "\tRED\t\t\tSayı Gönder: hata", "", RecordEvent::Refused);
        row("dropped", "\tATILAN\t\t\t3 olay", "", RecordEvent::Dropped);
        row("comparison", "\tKARŞILAŞTIRMA\t\t\t1 fark: 1 eksik", "", RecordEvent::Comparison);
        row("line status", "\tHAT\t\t\t2 çerçeve hatası (toplam: …)", "", RecordEvent::LineStatus);
        row("byte over 255", "\tGELEN\t170 256\t\t", "256 bir bayt değil");
        row("hex", "\tGELEN\t0xAA\t\t", "0xAA bir bayt değil");
        row("double blank", "\tGELEN\t170  1\t\t", "baytlar tek boşlukla ayrılmalı");
        row("leading blank", "\tGELEN\t 170\t\t", "baytlar tek boşlukla ayrılmalı");
        row("received without bytes", "\tGELEN\t\t\t", "GELEN satırında bayt yok");
        row("sent without bytes", "\tGÖNDERILEN\t\tEl Terminali 5\tSayı Gönder", "GÖNDERILEN satırında bayt yok");
        row("fields missing", "\tGELEN\t170", "5 alan olmalı, 3 var");
        row("field too many", "\tGELEN\t170\t\t\t", "5 alan olmalı, 6 var");
        row("word in small letters", "\tgelen\t170\t\t", "bilinmeyen olay: gelen");
        row("no word", "\t\t170\t\t", "bilinmeyen olay: ");
    }
    void lines() {
        QFETCH(QString, line);
        QFETCH(QString, reason);
        QFETCH(int, event);
        QFETCH(QList<int>, bytes);
        const ReadRecord read = read_record((kHeader + line.toUtf8()).toStdString());
        QVERIFY(read.has_header);
        if (!reason.isEmpty()) {
            QCOMPARE(read.entries.size(), std::size_t(0));
            QCOMPARE(linesOf(read.problems), QList<int>{2});
            QCOMPARE(QString::fromStdString(read.problems[0].reason), reason);
            return;
        }
        QCOMPARE(read.problems.size(), std::size_t(0));
        QCOMPARE(linesOf(read.entries), QList<int>{2});
        QCOMPARE(int(read.entries[0].event), event);
        QCOMPARE(listOf(read.entries[0].bytes), bytes);
        QCOMPARE(QString::fromStdString(read.entries[0].meaning), line.section('\t', 4));
    }

    // Line numbers count every line, the empty ones and the header included.
    void files_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("header");
        QTest::addColumn<QList<int>>("entries");
        QTest::addColumn<QList<int>>("problems");
        const QByteArray header = kHeader.chopped(1);
        using L = QList<int>;
        QTest::newRow("byte-order mark, CRLF, no last line feed")
            << "\xEF\xBB\xBF" + header + "\r\n\tGELEN\t1\t\t\r\n\r\n\tGELEN\t2\t\t" << true << L{2, 4} << L{};
        QTest::newRow("row emptied in a spreadsheet") << kHeader + "\t\t\t\t\n\tGELEN\t1\t\t\n" << true << L{3} << L{};
        QTest::newRow("problems among empty lines") << kHeader + "\nx\n\tGELEN\t1\t\t\n\tGELEN\t\t\t\n"
                                                    << true << L{4} << L{3, 5};
        QTest::newRow("no header") << QByteArray("\tGELEN\t1\t\t\n") << false << L{1} << L{};
        QTest::newRow("header after a line") << "\tGELEN\t1\t\t\n" + kHeader << false << L{1} << L{};
        QTest::newRow("mark inside the header")
            << header.left(3) + "\xEF\xBB\xBF" + header.mid(3) << false << L{} << L{1};
        QTest::newRow("two records joined") << kHeader + "\tGELEN\t1\t\t\n" + kHeader + "\tGELEN\t2\t\t\n"
                                            << true << L{2, 4} << L{};
    }
    void files() {
        QFETCH(QByteArray, text);
        const ReadRecord read = read_record(text.toStdString());
        QTEST(read.has_header, "header");
        QTEST(linesOf(read.entries), "entries");
        QTEST(linesOf(read.problems), "problems");
    }

    void replay_refusals_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        const QString noHeader =
            "Kayıt başlık satırıyla (Zaman, Olay, Baytlar, Cihaz, Anlam) başlamıyor; oturum kaydı değil.";
        QString ten = "Kayıtta hatalı 10 satır var:";
        QByteArray tenBad = kHeader;
        for (int line = 2; line <= 11; ++line) {
            tenBad += "\tGELEN\t" + QByteArray::number(line + 300) + "\t\t\n";
            ten += QString("\nsatır %1: %2 bir bayt değil").arg(line).arg(line + 300);
        }
        QTest::newRow("empty") << QByteArray() << "Kayıt boş.";
        QTest::newRow("empty lines") << QByteArray("\n\r\n\n") << "Kayıt boş.";
        QTest::newRow("no header") << QByteArray("\tGELEN\t1\t\t\n") << noHeader;
        QTest::newRow("header only") << kHeader << "Kayıtta gelen teslim (GELEN satırı) yok.";
        QTest::newRow("no GELEN line") << kHeader + "\tPORT\t\t\tkapandı\n\tHAT\t\t\tÖzet\n"
                                       << "Kayıtta gelen teslim (GELEN satırı) yok.";
        QTest::newRow("ten problems") << tenBad << ten;
        QTest::newRow("twelve problems") << tenBad + "\tGELEN\t1\t\t\nx\n\tGELEN\t\t\t\n"
                                         << ten.replace("10 satır", "12 satır") + "\n… ve 2 satır daha";
    }
    void replay_refusals() {
        QFETCH(QByteArray, text);
        const auto deliveries = replay_deliveries(read_record(text.toStdString()));
        QVERIFY(!deliveries);
        QTEST(QString::fromStdString(deliveries.message()), "message");
    }

    void sent_frames_data() {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("message");  // empty: one frame, 170 2 0 0 0 5 177, on line 2
        const QByteArray frame = "\tGÖNDERILEN\t170 2 0 0 0 5 177\tEl Terminali 5\tSayı Gönder\n";
        const QString bad = "Kayıtta hatalı 1 satır var:\nsatır 2: ";
        QTest::newRow("valid frame among other lines")
            << frame + "\tGELEN\t1\t\t\n\tPORT\t\t\tkapandı\n\tHAT\t\t\tÖzet\n"
            << QString();
        QTest::newRow("six bytes") << QByteArray("\tGÖNDERILEN\t170 2 0 0 0 5\t\t\n")
                                   << bad + "7 bayt olmalı, 6 yazılmış";
        QTest::newRow("start byte") << QByteArray("\tGÖNDERILEN\t171 2 0 0 0 5 178\t\t\n")
                                    << bad + "ilk bayt 170 olmalı, 171 yazılmış";
        QTest::newRow("check byte") << QByteArray("\tGÖNDERILEN\t170 2 0 0 0 5 176\t\t\n")
                                    << bad + "kontrol baytı 177 olmalı, 176 yazılmış";
        QTest::newRow("check byte wraps")
            << QByteArray("\tGÖNDERILEN\t170 255 1 0 0 0 171\t\t\n") << bad + "kontrol baytı 170 olmalı, 171 yazılmış";
        QTest::newRow("bad received line") << frame + "\tGELEN\t\t\t\n"
                                           << "Kayıtta hatalı 1 satır var:\nsatır 3: GELEN satırında bayt yok";
        QTest::newRow("in line order") << "\tGÖNDERILEN\t1\t\t\n" + frame + "x\n"
                                       << "Kayıtta hatalı 2 satır var:\nsatır 2: 7 bayt olmalı, 1 yazılmış\n"
                                          "satır 4: 5 alan olmalı, 1 var";
        QTest::newRow("no GÖNDERILEN line")
            << QByteArray("\tGELEN\t170\t\t\n") << "Kayıtta gönderilmiş çerçeve (GÖNDERILEN satırı) yok.";
    }
    // The text comes in two pieces, cut inside its second line.
    void sent_frames() {
        QFETCH(QByteArray, lines);
        QFETCH(QString, message);
        std::vector<RecordedFrame> frames;
        SentFramesReader reader([&frames](RecordedFrame&& frame) { frames.push_back(std::move(frame)); });
        const std::string text = (kHeader + lines).toStdString();
        reader.add(std::string_view(text).substr(0, kHeader.size() + 5));
        reader.add(std::string_view(text).substr(kHeader.size() + 5));
        const std::optional<Refusal> refused = reader.finish();
        QCOMPARE(QString::fromStdString(refused ? refused->message : std::string()), message);
        if (refused) return;
        QCOMPARE(frames.size(), std::size_t(1));
        QCOMPARE(int(frames.front().line), 2);
        QCOMPARE(QList<int>(frames.front().frame.begin(), frames.front().frame.end()),
                 QList<int>({170, 2, 0, 0, 0, 5, 177}));
        QCOMPARE(QString::fromStdString(frames.front().device + "/" + frames.front().meaning),
                 "El Terminali 5/Sayı Gönder");
    }
};

QTEST_APPLESS_MAIN(SessionRecordTest)
#include "tst_session_record.moc"
