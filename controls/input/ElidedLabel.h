#pragma once

#include <QLabel>

// The label for a text the program does not choose (a company's name and
// street, a file's path): it never asks its window for more room than an
// ellipsis, shows what fits in the lines it has (one, or as many as its
// height holds when it wraps words) and cuts the rest with "...", and its
// tooltip shows the whole text, wrapped to the screen. The text goes in
// through this class: QLabel::setText would show it uncut.
class ElidedLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    void setText(const QString &text);
    // The whole text, as given.
    QString text() const { return m_text; }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QStringList breakLines(int width, int most) const;
    QString fitting() const;

    QString m_text;
};
