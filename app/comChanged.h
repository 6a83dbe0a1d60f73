#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVector>

// Municipalities are merged or re-coded from one year to the next: this
// reads the table of changed codes once and brings an old province,
// municipality and postal code up to date, for the companies copied over
// from the previous year.
class comChanged
{
public:
    // Reads the conversion table from the current-year database.
    comChanged();

    // The current (province, municipality, postal code) for an old triple:
    // the new codes when the old pair is listed, with the new postal code
    // where the row has one, else the input unchanged; (0, 0, Null) when
    // either old code is Null.
    QVariantList find(const QVariant &codPrv, const QVariant &codCom, const QVariant &codCap) const;

    int count() const { return m_rows.size(); }

private:
    struct Row
    {
        int prvOld;
        int comOld;
        int prvNew;
        int comNew;
        QString capNew;
    };
    // Ascending by (prvOld, comOld), which lets the scan stop early.
    QVector<Row> m_rows;
};
