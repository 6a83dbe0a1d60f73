#pragma once

#include <QVector>

#include "PropertyPage.h"

class PageTextBox;
class QCheckBox;
class QComboBox;

// The "Dati" page of the text field: the data type and the options of
// typing and display.
class slxTextData : public PropertyPage
{
    Q_OBJECT

public:
    explicit slxTextData(QWidget *parent = nullptr);

    QString caption() const override;
    bool serves(const QWidget *control) const override;

    // List index = property value.
    QComboBox *cmbType = nullptr;
    QComboBox *cmbAlign = nullptr;
    QComboBox *cmbMulti = nullptr;
    QComboBox *cmbScroll = nullptr;
    QComboBox *cmbData = nullptr;
    // MaxLength, DisplayMask, IntDigits, DecDigits, Field.
    QVector<PageTextBox *> slt;
    // Negative, ShowThouSep, ShowZero, AutoTab, Locked.
    QVector<QCheckBox *> chk;

protected:
    void fill(QWidget *first) override;
    void apply(const QList<QWidget *> &controls) override;

private:
    QComboBox *addCombo(const char *name, const QStringList &items);
    void writeChoice(QWidget *field, const char *key, const QComboBox *box);
};
