#pragma once
// Text7, the log of received bytes. It keeps the newest kKeptCharacters of its
// text, trimmed from the front by whole lines, and is never scrolled by the
// program. A byte must cost the same however long the log has grown, so the
// text is held as short tokens ("  170": blanks, then a word) wrapped at token
// boundaries with cached widths, only the lines in view are painted, and the
// visible update waits until the events at hand are handled, so that a burst
// (the port hands over what it gathered in one notification) is laid out once
// without waking the program a second time.
#include <QAbstractScrollArea>
#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <QTimer>
#include <deque>

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

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
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
    void measure(Token& token, const QFontMetricsF& metrics);
    void layOutPending();
    void layOutAgain();
    int trimFront();
    int visibleLines() const;
    QString lineText(std::size_t line) const;

    QString text_;
    qint64 firstChar_ = 0;   // position of text_[0]
    std::deque<Token> tokens_;
    qint64 firstToken_ = 0;  // number of tokens_[0]
    std::deque<qint64> lines_;  // number of each laid-out line's first token
    qint64 laidOutEnd_ = 0;     // tokens before this one are in lines_
    QHash<QString, qreal> wordWidths_;
    QTimer updateTimer_;
};

}  // namespace vela
