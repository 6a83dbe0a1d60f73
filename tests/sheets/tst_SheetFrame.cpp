#include <QVBoxLayout>
#include <QtTest>

#include "DatabaseProbe.h"
#include "Logo.h"
#include "MainWindowTestCase.h"
#include "MessageBoxSeam.h"
#include "PickerForm.h"
#include "Recordset.h"
#include "SheetFrame.h"
#include "dbClass.h"
#include "hNav.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "slxButton.h"
#include "slxText.h"
#include "tbButton.h"

using MessageBoxSeam::vbCancel;
using MessageBoxSeam::vbNo;
using MessageBoxSeam::vbYes;

namespace {
const char *const rows = "INSERT INTO SezCons (scID, saID, rifCod) VALUES "
                         "(1, 7, '150101'), (2, 7, '150102'), (3, 7, '150103');\n";

// The smallest form on the frame: one code field over the cards of
// declaration 7, a save button and a navigator. An empty code is refused.
class CardSheet : public SheetFrame
{
public:
    explicit CardSheet(int formCode) : SheetFrame(formCode)
    {
        setWindowTitle(QStringLiteral("Scheda prova"));
        auto *box = new QVBoxLayout(this);
        code = new slxText(this);
        save = new slxButton(this);
        nav = new hNav(this);
        box->addWidget(code);
        box->addWidget(save);
        box->addWidget(nav);
        setSaveButton(save);
        setNavigator(nav);
        schedeRs = modMain::gDb->kezRs(QStringLiteral("SELECT * FROM SezCons WHERE saID = 7 ORDER BY scID"),
                                       {}, Recordset::adLockOptimistic);
        nav->setMax(schedeRs->RecordCount());
        nav->setValue(1);
        caricaScheda();
    }

    void change(const QString &text)
    {
        code->setValue(text);
        setModificata();
    }

    slxText *code;
    slxButton *save;
    hNav *nav;

protected:
    bool salvaScheda() override
    {
        if (code->isEmpty())
            return modFunz::warnMsg(QStringLiteral("Codice richiesto."));
        schedeRs->setValue(QStringLiteral("rifCod"), code->Value());
        schedeRs->Update();
        setSalvata();
        return false;
    }
    void caricaScheda() override
    {
        code->setValue(schedeRs->value(QStringLiteral("rifCod")));
        setSalvata();
    }
    slxText *primoCampo() const override { return code; }
};

// Lets the windows closed by the last action go.
void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}

// The frame shared by the section sheets and the module forms: the save
// questions on closing (whoever closes) and moving, and the splash.
// Child forms below a sheet are tested with the consortia sheet's.
class tst_SheetFrame : public MainWindowTestCase
{
    Q_OBJECT

    enum Closing { Esc, CloseBox, SideBar, Quit };

    CardSheet *openSheet()
    {
        if (!startProgram(ShellFixture::lookupRows() + QString::fromUtf8(rows)))
            return nullptr;
        modMain::gMain->resize(900, 700);
        modMain::gMain->show();
        modMain::closeChildForms(5);
        auto *sheet = new CardSheet(5);
        sheet->showInMain();
        QCoreApplication::processEvents();
        return sheet;
    }

    static QString stored(int scID)
    {
        Recordset rs;
        rs.open(QStringLiteral("SELECT rifCod FROM SezCons WHERE scID = ?"), &modMain::gDb->kezCnn,
                Recordset::adLockReadOnly, {scID});
        return rs.value(0).toString();
    }

private Q_SLOTS:
    void closing_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("stored");
        // However the sheet is closed (its own Esc, the close box, the side
        // bar opening another sheet, quitting), its changes are asked for.
        const char *const ways[] = {"Esc, ", "close box, ", "side bar, ", "quit, "};
        for (int how : {Esc, CloseBox, SideBar, Quit}) {
            const QByteArray by = ways[how];
            QTest::newRow(by + "Yes saves") << how << "200101" << int(vbYes) << true << "200101";
            QTest::newRow(by + "No drops") << how << "200101" << int(vbNo) << true << "150101";
            QTest::newRow(by + "Cancel stays") << how << "200101" << int(vbCancel) << false << "150101";
            QTest::newRow(by + "Yes refused stays") << how << "" << int(vbYes) << false << "150101";
            QTest::newRow(by + "unchanged, no question") << how << "" << 0 << true << "150101";
        }
    }

    void closing()
    {
        QFETCH(int, how);
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(QString, stored);
        QPointer<CardSheet> sheet = openSheet();
        QVERIFY(sheet);
        const QString database = fx->folder() + QStringLiteral("Kez22imb.db");
        QCOMPARE(modMain::currentForm, 5);
        QVERIFY(!Logo::instance());
        if (answer)
            sheet->change(typed);
        sheet->code->setFocus();
        if (answer)
            MessageBoxSeam::pushAnswer(answer);
        if (how == Esc)
            QTest::keyClick(sheet->code, Qt::Key_Escape);
        else if (how == CloseBox)
            sheet->parentWidget()->close();
        else if (how == SideBar)
            QCOMPARE(modMain::closeChildForms(1), closes);
        else
            QCOMPARE(modMain::gMain->close(), closes);
        settle();

        QStringList expected;
        if (answer)
            expected << SheetFrame::promptModificata();
        if (answer == vbYes && typed.isEmpty())
            expected << QStringLiteral("Codice richiesto.");
        QCOMPARE(TestSupport::takeMessages(), expected);
        QCOMPARE(sheet.isNull(), closes);
        QVERIFY(modMain::closeRound == modMain::CloseRound::None);
        // The program goes on whenever its sheet stays.
        QCOMPARE(modMain::gMain.isNull(), how == Quit && closes);
        if (how != Quit)
            QCOMPARE(bool(Logo::instance()), closes && how != SideBar);
        if (!closes) {
            QVERIFY(sheet->isModificata());
            QCOMPARE(modMain::currentForm, 5);
        }
        DatabaseProbe probe;
        QVERIFY(probe.open(database, true));
        QCOMPARE(probe.scalar(QStringLiteral("SELECT rifCod FROM SezCons WHERE scID = 1")).toString(), stored);
    }

    void moving_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        QTest::newRow("Yes saves and moves") << int(vbYes) << "200101" << 2 << "150102" << "200101";
        QTest::newRow("No drops and moves") << int(vbNo) << "200101" << 2 << "150102" << "150101";
        QTest::newRow("Cancel keeps the card") << int(vbCancel) << "200101" << 1 << "200101" << "150101";
        QTest::newRow("Yes refused keeps the card") << int(vbYes) << "" << 1 << "" << "150101";
    }

    void moving()
    {
        QFETCH(int, answer);
        QFETCH(QString, typed);
        QFETCH(int, position);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        QPointer<CardSheet> sheet = openSheet();
        sheet->change(typed);
        MessageBoxSeam::pushAnswer(answer);
        QTest::mouseClick(sheet->nav->button(2), Qt::LeftButton, {}, sheet->nav->button(2)->rect().center());
        QCOMPARE(TestSupport::takeMessages().value(0), SheetFrame::promptModificata());
        QCOMPARE(sheet->nav->Value(), position);
        QCOMPARE(sheet->code->Value().toString(), shown);
        QCOMPARE(sheet->isModificata(), position == 1);
        QCOMPARE(tst_SheetFrame::stored(1), stored);
        if (position == 2)
            QCOMPARE(QApplication::focusWidget(), sheet->code->focusProxy() ? sheet->code->focusProxy()
                                                                            : sheet->code);
    }
};

QTEST_MAIN(tst_SheetFrame)
#include "tst_SheetFrame.moc"
