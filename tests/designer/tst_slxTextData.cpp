#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

#include "PageTextBox.h"
#include "PropertyPageDialog.h"
#include "TestSupport.h"
#include "slxText.h"
#include "slxTextData.h"

// The "Dati" page on live text fields: the type and the options it shows,
// what Apply writes, and its digit-only boxes.
class tst_slxTextData : public QObject
{
    Q_OBJECT

    static void choose(QComboBox *box, int index)
    {
        box->setFocus();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    // Focus moves between the page's boxes only in the active window.
    static bool showActive(QWidget *page)
    {
        page->show();
        return TestSupport::activate(page);
    }

private Q_SLOTS:
    void showsFirstField()
    {
        QWidget form;
        slxText first(&form), second(&form);
        first.setControlType(slxText::Decimale);
        first.setAlignment(1);
        first.setMultiLine(2);
        first.setScrollBars(3);
        first.setDateFormat(2);
        first.setMaxLength(40);
        first.setDisplayMask(QStringLiteral(">"));
        first.setIntDigits(7);
        first.setDecDigits(3);
        first.setField(QStringLiteral("scQta"));
        first.setNegativeNumbers(true);
        first.setShowThouSep(false);
        first.setShowZero(false);
        first.setAutoTab(false);
        first.setLocked(true);
        slxTextData page;
        QSignalSpy changed(&page, &PropertyPage::changed);
        page.selectionChanged({&first, &second});
        QCOMPARE(page.cmbType->currentText(), QStringLiteral("Decimale"));
        QCOMPARE(page.cmbAlign->currentText(), QStringLiteral("a destra"));
        QCOMPARE(page.cmbMulti->currentText(), QStringLiteral("Invio nuova riga"));
        QCOMPARE(page.cmbScroll->currentText(), QStringLiteral("Entrambe"));
        QCOMPARE(page.cmbData->currentText(), QStringLiteral("Data lunga"));
        QStringList texts;
        for (const PageTextBox *box : page.slt)
            texts << box->text();
        QCOMPARE(texts, (QStringList{"40", ">", "7", "3", "scQta"}));
        QString checks;
        for (const QCheckBox *box : page.chk)
            checks += box->isChecked() ? QLatin1Char('x') : QLatin1Char('.');
        QCOMPARE(checks, QStringLiteral("x...x"));
        QCOMPARE(changed.count(), 0);
        QVERIFY(!page.isChanged());
        page.resize(page.sizeHint());
        TestSupport::grab(&page, QStringLiteral("designer_slxTextData"));
    }

    void typeBeforeDecimals_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("decimals");
        QTest::addColumn<int>("written");
        QTest::newRow("currency keeps 2") << int(slxText::Valuta) << "3" << 2;
        QTest::newRow("whole numbers keep 0") << int(slxText::Intero) << "3" << 0;
        QTest::newRow("decimals take the box") << int(slxText::Decimale) << "3" << 3;
        QTest::newRow("an emptied box is 0") << int(slxText::Decimale) << "" << 0;
    }

    void typeBeforeDecimals()
    {
        QFETCH(int, type);
        QFETCH(QString, decimals);
        QFETCH(int, written);
        QWidget form;
        slxText first(&form), second(&form);
        // A currency field takes the decimals of a decimal type only when
        // the type is written first.
        second.setControlType(slxText::Valuta);
        slxTextData page;
        QVERIFY(showActive(&page));
        page.selectionChanged({&first, &second});
        choose(page.cmbType, type);
        page.slt[3]->setFocus();
        page.slt[3]->selectAll();
        QTest::keyClick(page.slt[3], Qt::Key_Delete);
        QTest::keyClicks(page.slt[3], decimals);
        page.slt[4]->setFocus();
        QCOMPARE(page.slt[3]->text(), decimals.isEmpty() ? QStringLiteral("0") : decimals);
        QVERIFY(page.isChanged());
        page.applyChanges();
        for (const slxText *field : {&first, &second}) {
            QCOMPARE(field->ControlType(), type);
            QCOMPARE(field->DecDigits(), written);
        }
    }

    void appliesEveryOption()
    {
        QWidget form;
        slxText first(&form), second(&form);
        slxTextData page;
        QVERIFY(showActive(&page));
        page.selectionChanged({&first, &second});
        choose(page.cmbAlign, 2);
        choose(page.cmbMulti, 1);
        choose(page.cmbScroll, 2);
        choose(page.cmbData, 1);
        page.slt[0]->setFocus();
        QTest::keyClicks(page.slt[0], QStringLiteral("25"));
        page.slt[1]->setFocus();
        QTest::keyClicks(page.slt[1], QStringLiteral("@@"));
        page.slt[4]->setFocus();
        QTest::keyClicks(page.slt[4], QStringLiteral("ditRagSoc"));
        for (QCheckBox *box : page.chk)
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        page.applyChanges();
        for (const slxText *field : {&first, &second}) {
            QCOMPARE(field->Alignment(), 2);
            QCOMPARE(field->MultiLine(), 1);
            QCOMPARE(field->ScrollBars(), 2);
            QCOMPARE(field->DateFormat(), 1);
            QCOMPARE(field->MaxLength(), 25);
            QCOMPARE(field->DisplayMask(), QStringLiteral("@@"));
            QCOMPARE(field->Field(), QStringLiteral("ditRagSoc"));
            QCOMPARE(field->NegativeNumbers(), true);
            QCOMPARE(field->ShowThouSep(), false);
            QCOMPARE(field->ShowZero(), false);
            QCOMPARE(field->AutoTab(), false);
            QCOMPARE(field->Locked(), true);
        }
    }

    void digitBoxes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letters typed are dropped") << "1a2" << "" << "12";
        QTest::newRow("digits pasted") << "1" << "23" << "123";
        QTest::newRow("a paste with a letter is refused") << "1" << "2x" << "1";
        QTest::newRow("a negative paste is refused") << "" << "-5" << "0";
        QTest::newRow("a decimal paste is refused") << "4" << "1,5" << "4";
        QTest::newRow("left empty") << "" << "" << "0";
    }

    void digitBoxes()
    {
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QFETCH(QString, shown);
        QWidget form;
        slxText field(&form);
        slxTextData page;
        QVERIFY(showActive(&page));
        page.selectionChanged({&field});
        PageTextBox *box = page.slt[0];
        box->setFocus();
        box->clear();
        QTest::keyClicks(box, typed);
        if (!pasted.isEmpty()) {
            QApplication::clipboard()->setText(pasted);
            QTest::keySequence(box, QKeySequence::Paste);
        }
        page.slt[1]->setFocus();
        QCOMPARE(box->text(), shown);
        page.applyChanges();
        QCOMPARE(field.MaxLength(), shown.toInt());
    }

    void enteringSelectsAll()
    {
        slxTextData page;
        QVERIFY(showActive(&page));
        page.slt[1]->setText(QStringLiteral("abc"));
        QTest::mouseClick(page.slt[1], Qt::LeftButton);
        QTRY_COMPARE(page.slt[1]->selectedText(), QStringLiteral("abc"));
    }
};

QTEST_MAIN(tst_slxTextData)
#include "tst_slxTextData.moc"
