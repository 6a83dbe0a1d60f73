#pragma once

#include <QVector>

#include "PropertyPage.h"

class PageTextBox;
class QCheckBox;
class QPushButton;
class QRadioButton;

// The "Caratteri" page of the text field: which characters a text field
// accepts (Characters) and the list of further ones (CharTable).
class slxTextChars : public PropertyPage
{
    Q_OBJECT

public:
    explicit slxTextChars(QWidget *parent = nullptr);

    QString caption() const override;
    bool serves(const QWidget *control) const override;

    // Ascii > 127, upper-case letters, lower-case letters, digits, blanks:
    // box i stands for bit 2^i of Characters.
    QVector<QCheckBox *> chkChars;
    // "Si" every other character, "No" none, "Lista" those of txtAlt.
    QVector<QRadioButton *> optAlt;
    PageTextBox *txtAlt = nullptr;
    QPushButton *cmdAll = nullptr;

protected:
    void fill(QWidget *first) override;
    void apply(const QList<QWidget *> &controls) override;

private:
    void selectAllCharacters();
};
