// "Kayıttan Gönder…" on a real pseudo-terminal: where it is, what it refuses
// before a byte goes out, and a long recorded wait that leaves the window
// working.
#include <QAction>
#include <QPointer>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>

#include "tst_ana_menu_harness.h"
#include "ui/open_file_dialog.h"
#include "ui/received_log.h"
#include "ui/resend_dialog.h"

using namespace vela;
using namespace vela::test;

namespace {

const QByteArray kHeader = "Zaman\tOlay\tBaytlar\tCihaz\tAnlam\n";

// The record at `path`, answering the file dialog; counts the confirmations.
struct Answers {
    explicit Answers(const QString& path) {
        OpenFileDialog::setAnswer([this, path](const QString&) { return ++files, path; });
        ResendDialog::setAnswer([this](const QString&) { return ++confirmations, std::optional(Gaps::AsRecorded); });
    }
    ~Answers() {
        OpenFileDialog::setAnswer({});
        ResendDialog::setAnswer({});
    }
    int files = 0;
    int confirmations = 0;
};

QString written(QTemporaryDir& dir, const QByteArray& lines) {
    QFile file(dir.filePath("kayit.txt"));
    if (!file.open(QIODevice::WriteOnly) || file.write(kHeader + lines) != kHeader.size() + lines.size()) return {};
    return file.fileName();
}

void sendFromRecord(Console& console) { QTest::keyClick(&console.menu, Qt::Key_O, Qt::ControlModifier); }

}  // namespace

class RecordSenderTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useConsoleStyle(); }

    void in_the_log_menu() {
        Console console;
        QStringList texts;
        for (const QAction* action : console.menu.Text7()->actions()) texts << action->text();
        QCOMPARE(texts, QStringList({"Oturum Kaydını Kaydet…", "Kayıttan Gönder…", "Kaydı Durdur"}));
    }

    void closed_port() {
        Console console(Console::Port::Closed);
        QVERIFY(QTest::qWaitForWindowActive(&console.menu));
        Answers answers("/nonexistent");
        sendFromRecord(console);
        QCOMPARE(console.feedback.messages, QStringList{"Com Port açık değil! Komut gönderilemedi."});
        QCOMPARE(answers.files, 0);
    }

    void refused_files_data() {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QStringList>("named");
        const QByteArray good = "2026-03-07 10:00:00.000\tGÖNDERILEN\t170 2 44 1 0 5 222\tEl Terminali 5\tSayı Gönder\n";
        QTest::newRow("bad check byte") << good + good + "\tGÖNDERILEN\t170 1 0 0 0 5 177\t\t\n"
                                        << QStringList{"satır 4", "176", "177"};
        QTest::newRow("six bytes and 256") << good + "\tGÖNDERILEN\t170 2 44 1 0 5\t\t\n" + good +
                                                  "\tGÖNDERILEN\t170 2 256 1 0 5 222\t\t\n"
                                           << QStringList{"satır 3", "satır 5", "256"};
        QTest::newRow("no sent line") << QByteArray("\tGELEN\t170 1 0 0 0 5 176\t\t\n\tPORT\t\t\tkapandı\n")
                                      << QStringList{"GÖNDERILEN"};
    }

    // The whole file is refused with one message before anything is asked or
    // sent.
    void refused_files() {
        QFETCH(QByteArray, lines);
        QFETCH(QStringList, named);
        QTemporaryDir dir;
        Console console;
        QVERIFY(QTest::qWaitForWindowActive(&console.menu));
        Answers answers(written(dir, lines));
        sendFromRecord(console);
        QCOMPARE(console.feedback.messages.size(), 1);
        for (const QString& part : named) QVERIFY2(console.feedback.messages[0].contains(part), qPrintable(part));
        QCOMPARE(answers.confirmations, 0);
        QVERIFY(console.pty.readAll().empty());
    }

    // Two frames 2 s apart: a timer of the window fires between them.
    void long_wait() {
        QTemporaryDir dir;
        Console console;
        QVERIFY(QTest::qWaitForWindowActive(&console.menu));
        Answers answers(written(dir, "2026-03-07 10:00:00.000\tGÖNDERILEN\t170 6 0 0 0 1 177\tEl Terminali 1\tx\n"
                                     "2026-03-07 10:00:02.000\tGÖNDERILEN\t170 6 0 0 0 2 178\tEl Terminali 2\tx\n"));
        bool fired = false;
        std::size_t before = 0;
        QTimer::singleShot(500, [&] {
            fired = true;
            before = console.pty.readAll(std::chrono::milliseconds(5)).size();
        });
        sendFromRecord(console);
        const QPointer<QProgressDialog> progress = console.menu.findChild<QProgressDialog*>();
        QVERIFY(progress);
        QTRY_VERIFY_WITH_TIMEOUT(fired, 5000);
        QCOMPARE(before, std::size_t{7});  // the first frame only
        QTRY_VERIFY_WITH_TIMEOUT(!progress, 5000);
        QCOMPARE(console.shown(&AnaMenu::GonderilenLabel), shownBytes({170, 6, 0, 0, 0, 2, 178}));
        QVERIFY(console.feedback.messages.isEmpty());
    }
};

QTEST_MAIN(RecordSenderTest)
#include "tst_record_sender.moc"
