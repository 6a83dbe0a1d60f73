#pragma once

#include <QFont>
#include <QPixmap>
#include <QVector>
#include <QWidget>

class PropertyBag;
class slxLabel;
class tbButton;

// The record navigator under a data-entry form's fields: first, previous,
// a label with the position ("Record 3 di 10"), next and last. It does not
// know the records: the form tells it Max and Value, answers Click (and may
// cancel it) before anything moves, and the bar then follows.
class hNav : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Appearance READ Appearance WRITE setAppearance)
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(bool ButtonsFlat READ ButtonsFlat WRITE setButtonsFlat)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(int LabelAppearance READ LabelAppearance WRITE setLabelAppearance)
    Q_PROPERTY(QString Text READ Text WRITE setText)

public:
    explicit hNav(QWidget *parent = nullptr);
    ~hNav() override;

    // Border style 0 to 9; any other value is 0 (no border).
    int Appearance() const { return m_appearance; }
    void setAppearance(int value);
    int BackColor() const;
    void setBackColor(int value);
    bool ButtonsFlat() const;
    void setButtonsFlat(bool value);
    QString Caption() const { return m_caption; }
    void setCaption(const QString &value);
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool value);
    int ForeColor() const;
    void setForeColor(int value);
    QFont Font() const;
    void setFont(const QFont &value);
    int LabelAppearance() const;
    void setLabelAppearance(int value);
    // The word in front of the position, "Record" unless the form says.
    QString Text() const { return m_text; }
    void setText(const QString &value);
    // Number of records; stored only, the next Value or refresh shows it.
    int Max() const { return m_max; }
    void setMax(int value) { m_max = value; }
    // Current position from 1; 0 or less: no position.
    int Value() const { return m_value; }
    void setValue(int value);

    // Buttons follow Value and Max; the label shows pCaption when given,
    // else the position, else (no position) the navigator's Caption.
    void refreshBarra(const QString &pCaption = QString());

    void initNewInstance();
    void readProperties(const PropertyBag &bag);
    void writeProperties(PropertyBag &bag) const;

    tbButton *button(int index) const { return tbn.value(index); }
    slxLabel *label() const { return slNav; }
    // The arrow pictures of the navigator's and the find bar's buttons:
    // 0 first, 1 previous, 2 next, 3 last.
    static QPixmap buttonPicture(int index);
    // The bars' own border styles: the edge flags of appearance (0 for none
    // or the one-pixel outline of style 1) and the border width in pixels;
    // an unknown style becomes 0.
    static int borderEdge(int &appearance, int &borderPixels);
    static void paintBorder(QWidget *bar, int appearance, int edge);
    // Places first and previous at the left, the middle control (label or
    // search text) across the rest and next and last at its right end.
    static void layoutBar(const QVector<tbButton *> &buttons, QWidget *middle, int border, int middleTop);

Q_SIGNALS:
    void Click(bool &Cancel, int &Bottone);
    // A design-time property changed; the key is its layout key.
    void PropertyChanged(const QString &key);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void applyAppearance();
    void press(int index);
    void changed(const char *key);

    QVector<tbButton *> tbn;
    slxLabel *slNav;
    int m_appearance = 0;
    QString m_caption;
    bool m_enabled = true;
    int m_max = 0;
    QString m_text;
    int m_value = 0;
    QString m_savedCaption;
    int m_border = 0;
    int m_edge = 0;
};
