#pragma once
// "Kaydı Dışa Aktar…": a saved record, by default the one being written, as
// a capture for Wireshark (.pcapng) or a table for a spreadsheet (.csv), the
// name's ending choosing which. The export runs on a worker thread, so the
// window goes on answering and the line goes on being read; its outcome is
// one message.
#include <QObject>
#include <QString>
#include <thread>

class QWidget;

namespace vela {

class RecordExporter : public QObject {
    Q_OBJECT

public:
    explicit RecordExporter(QWidget* parent);
    // Waits for an export still running: it ends within the time a record of
    // the largest size takes, a few seconds.
    ~RecordExporter() override;

    // Asks for the record, offering `current` (the record being written, or
    // empty) or else `folder`, then for the file to write, and exports.
    void start(const QString& current, const QString& folder);
    bool running() const { return worker_.joinable(); }

signals:
    void finished();

private:
    QWidget* parent_;
    std::thread worker_;
};

}  // namespace vela
