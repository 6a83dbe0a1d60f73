#pragma once

#include <QString>
#include <QTemporaryDir>

// A program folder of its own for a test: a temporary folder that holds the
// INI file and the databases, and the application and database objects of
// the shell built on it (modMain::gKez, gDb, gModal). Destroying the
// fixture releases them without writing the INI.
// PickerTestCase and MainWindowTestCase hold one for their tests.
class ShellFixture
{
public:
    ShellFixture();
    ~ShellFixture();
    ShellFixture(const ShellFixture &) = delete;
    ShellFixture &operator=(const ShellFixture &) = delete;

    QString folder() const;
    // The INI file of the folder: Kez22imb.ini.
    QString iniPath() const;
    // Writes the INI file with exactly this text.
    void writeIni(const QString &text) const;
    QString readIni() const;
    // Builds a database in the folder from the schema plus extra SQL and
    // returns its path.
    QString createDatabase(const QString &fileName, const QString &extraSql = QString()) const;
    // The usual folder: Kez22imb.db from the schema plus extraSql, and an
    // INI naming it, followed by moreIni. Returns the database path.
    QString prepareFolder(const QString &extraSql = QString(), const QString &moreIni = QString()) const;
    // prepareFolder, startGlobals and openKezDb: true when the database opened.
    bool openDatabase(const QString &extraSql = QString());
    // Builds gKez (on the folder), gModal and gDb, as start-up does.
    void startGlobals(const QStringList &arguments = QStringList());
    // Releases them in shutdown order; with writeIni false nothing is written.
    void releaseGlobals(bool writeIni = false);

    // A few rows of lookups and declarations for the shell's tests.
    static QString lookupRows();
    // The municipality-code conversions of the default database.
    static QString shippedConversions();

private:
    QTemporaryDir m_dir;
};
