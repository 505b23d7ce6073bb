#pragma once
// The end of a run compared with its record: the one-line verdict and a table
// of the differences (the frame sent, the device, the recorded answer, the
// answer seen, their delays), which "Kopyala" puts on the clipboard as text.
// Every text is shown as plain text: a record's meanings are outside text.
#include <QDialog>
#include <QString>
#include <QStringList>
#include <vector>

class QTableWidget;

namespace vela {

class CheckResultDialog : public QDialog {
    Q_OBJECT

public:
    // One difference, its cells in the table's order.
    using Row = QStringList;
    static const QStringList& columns();

    CheckResultDialog(const QString& verdict, const std::vector<Row>& rows, QWidget* parent);

    // The table as lines of tab-separated cells, its header first.
    QString tableText() const;

private:
    QTableWidget* table_;
};

}  // namespace vela
