#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QPointer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "DatabaseProbe.h"
#include "DialogDriver.h"
#include "MainWindowSupport.h"
#include "MessageBoxSeam.h"
#include "Profile.h"
#include "Registra.h"
#include "ModDR_CONS.h"
#include "ModRT.h"
#include "SK_CONS.h"
#include "SK_SBOP.h"
#include "SK_SMAT.h"
#include "hNav.h"
#include "slxLabel.h"
#include "Connetti.h"
#include "Importa.h"
#include "DesktopSeam.h"
#include "prnDich.h"
#include "prnList.h"
#include "Verifica.h"
#include "expForm.h"
#include "FileDialogSeam.h"
#include "SezAnag.h"
#include "slxGrid.h"
#include "TestSupport.h"
#include "comboCom.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modMain.h"
#include "slxButton.h"
#include "slxText.h"

using modMain::gKez;

// One clerk's year: the program as it ships, the user registered on the
// first start, a new declaration typed, its consortia and packaging sheets
// filled, then checked, exported, read into a fresh archive and printed.
class tst_Declaration : public QObject
{
    Q_OBJECT

    QTemporaryDir runtime;
    QTemporaryDir program;

    QString folder() const { return program.path() + QLatin1Char('/'); }
    QString databasePath() const { return folder() + QStringLiteral("Kez22imb.db"); }
    mainForm *window() const { return modMain::gMain; }

    QVariant stored(const QString &sql) const
    {
        DatabaseProbe db;
        return db.open(databasePath(), true) ? db.scalar(sql) : QVariant();
    }
    static QStringList messages()
    {
        QStringList texts;
        for (const auto &a : MessageBoxSeam::asked())
            texts << a.text;
        MessageBoxSeam::clearAsked();
        return texts;
    }
    static void typeAndLeave(QWidget *field, const QString &text)
    {
        field->setFocus();
        QTRY_VERIFY(field == QApplication::focusWidget() || field->isAncestorOf(QApplication::focusWidget()));
        if (auto *t = qobject_cast<slxText *>(field))
            t->SelectAll();
        TestSupport::typeText(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    static void click(QWidget *button)
    {
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    }
    // The user-data form, filled and saved as the clerk does on a first start.
    static void registerUser(QWidget *dialog)
    {
        auto *form = qobject_cast<Registra *>(dialog);
        QVERIFY(form);
        typeAndLeave(form->slt[0], QStringLiteral("00743110157"));
        typeAndLeave(form->slt[1], QStringLiteral("Cartiera Lombarda S.r.l."));
        typeAndLeave(form->cmbCom, QStringLiteral("CANTU"));
        typeAndLeave(form->slt[3], QStringLiteral("Via Milano"));
        typeAndLeave(form->slt[4], QStringLiteral("7"));
        click(form->slb[0]);
        click(form->slb[1]);
    }
    void picture(const QString &name) { TestSupport::grab(window(), QStringLiteral("Declaration-") + name); }

private Q_SLOTS:
    void initTestCase()
    {
        MainWindowSupport::isolate(runtime);
        QVERIFY(program.isValid());
        for (const char *name : {"Kez22imb.db", "Kez22imb.ini", "2010-KEZ-dichiarazione.xsd"}) {
            const QString target = folder() + QLatin1String(name);
            QVERIFY(QFile::copy(QStringLiteral(KEZ_BIN_DIR "/") + QLatin1String(name), target));
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        }
        QVERIFY(Profile(folder() + QStringLiteral("Kez22imb.ini"))
                    .writeString(QStringLiteral("PATH"), QStringLiteral("kez2021"), databasePath()));
    }
    void cleanupTestCase() { MainWindowSupport::closeMainWindow(); }

    void registerAndStart()
    {
        DialogDriver::onNextDialog(&tst_Declaration::registerUser);
        QVERIFY(MainWindowSupport::startProgram(folder()));
        QVERIFY(DialogDriver::allRan());
        window()->resize(1000, 700);
        window()->show();
        QVERIFY(TestSupport::activate(window()));
        QCOMPARE(messages(), QStringList());
        QCOMPARE(MainWindowSupport::sideBarStates(), QStringLiteral("1000001"));
        picture(QStringLiteral("01-started"));
    }

    void newDeclaration()
    {
        window()->vBar1_Click(1, false);
        auto *sheet = window()->findChild<SezAnag *>();
        QVERIFY(sheet);
        QTRY_VERIFY(sheet->isVisible());
        picture(QStringLiteral("02-SA1-blank"));
        typeAndLeave(sheet->slt[0], QStringLiteral("01234567897"));
        typeAndLeave(sheet->slt[1], QStringLiteral("Imballaggi Rossi S.p.A."));
        typeAndLeave(sheet->cmbCom[0], QStringLiteral("CANTU"));
        typeAndLeave(sheet->slt[4], QStringLiteral("Via Como"));
        typeAndLeave(sheet->slt[5], QStringLiteral("12"));
        typeAndLeave(sheet->slt[9], QStringLiteral("011110"));
        typeAndLeave(sheet->slt[10], QStringLiteral("4"));
        typeAndLeave(sheet->cmbCom[1], QStringLiteral("CANTU"));
        typeAndLeave(sheet->slt[13], QStringLiteral("Via Como"));
        typeAndLeave(sheet->slt[18], QStringLiteral("ROSSI"));
        typeAndLeave(sheet->slt[19], QStringLiteral("MARIO"));
        picture(QStringLiteral("03-SA1-typed"));
        sheet->Salva_Click();
        QCOMPARE(messages(), QStringList());
        QVERIFY(gKez->Sa1ID > 0);
        QCOMPARE(window()->declarationText(),
                 QStringLiteral("IMBALLAGGI ROSSI S.P.A. - U. L.: VIA COMO 12 Cantù (CO)"));
        QCOMPARE(MainWindowSupport::sideBarStates(), QStringLiteral("1111111"));
        picture(QStringLiteral("04-SA1-saved"));
    }

    void consortiaSheetWithModules()
    {
        window()->vBar1_Click(2, false);
        auto *sheet = qobject_cast<SK_CONS *>(modMain::loadedForms().value(0));
        QVERIFY(sheet);
        QTRY_VERIFY(sheet->isVisible());
        picture(QStringLiteral("05-CONS-blank"));
        typeAndLeave(sheet->slt[0], QStringLiteral("150101"));
        typeAndLeave(sheet->slt[2], QStringLiteral("1000"));
        typeAndLeave(sheet->slt[3], QStringLiteral("400"));
        sheet->slb_Click(3);
        QCOMPARE(messages(), QStringList());
        QCOMPARE(stored(QStringLiteral("SELECT saID || ' ' || rifCod || ' ' || scQta || ' ' || ferroQta FROM SezCons"))
                     .toString(),
                 QStringLiteral("%1 150101 10000000 4000000").arg(gKez->Sa1ID));
        picture(QStringLiteral("06-CONS-saved"));

        sheet->slb_Click(6);
        auto *origin = window()->findChild<ModRT *>();
        QVERIFY(origin);
        QTRY_VERIFY(origin->isVisible());
        picture(QStringLiteral("07-UO-blank"));
        typeAndLeave(origin->slt[0], QStringLiteral("09876543217"));
        typeAndLeave(origin->slt[1], QStringLiteral("Fornitore Carta S.r.l."));
        typeAndLeave(origin->slt[8], QStringLiteral("011110"));
        typeAndLeave(origin->cmbCom, QStringLiteral("CANTU"));
        typeAndLeave(origin->slt[3], QStringLiteral("Via Roma"));
        typeAndLeave(origin->slt[7], QStringLiteral("400"));
        click(origin->slb[4]);
        QCOMPARE(messages(), QStringList());
        picture(QStringLiteral("08-UO-saved"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!window()->findChild<ModRT *>());
        QVERIFY(sheet->isEnabled());
        picture(QStringLiteral("09-CONS-back"));

        sheet->slb_Click(7);
        auto *dest = window()->findChild<ModDR_CONS *>();
        QVERIFY(dest);
        QTRY_VERIFY(dest->isVisible());
        picture(QStringLiteral("10-DR-blank"));
        typeAndLeave(dest->slt[0], QStringLiteral("00743110157"));
        typeAndLeave(dest->slt[1], QStringLiteral("Recuperi Lariani S.p.A."));
        typeAndLeave(dest->cmbCom, QStringLiteral("CANTU"));
        typeAndLeave(dest->slt[3], QStringLiteral("Via Lecco"));
        typeAndLeave(dest->slt[7], QStringLiteral("12"));
        for (auto [g, row, qty] : {std::tuple{0, 3, "7"}, std::tuple{1, 1, "3,5"}}) {
            slxGrid *grid = dest->slg[g];
            grid->setFocus();
            grid->setRow(row);
            grid->setCol(1);
            TestSupport::typeText(QApplication::focusWidget(), QLatin1String(qty));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QVERIFY(!grid->Editing());
        }
        click(dest->slb[4]);
        QCOMPARE(messages(), QStringList());
        picture(QStringLiteral("11-DR-saved"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!window()->findChild<ModDR_CONS *>());
        QVERIFY(sheet->isEnabled());
        QCOMPARE(messages(), QStringList());
        picture(QStringLiteral("12-CONS-back"));
        QCOMPARE(stored(QStringLiteral("SELECT group_concat(mdcTipo || ':' || codFisc) FROM ModCons")).toString(),
                 QStringLiteral("1:09876543217,2:00743110157"));
        QCOMPARE(stored(QStringLiteral("SELECT group_concat(Codice || '=' || Qta) FROM RecDrCons")).toString(),
                 QStringLiteral("R3=70000,D1=50000"));
    }

    // The producer's card of a company the modules registered, then the
    // plastic bags, each from the side bar over the sheet before.
    void packagingSheets()
    {
        window()->vBar1_Click(4, false);
        auto *smat = window()->findChild<SK_SMAT *>();
        QVERIFY(smat);
        QTRY_VERIFY(smat->isVisible());
        QVERIFY(!window()->findChild<SK_CONS *>());
        // The column captions stand over their columns, beside the materials.
        QTableWidget *table = smat->grid()->table();
        QCOMPARE(table->horizontalHeader()->x(), table->verticalHeader()->geometry().right() + 1);
        picture(QStringLiteral("13-SMAT-blank"));
        typeAndLeave(smat->findChild<slxText *>(QStringLiteral("slt_0")), QStringLiteral("09876543217"));
        QCOMPARE(smat->findChild<slxText *>(QStringLiteral("slt_1"))->Text(), QStringLiteral("FORNITORE CARTA S.R.L."));
        slxGrid *grid = smat->grid();
        grid->setFocus();
        grid->setRow(1);
        grid->setCol(1);
        TestSupport::typeText(QApplication::focusWidget(), QStringLiteral("5"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        click(smat->findChild<slxButton *>(QStringLiteral("slb_2")));
        QCOMPARE(smat->findChild<hNav *>(QStringLiteral("nav"))->label()->Caption(), QStringLiteral("Scheda 1 di 1"));
        picture(QStringLiteral("14-SMAT-saved"));

        window()->vBar1_Click(3, false);
        auto *sbop = window()->findChild<SK_SBOP *>();
        QVERIFY(sbop);
        QTRY_VERIFY(sbop->isVisible());
        QVERIFY(!window()->findChild<SK_SMAT *>());
        picture(QStringLiteral("15-SBOP-blank"));
        typeAndLeave(sbop->findChild<slxText *>(QStringLiteral("slt_0")), QStringLiteral("00743110157"));
        QCOMPARE(sbop->findChild<slxText *>(QStringLiteral("slt_1"))->Text(), QStringLiteral("RECUPERI LARIANI S.P.A."));
        typeAndLeave(sbop->findChild<slxText *>(QStringLiteral("slt_2")), QStringLiteral("3"));
        click(sbop->findChild<slxButton *>(QStringLiteral("slb_2")));
        QCOMPARE(messages(), QStringList());
        picture(QStringLiteral("16-SBOP-saved"));
        QCOMPARE(stored(QStringLiteral("SELECT group_concat(codFisc || ' ' || qtaProdVuoti) FROM skMat JOIN RecMat "
                                       "ON RecMat.skmID = skMat.skmID AND skmTipo = 101")).toString(),
                 QStringLiteral("09876543217 50000"));
        QCOMPARE(stored(QStringLiteral("SELECT group_concat(codFisc || ' ' || sksBorse) FROM skSbop")).toString(),
                 QStringLiteral("00743110157 30000"));
    }

    void verifyAndExport()
    {
        DialogDriver::onNextDialog([this](QWidget *dialog) {
            auto *form = qobject_cast<Verifica *>(dialog);
            QVERIFY(form);
            form->slb_Click(0);
            QCOMPARE(form->slt[0]->Text() + QLatin1Char('/') + form->slt[1]->Text(), QStringLiteral("1/0"));
            QCOMPARE(messages(), QStringList());
            TestSupport::grab(dialog, QStringLiteral("Declaration-13-verified"));
            form->slb_Click(2);
        });
        window()->findChild<QAction *>(QStringLiteral("smu_0"))->trigger();
        QVERIFY(DialogDriver::allRan());
        const QString xml = folder() + QStringLiteral("export.xml");
        DialogDriver::onNextDialog([this, xml](QWidget *dialog) {
            auto *form = qobject_cast<expForm *>(dialog);
            QVERIFY(form);
            FileDialogSeam::pushFileName(xml);
            form->slb_Click(0);
            QCOMPARE(messages(), QStringList{QStringLiteral("Esportata 1 dichiarazione nel file\n") + xml});
            TestSupport::grab(dialog, QStringLiteral("Declaration-14-exported"));
            if (form->isVisible())
                form->slb_Click(1);
        });
        window()->findChild<QAction *>(QStringLiteral("sme_2"))->trigger();
        QVERIFY(DialogDriver::allRan());
        QFile file(xml);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        for (const char *part : {"<codFisc>01234567897</codFisc>", "<rifCod>150101</rifCod>",
                                 "<codFisc>09876543217</codFisc>", "<codFisc>00743110157</codFisc>"})
            QVERIFY2(text.contains(part), part);
    }

    void printDeclarationAndList()
    {
        DesktopSeam::clearOpened();
        DialogDriver::onNextDialog([](QWidget *dialog) {
            auto *form = qobject_cast<prnDich *>(dialog);
            QVERIFY(form);
            form->slb_Click(0);
        });
        window()->findChild<QAction *>(QStringLiteral("smp_0"))->trigger();
        DialogDriver::onNextDialog([](QWidget *dialog) {
            auto *form = qobject_cast<prnList *>(dialog);
            QVERIFY(form);
            form->slb_Click(0);
        });
        window()->findChild<QAction *>(QStringLiteral("smp_10"))->trigger();
        QVERIFY(DialogDriver::allRan());
        QCOMPARE(messages(), QStringList());
        QCOMPARE(DesktopSeam::opened().size(), 2);
        QVERIFY(window()->isEnabled());
        for (const QString &pdf : DesktopSeam::opened()) {
            QFile file(pdf);
            QVERIFY(file.open(QIODevice::ReadOnly) && file.read(4) == "%PDF");
        }
    }

    // A fresh archive linked: the user registers again, and the exported
    // file brings the declaration back whole.
    void importIntoAFreshArchive()
    {
        const QString fresh = folder() + QStringLiteral("Nuovo.db");
        QVERIFY(QFile::copy(QStringLiteral(KEZ_BIN_DIR "/Kez22imb.db"), fresh));
        QFile::setPermissions(fresh, QFile::ReadOwner | QFile::WriteOwner);
        DialogDriver::onNextDialog([fresh](QWidget *dialog) {
            auto *form = qobject_cast<Connetti *>(dialog);
            QVERIFY(form);
            FileDialogSeam::pushFileName(fresh);
            click(form->slb[0]);
            DialogDriver::onNextDialog(&tst_Declaration::registerUser);
            click(form->slb[2]);
            QVERIFY(!form->isVisible());
        });
        window()->findChild<QAction *>(QStringLiteral("smu_21"))->trigger();
        QVERIFY(DialogDriver::allRan());
        QCOMPARE(messages(), QStringList());
        QCOMPARE(gKez->Utente, QStringLiteral("CARTIERA LOMBARDA S.R.L."));
        QCOMPARE(MainWindowSupport::sideBarStates(), QStringLiteral("1000001"));

        DialogDriver::onNextDialog([this](QWidget *dialog) {
            auto *form = qobject_cast<Importa *>(dialog);
            QVERIFY(form);
            FileDialogSeam::pushFileName(folder() + QStringLiteral("export.xml"));
            form->slb_Click(0);
            TestSupport::grab(dialog, QStringLiteral("Declaration-16-imported"));
            form->slb_Click(1);
        });
        window()->findChild<QAction *>(QStringLiteral("smi_0"))->trigger();
        QVERIFY(DialogDriver::allRan());
        QCOMPARE(messages(), QStringList{QStringLiteral(
                                 "Importazione terminata: 1 dichiarazione importata, 0 già presenti in archivio.")});
        DatabaseProbe db;
        QVERIFY(db.open(fresh, true));
        QCOMPARE(db.scalar(QStringLiteral("SELECT group_concat(codFisc || ' ' || ragSoc) FROM SezAnag")).toString(),
                 QStringLiteral("01234567897 IMBALLAGGI ROSSI S.P.A."));
        QCOMPARE(db.scalar(QStringLiteral("SELECT group_concat(mdcTipo || ':' || codFisc) FROM ModCons")).toString(),
                 QStringLiteral("1:09876543217,2:00743110157"));
        QCOMPARE(db.scalar(QStringLiteral("SELECT group_concat(Codice || '=' || Qta) FROM RecDrCons")).toString(),
                 QStringLiteral("R3=70000,D1=50000"));

    }
};

QTEST_MAIN(tst_Declaration)
#include "tst_Declaration.moc"
