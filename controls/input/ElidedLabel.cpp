#include "ElidedLabel.h"

#include <QHelpEvent>
#include <QTextLayout>
#include <QToolTip>

ElidedLabel::ElidedLabel(QWidget *parent) : QLabel(parent)
{
    // A name typed with markup in it is shown as typed.
    setTextFormat(Qt::PlainText);
}

void ElidedLabel::setText(const QString &text)
{
    m_text = text;
    setToolTip(text);
    QLabel::setText(fitting());
}

QSize ElidedLabel::minimumSizeHint() const
{
    const QMargins frame = contentsMargins();
    return QSize(fontMetrics().horizontalAdvance(QStringLiteral("…")) + 2 * margin() + frame.left() + frame.right(),
                 fontMetrics().height() + 2 * margin() + frame.top() + frame.bottom());
}

QSize ElidedLabel::sizeHint() const
{
    return minimumSizeHint();
}

bool ElidedLabel::event(QEvent *event)
{
    // Qt shows a plain tooltip on one line however long, and markup in it
    // as markup: the whole text goes out escaped, in lines that fit.
    if (event->type() == QEvent::ToolTip && !m_text.isEmpty()) {
        QStringList lines = breakLines(80 * fontMetrics().averageCharWidth(), INT_MAX);
        for (QString &line : lines)
            line = line.toHtmlEscaped();
        QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(),
                           QStringLiteral("<p>") + lines.join(QStringLiteral("<br>")) + QStringLiteral("</p>"), this);
        return true;
    }
    return QLabel::event(event);
}

void ElidedLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    QLabel::setText(fitting());
}

void ElidedLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        QLabel::setText(fitting());
}

// The text in lines of at most width pixels, broken between words or, in a
// word longer than a line, anywhere; the last of the most lines holds all
// the rest. A line break stored in the text is a space: each line is one.
QStringList ElidedLabel::breakLines(int width, int most) const
{
    QString text = m_text;
    for (QChar &c : text)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line
            || c.category() == QChar::Separator_Paragraph)
            c = u' ';
    QTextLayout layout(text, font());
    QTextOption wrap;
    wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(wrap);
    layout.beginLayout();
    QStringList lines;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), lines.size() == most - 1 ? -1 : line.textLength());
        if (lines.size() == most)
            break;
    }
    layout.endLayout();
    return lines;
}

QString ElidedLabel::fitting() const
{
    // QLabel sets a framed text in by half an "x" when no indent is given.
    const QFontMetrics metrics = fontMetrics();
    const int indent = this->indent() >= 0 ? this->indent()
                                           : (frameWidth() > 0 ? metrics.horizontalAdvance(u'x') / 2 : 0);
    const QRect room = contentsRect().adjusted(margin() + indent, margin(), -margin(), -margin());
    QStringList lines = breakLines(room.width(), wordWrap() ? qMax(1, room.height() / metrics.lineSpacing()) : 1);
    if (!lines.isEmpty())
        lines.last() = metrics.elidedText(lines.last(), Qt::ElideRight, room.width());
    return lines.join(u'\n');
}
