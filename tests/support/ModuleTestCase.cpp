#include "ModuleTestCase.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QtTest>

#include "DatabaseProbe.h"
#include "MessageBoxSeam.h"
#include "ModDR_CONS.h"
#include "ModRT.h"
#include "TestSupport.h"
#include "hNav.h"
#include "tbButton.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modMain.h"

namespace {
QPointer<ModFrame> opened;
QPointer<QWidget> owner;
}

QString ModuleTestCase::fixtureRows()
{
    return ShellFixture::lookupRows()
        + QStringLiteral(
            "INSERT INTO Rifiuti (rifCod, rifDesc, rifClass) VALUES "
            "('150101', 'imballaggi in carta e cartone', '');\n"
            "INSERT INTO SezCons (scID, saID, rifCod, scQta) VALUES (1, 7, '150101', 10000000);\n"
            "INSERT INTO Nazioni (nazID, nazDesc) VALUES (40, 'AUSTRIA'), (250, 'FRANCIA'), "
            "(276, 'GERMANIA');\n"
            "INSERT INTO Attivita (attCod, attDesc) VALUES ('381100', 'Raccolta di rifiuti');\n"
            "INSERT INTO Ditte (codFisc, ragSoc, prvIstat, comIstat, via, civico, cap) VALUES "
            "('00743110157', 'ARCO SPA', 58, 91, 'VIA TUSCOLANA', '5', '00118');\n");
}

ModFrame *ModuleTestCase::openModules(int mode, const QString &extraSql)
{
    if (!startProgram(fixtureRows() + extraSql))
        return nullptr;
    modMain::gMain->resize(1000, 720);
    modMain::gMain->show();
    if (!QTest::qWaitForWindowExposed(modMain::gMain))
        return nullptr;
    modMain::gKez->Sa1ID = 7;
    modMain::gKez->consID = 1;
    modMain::closeChildForms(2);
    modMain::currentForm = 2;
    // The consortia sheet reduced to its top band, as it stands while a
    // module form is open.
    auto *band = new QWidget;
    band->setWindowTitle(QStringLiteral("Scheda CONS"));
    band->setAttribute(Qt::WA_DeleteOnClose);
    modMain::formLoaded(band);
    QMdiSubWindow *frame = modMain::gMain->showChild(band);
    frame->setGeometry(0, 0, modMain::gMain->mdiArea()->viewport()->width(), 150);
    owner = band;
    modMain::modoApertura = mode;
    ModFrame *f = mode == 31 ? static_cast<ModFrame *>(new ModRT) : new ModDR_CONS;
    band->setEnabled(false);
    f->showInMain();
    QCoreApplication::processEvents();
    opened = f;
    askedTexts();
    return f;
}

ModFrame *ModuleTestCase::form() const
{
    return opened;
}

QWidget *ModuleTestCase::sheet() const
{
    return owner;
}

QString ModuleTestCase::databasePath() const
{
    return fx->folder() + QStringLiteral("Kez22imb.db");
}

void ModuleTestCase::pressNav(int button) const
{
    tbButton *b = opened->nav->button(button);
    QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
}

void ModuleTestCase::typeAndLeave(QWidget *control, const QString &text)
{
    control->setFocus();
    QVERIFY(control == QApplication::focusWidget() || control->isAncestorOf(QApplication::focusWidget()));
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(focus, Qt::Key_Delete);
    TestSupport::typeText(focus, text);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
}

QStringList ModuleTestCase::askedTexts()
{
    QStringList texts;
    for (const MessageBoxSeam::Asked &a : MessageBoxSeam::asked())
        texts << a.text;
    MessageBoxSeam::clearAsked();
    return texts;
}

QVariant ModuleTestCase::scalar(const QString &sql) const
{
    DatabaseProbe db;
    if (!db.open(databasePath(), true))
        return QVariant();
    return db.scalar(sql);
}

QStringList ModuleTestCase::column(const QString &sql) const
{
    DatabaseProbe db;
    if (!db.open(databasePath(), true))
        return {};
    return db.column(sql);
}
