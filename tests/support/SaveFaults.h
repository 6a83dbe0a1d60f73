#pragma once

#include <QtTest>

#include <functional>

#include "BriefLock.h"
#include "Connection.h"
#include "MessageBoxSeam.h"
#include "dbClass.h"
#include "modMain.h"

// A save of a form meeting what a clerk's machine does to it: the disk
// filling up, then space freed in the same session (SQLite undoes the whole
// transaction, as a trigger raising ROLLBACK does), or another program
// writing to the file for a second.
namespace SaveFaults {

// The error boxes shown since the last clearAsked, by the failure's own
// text: the box shows the user's words, the failure keeps SQLite's after
// them.
inline QStringList errors()
{
    QStringList texts;
    for (const MessageBoxSeam::Asked &a : MessageBoxSeam::asked())
        if (a.style == 16)
            texts << ErrInfo::current().Description.section(QStringLiteral("Dettaglio: "), 1);
    return texts;
}

inline void addRows()
{
    QTest::addColumn<int>("fault");     // 0 a full disk, 1 a brief write, 2 a lock longer than the wait
    QTest::newRow("disk full, then space freed") << 0;
    QTest::newRow("another program writes for a second") << 1;
    QTest::newRow("another program holds the file at the first save, then lets it go") << 2;
}

// Runs save() under the fault of the data row. A full disk refuses it with
// the error box and stores nothing; the same save, once there is space,
// stores with no error box. Another program's write is waited out. stored()
// reads what the save writes to table; saved is what it must read after.
inline void saveThrough(const QString &table, const std::function<void()> &save,
                        const std::function<QString()> &stored, const QString &saved)
{
    QFETCH(int, fault);
    Connection &cn = modMain::gDb->kezCnn;
    const QString before = stored();
    QVERIFY(before != saved);
    MessageBoxSeam::clearAsked();
    if (fault == 0) {
        const QString full = QStringLiteral("CREATE TRIGGER kez_full_%1 BEFORE %1 ON %2 "
                                            "BEGIN SELECT RAISE(ROLLBACK, 'disco pieno'); END;");
        QVERIFY(cn.execute(full.arg(QStringLiteral("INSERT"), table) + full.arg(QStringLiteral("UPDATE"), table)));
        save();
        QCOMPARE(errors(), QStringList(QStringLiteral("disco pieno")));
        QCOMPARE(stored(), before);
        QVERIFY(cn.execute(QStringLiteral("DROP TRIGGER kez_full_INSERT; DROP TRIGGER kez_full_UPDATE")));
        MessageBoxSeam::clearAsked();
        save();
    } else if (fault == 2) {
        BriefLock other;
        sqlite3_busy_timeout(cn.handle(), 100);
        QVERIFY(other.hold(cn.path(), 1500, "BEGIN EXCLUSIVE"));
        save();
        sqlite3_busy_timeout(cn.handle(), Connection::busyTimeout());
        QVERIFY(MessageBoxSeam::asked().value(0).text.contains(QStringLiteral("in uso da un altro programma")));
        other.release();
        MessageBoxSeam::clearAsked();
        save();
    } else {
        BriefLock other;
        QVERIFY(other.hold(cn.path(), 1000));
        save();
    }
    QCOMPARE(errors(), QStringList());
    QCOMPARE(stored(), saved);
}
}
