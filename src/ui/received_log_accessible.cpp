#include "ui/received_log_accessible.h"

#include <QAccessibleWidget>

#include "ui/received_log.h"

namespace vela {

namespace {

class ReceivedLogAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ReceivedLogAccessible(ReceivedLog* log) : QAccessibleWidget(log, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }

    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? log().text() : QAccessibleWidget::text(kind);
    }

    void selection(int index, int* start, int* end) const override {
        const bool any = index == 0 && selectionCount() == 1;
        *start = any ? static_cast<int>(log().selectionStart()) : 0;
        *end = any ? static_cast<int>(log().selectionEnd()) : 0;
    }
    int selectionCount() const override { return log().selectionStart() < log().selectionEnd() ? 1 : 0; }
    void addSelection(int start, int end) override { log().setSelection(start, end); }
    void removeSelection(int) override { log().setSelection(log().cursorPosition(), log().cursorPosition()); }
    void setSelection(int, int start, int end) override { log().setSelection(start, end); }

    int cursorPosition() const override { return static_cast<int>(log().cursorPosition()); }
    void setCursorPosition(int position) override { log().setSelection(position, position); }

    QString text(int start, int end) const override {
        const QString& all = log().text();
        start = std::clamp(start, 0, static_cast<int>(all.size()));
        return all.mid(start, std::max(0, std::min(end, static_cast<int>(all.size())) - start));
    }
    int characterCount() const override { return static_cast<int>(log().text().size()); }

    QRect characterRect(int offset) const override {
        const QRect inView = log().characterRect(offset);
        if (inView.isNull()) return {};
        return QRect(log().viewport()->mapToGlobal(inView.topLeft()), inView.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        return static_cast<int>(log().offsetAt(log().viewport()->mapFromGlobal(point)));
    }
    void scrollToSubstring(int start, int) override { log().ensureVisible(start); }

    // The log has one face and colour throughout.
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    ReceivedLog& log() const { return *static_cast<ReceivedLog*>(widget()); }
};

QAccessibleInterface* accessibleFor(const QString& className, QObject* object) {
    if (className != QLatin1String(ReceivedLog::staticMetaObject.className())) return nullptr;
    auto* log = qobject_cast<ReceivedLog*>(object);
    return log ? new ReceivedLogAccessible(log) : nullptr;
}

}  // namespace

void installReceivedLogAccessibility() {
    static const bool installed = (QAccessible::installFactory(accessibleFor), true);
    (void)installed;
}

}  // namespace vela
