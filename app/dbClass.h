#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

#include "Connection.h"
#include "Recordset.h"

// The one data-access object: the current-year connection kezCnn, the
// optional previous-year connection, the shared list recordsets and a few
// lookups. Every value goes into SQL as a bound parameter.
class dbClass
{
public:
    dbClass();
    ~dbClass();
    dbClass(const dbClass &) = delete;
    dbClass &operator=(const dbClass &) = delete;

    QString kezDbFilename;
    QString oldDbFilename;
    QString kezDbVersion;
    Recordset listRs;
    std::unique_ptr<Recordset> oldRs;   // present only while the previous year is open
    Connection kezCnn;

    // Whether two names lead to one file: through a link, a relative name
    // or dot segments, or as two hard links of it.
    static bool sameFile(const QString &a, const QString &b);

    bool kezDbOpened() const;
    bool oldDbOpened() const;
    bool openKezDb();
    bool openOldDb();
    bool Execute(const QString &pSql, const QVariantList &params = {});
    // A new recordset on kezCnn that the caller owns; open mode 1 read-only,
    // 3 optimistic. A failed query shows the error box and gives a closed
    // recordset, so the program goes on.
    std::unique_ptr<Recordset> kezRs(const QString &SqlString, const QVariantList &params = {},
                                     int openMode = Recordset::adLockReadOnly);
    // Reopen the shared recordset; true when it has a row. A failed query
    // shows the error box and gives false.
    bool listRsOpen(const QString &SqlString, const QVariantList &params = {});
    void oldDbClose();
    bool oldRsOpen(const QString &SqlString, const QVariantList &params = {});
    Connection *oldCn() const { return m_oldCn.get(); }
    // Municipality name, postal code, province name and abbreviation, or a
    // null QVariant when the pair is unknown or a code is Null.
    QVariant comuneDaIstat(const QVariant &IstatProv, const QVariant &IstatCom);

private:
    // Drops the previous year's path, in the INI too.
    void forgetOldDb();

    std::unique_ptr<Connection> m_oldCn;
};
