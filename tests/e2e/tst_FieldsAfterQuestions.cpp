#include <QAbstractButton>
#include <QMessageBox>
#include <QScopeGuard>
#include <QtTest>

#include "DatabaseProbe.h"
#include "DialogDriver.h"
#include "MainWindowTestCase.h"
#include "MessageBoxSeam.h"
#include "SezAnag.h"
#include "ShellFixture.h"
#include "TestSupport.h"
#include "hNav.h"
#include "mainForm.h"
#include "modMain.h"
#include "slxText.h"
#include "tbButton.h"

namespace {
// A company with three local units, each with its own number of employees.
const char *const units =
    "INSERT INTO Attivita (attCod, attDesc) VALUES ('011110', 'Coltivazione di cereali');"
    "INSERT INTO SezAnag (saID, saAnno, codFisc, ragSoc, REA, prvIstat, comIstat, via, civico, cap, "
    "attIstat, Addetti, Mesi, slPrvIstat, slComIstat, slVia, saCognome, saNome, saDataComp) VALUES "
    "(20, 2021, '05555555555', 'BIANCHI SRL', 11, 15, 146, 'Via Po', '3', '20121', '011110', 5, 12, "
    "15, 146, 'Via Po', 'BIANCHI', 'ANNA', '2022-01-10'),"
    "(21, 2021, '05555555555', 'BIANCHI SRL', 12, 58, 91, 'Via Tevere', '1', '00118', '011110', 1234, 6, "
    "15, 146, 'Via Po', 'BIANCHI', 'ANNA', '2022-01-10'),"
    "(22, 2021, '05555555555', 'BIANCHI SRL', 13, 25, 6, 'Via Piave', '9', '32100', '011110', 2, 12, "
    "15, 146, 'Via Po', 'BIANCHI', 'ANNA', '2022-01-10');";
}

// A question in a real message box takes the focus from the field being
// typed in; once it is answered and the form has moved on, that field is
// shown as any field not being edited: a number right-aligned and grouped,
// on every record that follows.
class tst_FieldsAfterQuestions : public MainWindowTestCase
{
    Q_OBJECT

    SezAnag *sheet = nullptr;

    bool open()
    {
        if (!startProgram(ShellFixture::lookupRows() + QLatin1String(units), QStringLiteral("[Kez]\nSa1ID=20\n"))
            || !showMainWindow(QSize(1000, 720)))
            return false;
        modMain::gMain->vBar1_Click(1, false);
        QCoreApplication::processEvents();
        sheet = modMain::gMain->findChild<SezAnag *>();
        return sheet && sheet->isVisible();
    }

    void next()
    {
        tbButton *b = sheet->nav->button(2);
        QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
        QCoreApplication::processEvents();
    }

    // The user answers the next real box by clicking one of its buttons,
    // once the box has taken the focus.
    static void answerNextBox(QMessageBox::StandardButton answer)
    {
        DialogDriver::onNextDialog([answer](QWidget *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            QVERIFY(box);
            QVERIFY(TestSupport::activate(box));
            QTest::mouseClick(box->button(answer), Qt::LeftButton);
        });
    }

    // Shown, not edited: the display text, in a box hugging it on the right.
    static void verifyShown(slxText *field, const QString &text)
    {
        QCOMPARE(field->Text(), text);
        const QRect box = field->textBox()->geometry();
        QVERIFY2(box.center().x() > field->width() / 2, qPrintable(field->objectName()));
    }

private Q_SLOTS:
    void numbersAreShownAfterTheSaveQuestion_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("stored");
        QTest::newRow("employees typed, saved") << 10 << int(QMessageBox::Yes) << "7|12";
        QTest::newRow("employees typed, not saved") << 10 << int(QMessageBox::No) << "5|12";
        QTest::newRow("months typed, saved") << 11 << int(QMessageBox::Yes) << "5|7";
        QTest::newRow("months typed, not saved") << 11 << int(QMessageBox::No) << "5|12";
    }
    void numbersAreShownAfterTheSaveQuestion()
    {
        QFETCH(int, field);
        QFETCH(int, answer);
        QVERIFY(open());
        slxText *employees = sheet->slt[10];
        slxText *months = sheet->slt[11];
        slxText *typed = sheet->slt[field];
        typed->setFocus();
        QTRY_VERIFY(typed->textBox()->hasFocus());
        TestSupport::typeText(typed->textBox(), QStringLiteral("7"));

        MessageBoxSeam::setScripted(false);
        const auto scriptedAgain = qScopeGuard([] {
            MessageBoxSeam::setScripted(true);
            DialogDriver::cancelPending();
        });
        answerNextBox(QMessageBox::StandardButton(answer));
        next();
        QTRY_VERIFY(DialogDriver::allRan());
        MessageBoxSeam::setScripted(true);
        QCOMPARE(MessageBoxSeam::asked().size(), 1);
        QCOMPARE(MessageBoxSeam::asked().first().text, QStringLiteral("Attenzione, anagrafica modificata, vuoi salvarla?"));
        QCOMPARE(sheet->nav->Value(), 2);
        QTRY_VERIFY(modMain::gMain->isActiveWindow());
        QCoreApplication::processEvents();
        verifyShown(employees, QStringLiteral("1.234"));
        verifyShown(months, QStringLiteral("6"));
        TestSupport::grab(sheet, QStringLiteral("registry-after-save-question"));

        next();
        QCOMPARE(sheet->nav->Value(), 3);
        verifyShown(employees, QStringLiteral("2"));
        verifyShown(months, QStringLiteral("12"));

        DatabaseProbe db;
        QVERIFY(db.open(fx->folder() + QStringLiteral("/Kez22imb.db"), true));
        QTEST(db.scalar(QStringLiteral("SELECT Addetti || '|' || Mesi FROM SezAnag WHERE saID = 20")).toString(),
              "stored");
    }
};

QTEST_MAIN(tst_FieldsAfterQuestions)
#include "tst_FieldsAfterQuestions.moc"
