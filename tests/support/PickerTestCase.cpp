#include "PickerTestCase.h"

#include <QTest>

#include "MessageBoxSeam.h"
#include "TestSupport.h"

void PickerTestCase::initTestCase()
{
    TestSupport::scriptDialogs();
    QVERIFY(shell.openDatabase(m_rowsSql));
}

void PickerTestCase::init()
{
    MessageBoxSeam::clearAsked();
}
