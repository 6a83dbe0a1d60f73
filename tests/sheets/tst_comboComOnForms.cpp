#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QtTest>

#include <functional>

#include "ModFrame.h"
#include "ModuleTestCase.h"
#include "Registra.h"
#include "SezAnag.h"
#include "TestSupport.h"
#include "comboCom.h"
#include "mainForm.h"
#include "modMain.h"
#include "slxButton.h"
#include "slxText.h"

namespace {
// Every address below starts in ROMA with a postal code of the street
// (00199), not the city's own one (00118). TORINO stands for the cities
// of many codes, which have none of their own in the table; ROMANO
// CANAVESE makes "ROM" find two names.
const char *const addresses =
    "INSERT INTO Province (prvIstat, prvDesc, prvSigla, prvCCIAA) VALUES (1, 'TORINO', 'TO', 1);"
    "INSERT INTO Comuni (prvIstat, comIstat, comDesc, comCap) VALUES (1, 272, 'TORINO', ''),"
    "(1, 225, 'ROMANO CANAVESE', '10090');"
    "UPDATE SezAnag SET cap = '00199', attIstat = '10.11', Addetti = 3, Mesi = 12, slPrvIstat = 58,"
    " slComIstat = 91, slVia = 'VIA APPIA', slCAP = '00199', saCognome = 'ROSSI', saNome = 'MARIO',"
    " saDataComp = '2022-01-10' WHERE saID = 7;"
    "UPDATE Setup SET prvIstat = 58, comIstat = 91, via = 'VIA APPIA', cap = '00199';"
    "INSERT INTO ModCons (mdcID, scID, mdcTipo, codFisc, ragSoc, prvIstat, comIstat, via, civico, cap,"
    " nazID, regCE, mdcQta, mdcUmi, mdcAtt, mdcSup) VALUES (11, 1, 1, '01234567897', 'PRIMA SRL', 58,"
    " 91, 'VIA UNO', '1', '00199', 0, NULL, 15000, 1, '381100', 2);";
}

// The municipality picker on every form that keeps an address: the
// registry sheet (both its addresses), the origin module and the user's
// own data. The form fills the postal code from the municipality chosen
// when it has one code, keeps the street's code for a city of many, and
// does nothing when the user picks again the municipality it shows.
class tst_comboComOnForms : public ModuleTestCase
{
    Q_OBJECT

    // One address of one form, as the test drives and reads it.
    struct Address
    {
        comboCom *com = nullptr;
        slxText *cap = nullptr;
        std::function<bool()> modified;
        // True when the form stored what it shows.
        std::function<bool()> save;
        // The stored municipality and postal code, "comIstat|cap".
        QString row;
    };

    Address open(const QString &form)
    {
        if (form == QLatin1String("module")) {
            ModFrame *module = openModules(31, QString::fromUtf8(addresses));
            if (!module || module->idModulo != 11)
                return {};
            return {module->cmbCom, module->slt[5], [module] { return module->isModificata(); },
                    [module] { return !module->salvaModulo(); },
                    QStringLiteral("SELECT comIstat || '|' || ifnull(cap, '-') FROM ModCons WHERE mdcID = 11")};
        }
        if (!startProgram(fixtureRows() + QString::fromUtf8(addresses), QStringLiteral("[Kez]\nSa1ID=7\n")))
            return {};
        if (form == QLatin1String("user")) {
            // Owned by the main window, it goes with it after the test.
            auto *r = new Registra(modMain::gMain);
            r->show();
            if (!TestSupport::activate(r))
                return {};
            return {r->cmbCom, r->slt[5], [r] { return r->slb[0]->Enabled(); }, [r] { return !r->Save(); },
                    QStringLiteral("SELECT comIstat || '|' || ifnull(cap, '-') FROM Setup")};
        }
        if (!showMainWindow(QSize(1000, 720)))
            return {};
        modMain::gMain->vBar1_Click(1, false);
        QPointer<SezAnag> sheet = modMain::gMain->findChild<SezAnag *>();
        if (!sheet || sheet->saIDCorrente() != 7)
            return {};
        const bool office = form == QLatin1String("registry office");
        return {sheet->cmbCom[office ? 1 : 0], sheet->slt[office ? 15 : 6],
                [sheet] { return sheet->modificata(); }, [sheet] { return !sheet->salvaScheda(); },
                office ? QStringLiteral("SELECT slComIstat || '|' || ifnull(slCAP, '-') FROM SezAnag WHERE saID = 7")
                       : QStringLiteral("SELECT comIstat || '|' || ifnull(cap, '-') FROM SezAnag WHERE saID = 7")};
    }

    // The user replaces the text of a field and leaves it with Tab. A
    // dialog takes the focus a moment after it is asked to.
    static void enter(QWidget *field, const QString &text)
    {
        field->setFocus();
        QTRY_VERIFY(field == QApplication::focusWidget() || field->isAncestorOf(QApplication::focusWidget()));
        typeAndLeave(field, text);
        QTRY_VERIFY(!field->isAncestorOf(QApplication::focusWidget()) && field != QApplication::focusWidget());
    }

    // The user opens the list with the beginning "ROM" and clicks ROMA.
    static void pickRomaFromTheList(comboCom *com)
    {
        com->setFocus();
        QTRY_VERIFY(com->comboBox()->hasFocus());
        QComboBox *box = com->comboBox();
        box->lineEdit()->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, QStringLiteral("ROM"));
        QTest::keyClick(box, Qt::Key_Tab);
        QTRY_VERIFY(box->view()->isVisible());
        QAbstractItemView *view = box->view();
        QCOMPARE(view->model()->index(0, 0).data().toString(), QStringLiteral("ROMA"));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(0, 0)).center());
        QTRY_VERIFY(!view->isVisible());
        QTRY_VERIFY(box->hasFocus());
        QTest::keyClick(box, Qt::Key_Tab);
        QTRY_VERIFY(!box->hasFocus());
    }

private Q_SLOTS:
    void postalCodeFollowsTheMunicipality_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("stored");     // comIstat|cap after the save
        QTest::addColumn<bool>("modified");
        for (const char *form : {"registry unit", "registry office", "module", "user"}) {
            // A municipality of one code brings it.
            QTest::addRow("%s, one code", form) << form << "BELLUNO" << "6|32100" << true;
            // A city of many codes keeps the street's code: the one the
            // form held, or the one the user typed first.
            QTest::addRow("%s, many codes", form) << form << "TORINO" << "272|00199" << true;
            QTest::addRow("%s, many codes, typed", form) << form << "10121 TORINO" << "272|10121" << true;
            // The single code of the municipality before is no code of the city.
            QTest::addRow("%s, many codes after one", form) << form << "BELLUNO TORINO" << "272|-" << true;
            // The municipality shown, again: nothing changes.
            QTest::addRow("%s, same typed", form) << form << "ROMA" << "91|00199" << false;
            QTest::addRow("%s, same from the list", form) << form << "list" << "91|00199" << false;
        }
    }

    void postalCodeFollowsTheMunicipality()
    {
        QFETCH(QString, form);
        QFETCH(QString, action);
        QFETCH(QString, stored);
        QFETCH(bool, modified);
        const Address address = open(form);
        QVERIFY(address.com);
        QCOMPARE(address.cap->Value().toString(), QStringLiteral("00199"));
        QVERIFY(!address.modified());
        askedTexts();

        if (action == QLatin1String("list")) {
            pickRomaFromTheList(address.com);
        } else {
            for (const QString &step : action.split(QLatin1Char(' ')))
                enter(step.front().isDigit() ? static_cast<QWidget *>(address.cap) : address.com, step);
        }
        QVERIFY(askedTexts().isEmpty());
        QCOMPARE(address.modified(), modified);
        QCOMPARE(address.cap->Value().toString(), stored.section(QLatin1Char('|'), 1).replace(QLatin1Char('-'), QString()));
        if (modified)
            QVERIFY(address.save());
        QCOMPARE(scalar(address.row).toString(), stored);
        QVERIFY(askedTexts().isEmpty());
    }
};

QTEST_MAIN(tst_comboComOnForms)
#include "tst_comboComOnForms.moc"
