// The line's status from scripted traffic, the received bytes through the one monitor (its
// bytes in no frame tested here too); the rows and the counts are written out by hand.
#include <QHash>
#include <QRegularExpression>
#include <QTest>

#include "protocol/monitor.h"
#include "record/line_status.h"

using namespace vela;
using std::chrono::milliseconds;

namespace {

// "HT5@0": a frame to hand terminal 5 at 0 ms (DM, TM, ZIL: dot matrix,
// ticket machine, chime); "r 170 16 0 0 0 5 191@30": a delivery; "reset".
void play(LineStatus& status, ReceiveMonitor& monitor, const QString& script) {
    const QHash<QString, Device> types = {
        {"HT", Device::HandTerminal}, {"DM", Device::DotMatrix}, {"TM", Device::TicketMachine}, {"ZIL", Device::Chime}};
    for (const QString& step : script.split(u';', Qt::SkipEmptyParts)) {
        const QString what = step.section(u'@', 0, 0), type = what.section(QRegularExpression("\\d"), 0, 0);
        const milliseconds at{step.section(u'@', 1).toInt()};
        if (what == "reset") {
            status.reset();
        } else if (what.startsWith("r ")) {
            std::vector<Byte> bytes;
            for (const QString& b : what.mid(2).split(u' ')) bytes.push_back(Byte(b.toInt()));
            for (const RecognisedFrame& found : monitor.take(bytes)) status.recognised(found.frame, at);
            status.received(bytes.size(), monitor.uncovered() + std::uint64_t(monitor.unsettled()), at);
        } else {
            status.sent(types.value(type), Komut_Cercevesi(2, 0, 0, 0, Byte(what.mid(type.size()).toInt())), "x", at);
        }
    }
}

// "El Terminali 5 1>2 1/1 20/20/20" for sent>heard, answered/sent and replies in ms.
QString rows(const LineStatus& status) {
    QStringList texts;
    for (const DeviceStatus& d : status.devices()) {
        QString text = QString::fromStdString(status_device_name(d)) + QString(" %1>%2").arg(d.sent).arg(d.heard);
        if (d.sent > 0) text += QString(" %1/%2").arg(d.answered).arg(d.sent);
        const auto ms = [](auto t) { return QString::number(std::chrono::duration_cast<milliseconds>(t).count()); };
        if (d.answered > 0) text += " " + ms(*d.least_reply) + "/" + ms(*d.median_reply) + "/" + ms(*d.most_reply);
        texts << text;
    }
    const LineTotals& t = status.totals();
    texts << QString::asprintf("bytes %llu>%llu frames %llu outside %llu", qulonglong(t.bytes_sent),
                               qulonglong(t.bytes_received), qulonglong(t.frames_received),
                               qulonglong(t.bytes_outside_frames));
    return texts.join("; ");
}

}  // namespace

class LineStatusTest : public QObject {
    Q_OBJECT
private slots:
    void traffic_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QString& script, const char* expected) {
            QTest::newRow(name) << script << QString::fromUtf8(expected);
        };
        const QString ack5 = "r 170 16 0 0 0 5 191";
        row("ALINDI with no recent address", ack5 + "@10",
            "Numara 5 (türü bilinmiyor) 0>1; bytes 0>7 frames 1 outside 0");
        row("ALINDI after the window", "HT5@0;" + ack5 + "@501",
            "El Terminali 5 1>0 0/1; Numara 5 (türü bilinmiyor) 0>1; bytes 7>7 frames 1 outside 0");
        row("two types with one number: the last addressed answers", "DM5@0;HT5@100;" + ack5 + "@150;ZIL@200",
            "El Terminali 5 1>1 1/1 50/50/50; Dot Matrix Display 5 1>0 0/1; Ding-Dong Zil 1>0 0/1; bytes 21>7 frames 1 "
            "outside 0");
        row("an answer after the next frame was sent", "HT5@0;HT6@100;" + ack5 + "@150",
            "El Terminali 5 1>1 0/1; El Terminali 6 1>0 0/1; bytes 14>7 frames 1 outside 0");
        row("a second answer to one frame counts once", "HT5@0;" + ack5 + "@20;" + ack5 + "@40",
            "El Terminali 5 1>2 1/1 20/20/20; bytes 7>14 frames 2 outside 0");
        row("least, median, most",
            "HT5@0;" + ack5 + "@10;HT5@100;" + ack5 + "@130;HT5@200;" + ack5 + "@250;HT5@300;" + ack5 + "@400",
            "El Terminali 5 4>4 4/4 10/30/100; bytes 28>28 frames 4 outside 0");
        row("a key press answers, a ticket request from its machine",
            "TM130@0;r 170 14 0 0 0 130 58@80;r 170 1 0 0 0 5 176@90",
            "El Terminali 5 0>1; Bilet Makinesi 130 1>1 1/1 80/80/80; bytes 7>14 frames 2 outside 0");
        row("bytes outside frames: before, after, one held", "r 1 2 170 16 0 0 0 5 191 9@0",
            "Numara 5 (türü bilinmiyor) 0>1; bytes 0>10 frames 1 outside 3");
        row("a frame cut between deliveries", "r 170 16 0@0;r 0 0 5 191@5",
            "Numara 5 (türü bilinmiyor) 0>1; bytes 0>7 frames 1 outside 0");
        row("a wrong check byte", "HT5@0;r 170 16 0 0 0 5 192@30",
            "El Terminali 5 1>0 0/1; bytes 7>7 frames 0 outside 7");
        row("overlapping frames: no byte outside", "r 170 16 0 0 0 170 100 0 0 0 0 14@0",
            "Numara 0 (türü bilinmiyor) 0>1; Numara 170 (türü bilinmiyor) 0>1; bytes 0>12 frames 2 outside 0");
        row("reset: counts start again, the answer rule goes on", "r 9 9 9 9 9 9 9 9@0;HT5@0;reset@5;" + ack5 + "@10",
            "El Terminali 5 0>1; bytes 0>7 frames 1 outside 0");
    }
    void traffic() {
        QFETCH(QString, script);
        LineStatus status;
        ReceiveMonitor monitor;
        play(status, monitor, script);
        QTEST(rows(status), "expected");
    }

    // 10 bits a byte: 1920 bytes in 10 s are a tenth of 19200 baud; older bytes fall out.
    void load() {
        LineStatus status;
        status.received(960, 0, milliseconds{1000});
        status.received(960, 0, milliseconds{10900});
        QCOMPARE(status.load_percent(milliseconds{10950}, 19200), 10.0);
        QCOMPARE(status.load_percent(milliseconds{11050}, 19200), 5.0);
        QCOMPARE(status.load_percent(milliseconds{30000}, 9600), 0.0);
    }
};

QTEST_APPLESS_MAIN(LineStatusTest)
#include "tst_line_status.moc"
