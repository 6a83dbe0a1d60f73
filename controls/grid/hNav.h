#pragma once

#include <QFont>

#include "ArrowBar.h"

class PropertyBag;
class slxLabel;

// The record navigator under a data-entry form's fields: first, previous,
// a label with the position ("Record 3 di 10"), next and last. It does not
// know the records: the form tells it Max and Value, answers Click (and may
// cancel it) before anything moves, and the bar then follows.
class hNav : public ArrowBar
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

    int BackColor() const;
    void setBackColor(int value);
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

    slxLabel *label() const { return slNav; }

Q_SIGNALS:
    void Click(bool &Cancel, int &Bottone);

protected:
    void resizeEvent(QResizeEvent *event) override;
    int innerHeight() const override;

private:
    void press(int index);

    slxLabel *slNav;
    QString m_caption;
    bool m_enabled = true;
    int m_max = 0;
    QString m_text;
    int m_value = 0;
    QString m_savedCaption;
    // The label shows the position (not a caption of the form's), now and
    // when the navigator was disabled.
    bool m_showsPosition = false;
    bool m_savedPosition = false;
};
