#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "PageTextBox.h"
#include "PropertyPageDialog.h"
#include "TestSupport.h"
#include "slxLabel.h"
#include "slxText.h"
#include "slxTextChars.h"

// The "Caratteri" page on live text fields: what it shows of the first
// selected field and what Apply writes to every selected one.
class tst_slxTextChars : public QObject
{
    Q_OBJECT

    static QString ticked(const slxTextChars &page)
    {
        QString boxes;
        for (const QCheckBox *box : page.chkChars)
            boxes += box->isChecked() ? QLatin1Char('x') : QLatin1Char('.');
        for (int i = 0; i < page.optAlt.size(); ++i) {
            if (page.optAlt[i]->isChecked())
                boxes += QLatin1Char(' ') + page.optAlt[i]->text();
        }
        return boxes;
    }

private Q_SLOTS:
    void showsFirstField_data()
    {
        QTest::addColumn<int>("characters");
        QTest::addColumn<QString>("shown");
        QTest::newRow("every character") << 63 << "xxxxx Si";
        QTest::newRow("every other wins over the list") << 96 << "..... Si";
        QTest::newRow("digits and a list") << 72 << "...x. Lista";
        QTest::newRow("blanks and letters only") << 22 << ".xx.x No";
        QTest::newRow("nothing") << 0 << "..... No";
    }

    void showsFirstField()
    {
        QFETCH(int, characters);
        QFETCH(QString, shown);
        QWidget form;
        slxText first(&form), second(&form);
        first.setCharacters(characters);
        first.setCharTable(QStringLiteral(".,-"));
        second.setCharacters(63 - characters % 64);
        slxTextChars page;
        QSignalSpy changed(&page, &PropertyPage::changed);
        page.selectionChanged({&first, &second});
        QCOMPARE(ticked(page), shown);
        QCOMPARE(page.txtAlt->text(), QStringLiteral(".,-"));
        QVERIFY(!page.isChanged());
        QCOMPARE(changed.count(), 0);
    }

    void applyWrites_data()
    {
        QTest::addColumn<int>("characters");
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("written");
        // clicks: digits 0-4 toggle a box, s/n/l choose Si/No/Lista, a is
        // "Tutti i caratteri".
        QTest::newRow("unchanged 63") << 63 << "" << "" << 63;
        QTest::newRow("96 drops the list bit") << 96 << "" << "" << 32;
        QTest::newRow("a list with only digits") << 0 << "3l" << ".,-" << 72;
        QTest::newRow("no other characters") << 63 << "n0" << "" << 30;
        QTest::newRow("all characters") << 8 << "a" << "" << 63;
    }

    void applyWrites()
    {
        QFETCH(int, characters);
        QFETCH(QString, clicks);
        QFETCH(QString, list);
        QFETCH(int, written);
        QWidget form;
        slxText first(&form), second(&form);
        slxLabel other(&form);
        first.setCharacters(characters);
        second.setCharacters(1);
        second.setCharTable(QStringLiteral("x"));
        slxTextChars page;
        page.resize(page.sizeHint());
        page.show();
        page.selectionChanged({&first, &other, &second});
        QCOMPARE(page.selection(), (QList<QWidget *>{&first, &second}));
        for (const QChar c : clicks) {
            QAbstractButton *button = page.cmdAll;
            if (c.isDigit())
                button = page.chkChars[c.digitValue()];
            else if (c != QLatin1Char('a'))
                button = page.optAlt[QStringLiteral("snl").indexOf(c)];
            QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
        }
        if (!list.isEmpty()) {
            page.txtAlt->setFocus();
            QTest::keyClicks(page.txtAlt, list);
        }
        QCOMPARE(page.isChanged(), !clicks.isEmpty());
        page.applyChanges();
        QVERIFY(!page.isChanged());
        for (const slxText *field : {&first, &second}) {
            QCOMPARE(field->Characters(), written);
            QCOMPARE(field->CharTable(), list);
        }
    }

    void dialogEnablesApply()
    {
        QWidget form;
        slxText field(&form);
        PropertyPageDialog dialog;
        const QList<PropertyPage *> pages = PropertyPageDialog::pagesFor(&field);
        QCOMPARE(pages.size(), 2);
        for (PropertyPage *page : pages)
            dialog.addPage(page);
        dialog.selectionChanged({&field});
        dialog.show();
        QVERIFY(!dialog.applyButton()->isEnabled());
        auto *chars = qobject_cast<slxTextChars *>(pages.first());
        QTest::mouseClick(chars->chkChars[4], Qt::LeftButton, {}, QPoint(8, 8));
        QVERIFY(dialog.applyButton()->isEnabled());
        TestSupport::grab(&dialog, QStringLiteral("designer_slxTextChars"));
        QTest::mouseClick(dialog.applyButton(), Qt::LeftButton);
        QCOMPARE(field.Characters(), 47);
        QVERIFY(!dialog.applyButton()->isEnabled());
        QVERIFY(!PropertyPageDialog::hasPages(&form));
    }
};

QTEST_MAIN(tst_slxTextChars)
#include "tst_slxTextChars.moc"
