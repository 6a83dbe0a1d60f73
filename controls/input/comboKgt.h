#pragma once

#include "comboHost.h"

class PropertyBag;

// The unit of a quantity, "Kg" or "t", chosen from a two-entry list beside
// every quantity field and as the grid's editor of unit columns. It keeps
// the unit code the host loads and saves; it never reads the database.
class comboKgt : public comboHost
{
    Q_OBJECT
    Q_PROPERTY(QString Field READ Field WRITE setField)
    Q_PROPERTY(int Value READ Value WRITE setValue)

public:
    explicit comboKgt(QWidget *parent = nullptr);

    QWidget *hWnd() { return this; }

    // True when the unit shown is not the one the form last had: loaded,
    // let through by the check, or found when the user came in.
    bool Changed() const;
    QString Field() const { return m_field; }
    void setField(const QString &field);
    // 1 "Kg", 2 "t"; 0 before any value was given and while no unit shows.
    int Value() const;
    // 2 selects "t"; a value stored with another type (a text that is no
    // whole number, a fraction) no unit; anything else (Null, other
    // numbers) "Kg".
    void setValue(const QVariant &value);
    // What a save writes: the unit shown, or, while none shows, the value
    // the file holds, handed back unchanged.
    QVariant valueToStore() const;

    // A value stored with another type (a text that is no whole number, a
    // fraction): no unit stands for it.
    static bool noUnit(const QVariant &Valore);
    static QString Text4Value(const QVariant &Valore);
    static int Value4Text(const QString &Testo);

    void initNewInstance();
    void readProperties(const PropertyBag &bag);
    void writeProperties(PropertyBag &bag) const;

Q_SIGNALS:
    void KeyPress(int &KeyAscii);

protected:
    void keyPress(int &KeyAscii) override;

private:
    QString m_field;
};
