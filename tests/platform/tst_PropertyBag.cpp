#include <QTest>

#include "PropertyBag.h"

// A layout stores only what differs from the defaults.
class tst_PropertyBag : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void defaultsAreNotStored()
    {
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("MaxLength"), 0, 0);
        bag.WriteProperty(QStringLiteral("Caption"), QStringLiteral("Salva"), QString());
        QCOMPARE(bag.count(), 1);
        QCOMPARE(bag.ReadProperty(QStringLiteral("MaxLength"), 7).toInt(), 7);
        QCOMPARE(bag.ReadProperty(QStringLiteral("Caption")).toString(), QStringLiteral("Salva"));
    }

    void numbersOfOtherTypesMatchTheirDefault()
    {
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("BackColor"), qint64(-2147483643), int(0x80000005u));
        QCOMPARE(bag.count(), 0);
        bag.WriteProperty(QStringLiteral("Locked"), false, 0);
        QCOMPARE(bag.count(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_PropertyBag)
#include "tst_PropertyBag.moc"
