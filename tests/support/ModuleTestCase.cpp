#include "ModuleTestCase.h"

#include <QApplication>
#include <QPointer>
#include <QtTest>

#include "DatabaseProbe.h"
#include "MessageBoxSeam.h"
#include "ModFrame.h"
#include "SK_CONS.h"
#include "TestSupport.h"
#include "hNav.h"
#include "tbButton.h"
#include "mainForm.h"
#include "slxButton.h"
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
    if (!startProgram(fixtureRows() + extraSql, QStringLiteral("[Kez]\nSa1ID=7\nConsID=1\n")))
        return nullptr;
    if (!showMainWindow(QSize(1000, 720)))
        return nullptr;
    modMain::gMain->vBar1_Click(2, false);
    auto *cons = qobject_cast<SK_CONS *>(modMain::loadedForms().value(0));
    if (!cons || cons->idScheda() != 1)
        return nullptr;
    owner = cons;
    QCoreApplication::processEvents();
    slxButton *button = cons->slb[mode == 31 ? 6 : 7];
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    QCoreApplication::processEvents();
    opened = qobject_cast<ModFrame *>(cons->childWindow());
    askedTexts();
    return opened;
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
    // A dialog that has just closed may leave no window active for a while.
    QVERIFY(TestSupport::activate(control->window()));
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
