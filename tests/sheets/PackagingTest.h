#pragma once

#include <QApplication>
#include <QFile>
#include <QTest>

#include "FormFactory.h"
#include "MainWindowTestCase.h"
#include "MessageBoxSeam.h"
#include "TestSupport.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modMain.h"
#include "slxGrid.h"
#include "slxText.h"

// What the tests of the packaging sheets share: the program started on a
// database with declaration 7 current, a sheet opened from its side-bar
// code, and the user's typing into fields and grid cells.
namespace PackagingTest {

inline QString fixture(const QString &name)
{
    QFile f(TestSupport::sourceDir() + QStringLiteral("/tests/sheets/fixtures/") + name);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

inline QWidget *openSheet(int formCode)
{
    modMain::gKez->Sa1ID = 7;
    modMain::gMain->resize(1000, 700);
    modMain::gMain->show();
    if (!TestSupport::activate(modMain::gMain))
        return nullptr;
    if (!modMain::closeChildForms(formCode))
        return nullptr;
    QWidget *sheet = FormFactory::showChild(formCode);
    QCoreApplication::processEvents();
    return sheet;
}

inline void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Types a value over a field's text and leaves it with Tab, as a user does.
inline void fill(slxText *field, const QString &text)
{
    field->setFocus();
    field->SelectAll();
    TestSupport::typeText(QApplication::focusWidget(), text);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
}

// Types a value into a grid cell and confirms it with Enter.
inline void editCell(slxGrid *g, int row, int col, const QString &text)
{
    g->setFocus();
    g->setRow(row);
    g->setCol(col);
    for (QChar c : text)
        TestSupport::typeText(QApplication::focusWidget(), QString(c));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

inline QStringList prompts()
{
    QStringList texts;
    for (const MessageBoxSeam::Asked &a : MessageBoxSeam::asked())
        texts << a.text;
    MessageBoxSeam::clearAsked();
    return texts;
}

} // namespace PackagingTest
