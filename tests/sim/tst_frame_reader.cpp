// Cutting the console's byte stream into frames without losing a byte.
#include <QTest>

#include "protocol/commands.h"
#include "sim/frame_reader.h"

using namespace vela;
using namespace vela::sim;

namespace {

using Bytes = std::vector<Byte>;

Bytes bytes_of(const Frame& f) { return Bytes(f.begin(), f.end()); }

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Each item as text: a frame as "F:" and its code, stray bytes as "S:" and
// the bytes, so a table row reads as the expected sequence.
QStringList described(const std::vector<ReadItem>& items) {
    QStringList out;
    for (const ReadItem& item : items) {
        if (const auto* frame = std::get_if<Frame>(&item)) {
            out << QStringLiteral("F:%1").arg((*frame)[1]);
        } else {
            QStringList values;
            for (Byte b : std::get<StrayBytes>(item).bytes) values << QString::number(b);
            out << "S:" + values.join(' ');
        }
    }
    return out;
}

// Feeds the stream in pieces of `piece` bytes, then flushes.
QStringList read_in_pieces(const Bytes& stream, int piece) {
    FrameReader reader;
    std::vector<ReadItem> items;
    for (std::size_t i = 0; i < stream.size(); i += static_cast<std::size_t>(piece)) {
        const std::size_t n = std::min(stream.size() - i, static_cast<std::size_t>(piece));
        const auto got = reader.feed(std::span<const Byte>(stream.data() + i, n));
        items.insert(items.end(), got.begin(), got.end());
    }
    const auto rest = reader.flush();
    items.insert(items.end(), rest.begin(), rest.end());
    return described(items);
}

}  // namespace

Q_DECLARE_METATYPE(Bytes)

class FrameReaderTest : public QObject {
    Q_OBJECT
private slots:
    void stream_data();
    void stream();
    void stray_bytes_wait_for_the_next_frame();
};

void FrameReaderTest::stream_data() {
    QTest::addColumn<Bytes>("stream");
    QTest::addColumn<QStringList>("items");
    const Bytes number = bytes_of(hand_terminal::show_number(5, 300));
    const Bytes chime = bytes_of(chime::on());
    QTest::newRow("one frame") << number << QStringList{"F:2"};
    QTest::newRow("two frames back to back") << number + chime << QStringList{"F:2", "F:29"};
    QTest::newRow("garbage between frames")
        << number + Bytes{1, 2, 3} + chime << QStringList{"F:2", "S:1 2 3", "F:29"};
    QTest::newRow("garbage before the first frame") << Bytes{9} + chime << QStringList{"S:9", "F:29"};
    QTest::newRow("a start byte in the garbage")
        << Bytes{170, 0, 170} + chime << QStringList{"S:170 0 170", "F:29"};
    QTest::newRow("frame with a wrong checksum is stray")
        << Bytes{170, 29, 1, 0, 0, 0, 201} + chime
        << QStringList{"S:170 29 1 0 0 0 201", "F:29"};
    QTest::newRow("incomplete frame at the end") << chime + Bytes{170, 2, 44}
                                                 << QStringList{"F:29", "S:170 2 44"};
    QTest::newRow("only garbage") << Bytes{1, 2} << QStringList{"S:1 2"};
    QTest::newRow("nothing") << Bytes{} << QStringList{};
}

void FrameReaderTest::stream() {
    QFETCH(Bytes, stream);
    QFETCH(QStringList, items);
    // However the reads cut the stream, the items are the same.
    for (int piece : {1, 2, 3, 7, 64}) QCOMPARE(read_in_pieces(stream, piece), items);
}

void FrameReaderTest::stray_bytes_wait_for_the_next_frame() {
    FrameReader reader;
    const Bytes garbage{1, 2, 3, 4, 5, 6, 7, 8};
    QVERIFY(reader.feed(garbage).empty());
    QVERIFY(reader.holds_bytes());
    const Bytes frame = bytes_of(chime::off());
    QCOMPARE(described(reader.feed(frame)), (QStringList{"S:1 2 3 4 5 6 7 8", "F:29"}));
    QVERIFY(!reader.holds_bytes());
    QVERIFY(reader.flush().empty());
}

QTEST_APPLESS_MAIN(FrameReaderTest)
#include "tst_frame_reader.moc"
