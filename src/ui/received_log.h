#pragma once
// Text7, the log of received bytes: a read-only text box whose text can be
// selected with mouse and keyboard and copied. It keeps the newest
// kKeptCharacters of its text, trimmed from the front by whole lines, and is
// never scrolled by the program. A byte must cost the same however long the
// log has grown (a document-based text box lays the whole one-paragraph log
// out again on every change), so the text is held as short tokens ("  170":
// blanks, then a word) wrapped at token boundaries with cached widths, only
// the lines in view are painted, and the visible update waits until the
// events at hand are handled, so that a burst (the port hands over what it
// gathered in one notification) is laid out once without waking the program a
// second time.
#include <QAbstractScrollArea>
#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <QTimer>
#include <deque>

class QMenu;

namespace vela {

class ReceivedLog : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr qsizetype kKeptCharacters = 64 * 1024;
    static constexpr int kUpdateIntervalMs = 0;

    explicit ReceivedLog(QWidget* parent = nullptr);

    void append(QStringView text);
    // Everything the log holds; appended text is in it at once, before it is
    // shown.
    const QString& text() const { return text_; }

    // Selection and cursor as offsets into text(); the selection runs from
    // the anchor to the cursor in either direction.
    qsizetype cursorPosition() const { return cursor_ - firstChar_; }
    qsizetype selectionStart() const { return std::min(anchor_, cursor_) - firstChar_; }
    qsizetype selectionEnd() const { return std::max(anchor_, cursor_) - firstChar_; }
    QString selectedText() const;
    void setSelection(qsizetype anchor, qsizetype cursor);
    void selectAll();
    void copy() const;

    // "Kopyala", "Tümünü Seç" and, after a separator, the actions added to
    // the log with addAction(). The caller owns the menu.
    QMenu* createContextMenu();

    // Where an offset is drawn and which offset is drawn at a point, both in
    // viewport coordinates; an empty rectangle for text out of view.
    QRect characterRect(qsizetype offset) const;
    qsizetype offsetAt(QPoint point) const;
    // Scrolls, on the technician's or an assistive tool's request, so that
    // the offset's line is in view.
    void ensureVisible(qsizetype offset);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    static constexpr int kMargin = 2;  // around the text, in pixels

    // Positions are counted from the start of the run, so trimming the front
    // does not renumber what stays.
    struct Token {
        qint64 start;  // first character
        int lead;      // blanks before the word
        int length;    // blanks and word
        qreal leadWidth = -1;
        qreal wordWidth = -1;
    };

    void tokenize(qsizetype from);
    Token& token(qint64 number) { return tokens_[static_cast<std::size_t>(number - firstToken_)]; }
    const Token& token(qint64 number) const { return tokens_[static_cast<std::size_t>(number - firstToken_)]; }
    qint64 tokenEnd() const { return firstToken_ + static_cast<qint64>(tokens_.size()); }
    qint64 tokenAt(qint64 position) const;
    void measure(Token& token, const QFontMetricsF& metrics);
    void layOutPending();
    void layOutAgain();
    int trimFront();
    void announceAppended();
    int visibleLines() const;

    // Line i shows the characters from lineBegin(i) (its first word; blanks
    // at a wrap stay at the end of the line before) up to lineBegin(i + 1).
    qint64 lineBegin(std::size_t line) const;
    qint64 lineEnd(std::size_t line) const;
    std::size_t lineOf(qint64 position) const;
    QString lineText(std::size_t line) const;
    qreal xOf(std::size_t line, qint64 position) const;
    qint64 positionAt(std::size_t line, qreal x) const;
    qint64 positionAt(QPoint point) const;

    void moveCursor(qint64 position, bool keepAnchor);
    bool moveByKey(QKeyEvent* event);
    void selectionChanged();

    QString text_;
    qint64 firstChar_ = 0;  // position of text_[0]
    std::deque<Token> tokens_;
    qint64 firstToken_ = 0;     // number of tokens_[0]
    std::deque<qint64> lines_;  // number of each laid-out line's first token
    qint64 laidOutEnd_ = 0;     // tokens before this one are in lines_
    QHash<QString, qreal> wordWidths_;
    QTimer updateTimer_;

    qint64 anchor_ = 0;
    qint64 cursor_ = 0;
    qint64 announcedEnd_ = 0;  // assistive tools have been told of the text before this
    QString trimmedSinceAnnounced_;
};

}  // namespace vela
