#include "ui/record_exporter.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include "record/record_export.h"
#include "ui/feedback.h"
#include "ui/open_file_dialog.h"
#include "ui/save_file_dialog.h"

namespace vela {

namespace {
const QString kTitle = QStringLiteral("Kaydı Dışa Aktar…");
}

RecordExporter::RecordExporter(QWidget* parent) : QObject(parent), parent_(parent) {}

RecordExporter::~RecordExporter() {
    if (worker_.joinable()) worker_.join();
}

void RecordExporter::start(const QString& current, const QString& folder) {
    if (running()) return;
    const QString record = OpenFileDialog::ask(parent_, kTitle, current.isEmpty() ? folder : current);
    if (record.isEmpty()) return;
    const QFileInfo source(record);
    const QString proposed = source.dir().filePath(source.completeBaseName() + QStringLiteral(".pcapng"));
    const QString target = SaveFileDialog::ask(parent_, kTitle, proposed);
    if (target.isEmpty()) return;
    worker_ = std::thread([this, record = record.toStdString(), target] {
        const Result<std::uint64_t> exported = export_record(record, target.toStdString());
        QMetaObject::invokeMethod(
            this,
            [this, exported, target] {
                worker_.join();
                const bool capture = export_format_of(target.toStdString()) == ExportFormat::Pcapng;
                Feedback::message(parent_, exported
                                               ? QStringLiteral("Dışa aktarıldı: %1 (%2 %3).")
                                                     .arg(target)
                                                     .arg(*exported)
                                                     .arg(capture ? QStringLiteral("paket") : QStringLiteral("satır"))
                                               : QString::fromStdString(exported.message()));
                emit finished();
            },
            Qt::QueuedConnection);
    });
}

}  // namespace vela
