#pragma once

#include <QString>
#include <QStringList>

#include "MainWindowTestCase.h"

class QWidget;
class ModFrame;

// The frame of a test of the module forms: the program started on a
// declaration with one consortia sheet (scID 1, waste code 150101) and the
// lookups a module needs, the sheet shown, and a module form opened below it.
class ModuleTestCase : public MainWindowTestCase
{
    Q_OBJECT

protected:
    // Starts the program on the fixture plus extraSql and opens the origin
    // (31) or destination (32) modules of sheet 1; nullptr on failure.
    ModFrame *openModules(int mode, const QString &extraSql = QString());
    // The form opened last by openModules, or nullptr once it has closed.
    ModFrame *form() const;
    QWidget *sheet() const;
    QString databasePath() const;

    // Presses a button of the form's navigator: 0 first, 1 previous, 2 next, 3 last.
    void pressNav(int button) const;
    // Types text into a control as the user does and leaves it with Tab.
    static void typeAndLeave(QWidget *control, const QString &text);
    // The texts of the message boxes asked since the last call.
    static QStringList askedTexts();
    // One value of the file: the first column of the first row.
    QVariant scalar(const QString &sql) const;

    static QString fixtureRows();
};
