#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

#include <memory>

#include "DialogDriver.h"
#include "Logo.h"
#include "MainWindowTestCase.h"
#include "ShellFixture.h"
#include "TestSupport.h"
#include "kezClass.h"
#include "infoForm.h"
#include "mainForm.h"
#include "modMain.h"

using modMain::gKez;

// The splash inside the main window and the about box.
class tst_Logo : public MainWindowTestCase
{
    Q_OBJECT

    void start(const QString &extraSql)
    {
        QVERIFY(startProgram(extraSql));
        modMain::gMain->resize(1000, 700);
        modMain::gMain->show();
        QVERIFY(QTest::qWaitForWindowExposed(modMain::gMain));
    }

    static void verifyCentred(Logo *splash)
    {
        QWidget *frame = splash->parentWidget();
        const QSize client = modMain::gMain->mdiArea()->viewport()->size();
        QCOMPARE(frame->pos(), QPoint((client.width() - frame->width()) / 2,
                                      (client.height() - frame->height()) / 2));
    }

    static void verifyTitle(const QVector<QLabel *> &labKez)
    {
        for (QLabel *label : labKez)
            QCOMPARE(label->text(), QStringLiteral("KEZ 2022"));
        QCOMPARE(labKez[1]->pos() - labKez[0]->pos(), QPoint(1, 2));
        QCOMPARE(labKez[2]->pos() - labKez[0]->pos(), QPoint(2, 3));
    }

private Q_SLOTS:
    void splashAtStart()
    {
        start(ShellFixture::lookupRows());
        Logo *splash = Logo::instance();
        QVERIFY(splash);
        QCOMPARE(modMain::currentForm, 100);
        verifyTitle(splash->labKez);
        QCOMPARE(splash->Label1[3]->text(),
                 QStringLiteral("Da utilizzarsi per le dichiarazioni con riferimento all'anno: 2021"));
        QCOMPARE(splash->Label1[4]->text(), QStringLiteral("Prodotto in uso a:"));
        QCOMPARE(splash->user(), QStringLiteral("Studio Rossi"));
        verifyCentred(splash);
        QVERIFY(modMain::loadedForms().contains(splash));
    }

    void userNameShownWithoutReopening()
    {
        // No user registered yet: the user-data form comes up and is closed.
        DialogDriver::closeNextDialog();
        start(QString());
        QPointer<Logo> splash = Logo::instance();
        QCOMPARE(splash->user(), QString());
        gKez->Utente = QStringLiteral("Ditta Bianchi S.r.l.");
        splash->setUser(gKez->Utente);
        QCOMPARE(Logo::instance(), splash.data());
        QCOMPARE(splash->user(), QStringLiteral("Ditta Bianchi S.r.l."));
    }

    void comesBackCentredAfterASheet()
    {
        start(ShellFixture::lookupRows());
        QPointer<Logo> first = Logo::instance();
        QVERIFY(modMain::closeChildForms(1));
        QVERIFY(!first);
        modMain::currentForm = 1;
        // The sheet closes by its own button: the splash loads afresh.
        modMain::showLogo();
        Logo *again = Logo::instance();
        QVERIFY(again);
        QCOMPARE(modMain::currentForm, 100);
        QCOMPARE(again->user(), QStringLiteral("Studio Rossi"));
        verifyCentred(again);
        // A window narrower than the splash keeps its left edge, title
        // included, in view.
        modMain::gMain->resize(600, 600);
        QCoreApplication::processEvents();
        QCOMPARE(again->parentWidget()->x(), 0);
    }

    void aboutBox()
    {
        start(ShellFixture::lookupRows());
        infoForm about(modMain::gMain);
        QCOMPARE(about.windowTitle(), QStringLiteral("Informazioni su KEZ  2022"));
        verifyTitle(about.labKez);
        QCOMPARE(about.Label3[0]->text(), QStringLiteral("Rev. 11.0.0"));
        QCOMPARE(about.Label3[1]->text(), QStringLiteral("04/02/2022"));
        QCOMPARE(about.Label1[1]->text(), QStringLiteral("Kez Ambientale"));
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        TestSupport::grab(&about, QStringLiteral("infoForm"));
    }

    void aboutBoxCloses_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("closes");
        QTest::newRow("the form") << "" << true;
        QTest::newRow("the title") << "labKez_0" << true;
        QTest::newRow("a static line") << "Label1_2" << true;
        QTest::newRow("a credit line") << "Label2_1" << true;
        QTest::newRow("the release") << "Label3_0" << true;
        QTest::newRow("the emblem") << "Image1" << true;
        QTest::newRow("second picture") << "Image2" << false;
        QTest::newRow("third picture") << "Image3" << false;
    }

    void aboutBoxCloses()
    {
        QFETCH(QString, target);
        QFETCH(bool, closes);
        infoForm about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QWidget *w = target.isEmpty() ? &about : about.findChild<QWidget *>(target);
        QVERIFY(w);
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
        QCOMPARE(about.isVisible(), !closes);
        QCOMPARE(about.result(), closes ? int(QDialog::Accepted) : int(QDialog::Rejected));
    }

    void aboutBoxClosesOnAKeyPressedInIt()
    {
        infoForm about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        // The release of the key that chose the menu item leaves it open.
        QTest::keyRelease(&about, Qt::Key_Return);
        QVERIFY(about.isVisible());
        QTest::keyClick(&about, Qt::Key_A);
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(tst_Logo)
#include "tst_Logo.moc"
