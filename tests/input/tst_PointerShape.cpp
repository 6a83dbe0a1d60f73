#include <QTest>

#include "PropertyBag.h"
#include "slxButton.h"
#include "slxLabel.h"
#include "tbButton.h"

// The pointer a form's author chose over a button or a label: shown over
// the control, saved with the form and shown again when it is read back.
class tst_PointerShape : public QObject
{
    Q_OBJECT

    template <typename Control>
    static void roundTrip(int pointer, bool withIcon, Qt::CursorShape shape, int kept)
    {
        QWidget form;
        Control source(&form);
        QPixmap icon(16, 16);
        icon.fill(Qt::red);
        if (withIcon)
            source.setMouseIcon(icon);
        source.setMousePointer(pointer);
        QCOMPARE(source.cursor().shape(), shape);

        PropertyBag bag;
        source.writeProperties(bag);
        QCOMPARE(bag.contains(QStringLiteral("MouseIcon")), withIcon);
        QCOMPARE(bag.contains(QStringLiteral("MousePointer")), kept != 0);

        Control copy(&form);
        copy.readProperties(bag);
        QCOMPARE(copy.MousePointer(), kept);
        QCOMPARE(copy.MouseIcon().isNull(), !withIcon);
        QCOMPARE(copy.cursor().shape(), shape);
    }

private Q_SLOTS:
    void pointerIsShownSavedAndReadBack_data()
    {
        QTest::addColumn<int>("pointer");
        QTest::addColumn<bool>("withIcon");
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("kept");
        QTest::newRow("default") << 0 << false << int(Qt::ArrowCursor) << 0;
        QTest::newRow("I-beam") << 3 << false << int(Qt::IBeamCursor) << 3;
        QTest::newRow("hourglass") << 11 << false << int(Qt::WaitCursor) << 11;
        QTest::newRow("custom icon") << 99 << true << int(Qt::BitmapCursor) << 99;
        QTest::newRow("custom without icon") << 99 << false << int(Qt::ArrowCursor) << 99;
        // Integer property: only the low 16 bits survive.
        QTest::newRow("beyond Integer") << 65536 + 2 << false << int(Qt::CrossCursor) << 2;
    }

    void pointerIsShownSavedAndReadBack()
    {
        QFETCH(int, pointer);
        QFETCH(bool, withIcon);
        QFETCH(int, shape);
        QFETCH(int, kept);
        roundTrip<slxButton>(pointer, withIcon, Qt::CursorShape(shape), kept);
        roundTrip<slxLabel>(pointer, withIcon, Qt::CursorShape(shape), kept);
        roundTrip<tbButton>(pointer, withIcon, Qt::CursorShape(shape), kept);
    }
};

QTEST_MAIN(tst_PointerShape)
#include "tst_PointerShape.moc"
