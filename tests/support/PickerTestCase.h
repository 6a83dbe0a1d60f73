#pragma once

#include <QObject>
#include <QString>

#include "ShellFixture.h"

// The start of a test of the pickers that read the database: message boxes
// answered by script, the shell's globals open on a database holding the
// test's own rows, and no message left over from the test before.
class PickerTestCase : public QObject
{
    Q_OBJECT

protected:
    explicit PickerTestCase(const char *rowsSql) : m_rowsSql(QString::fromUtf8(rowsSql)) {}

    ShellFixture shell;

private Q_SLOTS:
    void initTestCase();
    void init();

private:
    QString m_rowsSql;
};
