#pragma once

#include <QHash>
#include <QVariant>
#include <QVector>

#include <array>

#include "comboHost.h"

class PropertyBag;
class QTimer;

// The Italian municipality of an address. The user types the beginning of
// the name; when the field is left, Match selects the one municipality
// found, or lists all that begin so and opens the list, or says that none
// exists. The value is the key province code × 1000 + municipality code.
class comboCom : public comboHost
{
    Q_OBJECT
    Q_PROPERTY(int BackStyle READ BackStyle WRITE setBackStyle)
    Q_PROPERTY(QString MsgRequired MEMBER MsgRequired)
    Q_PROPERTY(int Required MEMBER Required)

public:
    explicit comboCom(QWidget *parent = nullptr);

    QString MsgRequired;
    // 0 optional, 1 refused once after each load when empty, 2 always.
    int Required = 0;

    // 1 opaque; 0 shows the container's colour while the field has no focus.
    int BackStyle() const { return m_backStyle; }
    void setBackStyle(int backStyle);

    QWidget *hWnd() { return this; }

    // The key of the selected municipality, 0 for none.
    QVariant Value() const;
    void setValue(const QVariant &value);
    // Loads the municipality of these codes; its key, or 0 when there is
    // none, which leaves the field empty. Codes of another type (a text, a
    // fraction) are held as the file holds them (see comboHost::holdStored).
    int letValue(const QVariant &myProv, const QVariant &myCom);

    // The codes a save writes: the municipality's, 0 for none, or the ones
    // held as the file holds them.
    QVariant istatComune() const;
    QVariant istatProvincia() const;
    QString cap() const;
    int CCIAA() const;
    QString Provincia() const;
    QString Sigla() const;

    // Resolves the typed text; false keeps the focus in the field.
    // Modificato is true only for a municipality other than the one the
    // form last took: the same one typed or picked again is no change.
    bool Match(bool &Modificato);
    // The postal code an address shows once the municipality just taken
    // goes with it, given the code it shows now: the municipality's own
    // code when it has a single one. A city of many codes leaves the code
    // the user typed for the street, but not the single code of the
    // municipality the field held before, which is never one of its own.
    QVariant capFor(const QVariant &shown) const;

    void initNewInstance();
    void readProperties(const PropertyBag &bag);
    void writeProperties(PropertyBag &bag) const;

    // The list opens this long after a search that found several.
    QTimer *Timer1 = nullptr;

protected:
    QColor shownBackColor() const override;
    void keyPress(int &KeyAscii) override;
    void gotFocus() override;
    void lostFocus() override;
    void textEdited() override;

private:
    // One municipality of the list: its name, its key and the details the
    // getters give (postal code, chamber-of-commerce code, province name,
    // sigla).
    struct Entry
    {
        QString name;
        int key = 0;
        std::array<QString, 4> details;
    };
    // The list behind the box, replaced whole by each search: a search
    // that finds hundreds of names costs one model reset, not hundreds of
    // insertions.
    class Entries;

    void setEntries(QVector<Entry> &&entries);
    // The provinces' names and sigle, read once per database: a search
    // then reads only the municipalities' own rows.
    bool loadProvinces();
    // Match without the question of a change.
    bool resolve();
    // The form has taken this key from the field.
    void take(int key);
    // The key shown, -1 while codes are held.
    int shownKey() const;
    bool search(const QString &t);
    bool requiredCheck();
    QString detail(int column) const;

    int m_backStyle = 1;
    bool m_focused = false;
    Entries *details = nullptr;
    QHash<int, std::pair<QString, QString>> m_provinces;
    QString m_provincesOf;
    QString lastSearch;
    bool typedSinceFocus = false;
    bool requiredShown = false;
    int m_taken = 0;        // the key the form last took from the field (see shownKey)
    QString m_takenCap;     // and that municipality's own postal code
    QString m_capBefore;    // the code of the one it took before that
};
