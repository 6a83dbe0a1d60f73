#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <memory>
#include <unistd.h>

#include "Connection.h"
#include "Connetti.h"
#include "DialogDriver.h"
#include "FileDialogSeam.h"
#include "MainWindowSupport.h"
#include "MainWindowTestCase.h"
#include "MessageBoxSeam.h"
#include "ShellFixture.h"
#include "TestSupport.h"
#include "dbClass.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxLabel.h"
#include "slxText.h"

using modMain::gDb;
using modMain::gKez;
using modMain::gModal;

// Linking the program to its database files: what is checked, what is
// stored in the INI file, and what the program forgets when the user
// links another file.
class tst_Connetti : public MainWindowTestCase
{
    Q_OBJECT

    QString current;    // the linked current-year file
    QString previous;   // the linked previous-year file

    // The folder with both years linked and open, and the main window.
    void start(bool open = true)
    {
        current = fx->prepareFolder(ShellFixture::lookupRows(),
                                    QStringLiteral("kez2020=%1\n[Kez]\nSa1ID=7\n")
                                        .arg(fx->folder() + QStringLiteral("Kez21imb.db")));
        previous = fx->createDatabase(QStringLiteral("Kez21imb.db"));
        fx->startGlobals();
        new mainForm;
        if (open) {
            QVERIFY(gDb->openKezDb());
            QVERIFY(gDb->openOldDb());
        }
    }
    QString iniValue(const QString &section, const QString &key) const
    {
        return gKez->getIniFile(section, key, QStringLiteral("<none>"));
    }

private Q_SLOTS:
    void nothingChangedWritesNothing()
    {
        start();
        const QString ini = fx->readIni();
        Connetti form;
        QCOMPARE(modMain::currentForm, 102);
        QCOMPARE(form.sll[1]->Caption(), QStringLiteral("Database KEZ 2022 (questa procedura)"));
        QVERIFY(form.sll[2]->Caption().startsWith(QStringLiteral("Database KEZ 2021 (da indicare")));
        QCOMPARE(form.slt[0]->Value().toString(), current);
        QCOMPARE(form.slt[1]->Value().toString(), previous);
        form.show();
        TestSupport::grab(&form, QStringLiteral("Connetti"));
        gModal->Status = false;
        form.slb_Click(2);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(!gModal->Status);
        QCOMPARE(fx->readIni(), ini);
        QVERIFY(MessageBoxSeam::asked().isEmpty());
    }

    void removingThePreviousYear()
    {
        start();
        Connetti form;
        form.slb_Click(4);
        QVERIFY(form.slt[1]->isEmpty());
        form.slb_Click(2);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(gModal->Status);
        QVERIFY(!gDb->oldDbOpened());
        QVERIFY(gDb->oldDbFilename.isEmpty());
        QCOMPARE(iniValue(QStringLiteral("Path"), QStringLiteral("Kez2020")), QString());
        // The current year stays as it was.
        QCOMPARE(iniValue(QStringLiteral("Kez"), QStringLiteral("Sa1ID")), QStringLiteral("7"));
    }

    void anotherFileForgetsTheDeclaration()
    {
        start();
        const QString other = fx->createDatabase(
            QStringLiteral("Altro anno.db"),
            QStringLiteral("INSERT INTO Setup (codFisc, ragSoc) VALUES ('01234567897', 'L''ARTE S.R.L.');"));
        gKez->Utente = QStringLiteral("Studio Rossi");
        gKez->Sa1ID = 7;
        gKez->RifID = 3;
        modMain::gMain->setDeclarationText(QStringLiteral("Rossi Imballaggi - U. L.: Via Appia"));

        FileDialogSeam::pushFileName(other);
        DialogDriver::onNextDialog([other](QWidget *dialog) {
            auto *form = qobject_cast<Connetti *>(dialog);
            QVERIFY(form);
            form->slb_Click(0);
            QCOMPARE(form->slt[0]->Value().toString(), other);
            form->slb_Click(2);
        });
        gModal->showConnect();
        QVERIFY(DialogDriver::allRan());

        // The browse dialog started from the linked file, offering this year's name.
        QCOMPARE(FileDialogSeam::asked().size(), 1);
        QCOMPARE(FileDialogSeam::asked().first().directory, current);
        QVERIFY(FileDialogSeam::asked().first().filter.startsWith(
            QStringLiteral("Database KEZ anno corrente (Kez22imb.db);;Database KEZ (*.db)")));

        QVERIFY(gModal->Status);
        QCOMPARE(gDb->kezDbFilename, other);
        QVERIFY(gDb->kezDbOpened());
        QCOMPARE(gKez->Sa1ID, 0);
        QCOMPARE(gKez->RifID, 0);
        QCOMPARE(iniValue(QStringLiteral("Kez"), QStringLiteral("Sa1ID")), QStringLiteral("0"));
        QCOMPARE(iniValue(QStringLiteral("PATH"), QStringLiteral("kez2021")), other);
        QVERIFY(modMain::gMain->declarationText().isEmpty());
        // The user's company is read again from the new file.
        QCOMPARE(gKez->Utente, QStringLiteral("L'ARTE S.R.L."));
        QVERIFY(gDb->oldDbOpened());
        QCOMPARE(modMain::currentForm, 100);
    }

    void foreignFilesAreRefused_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("content");   // "text", SQL of another program, or "kez:" and a hand edit
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        const QString notKez = QStringLiteral("Attenzione, il file selezionato non è un database KEZ");
        QTest::newRow("text file, this year") << 0 << "text" << "" << "Connessione database KEZ (";
        QTest::newRow("text file, previous year")
            << 1 << "text" << "" << "Connessione database anno precedente (";
        QTest::newRow("other program, this year")
            << 0 << "CREATE TABLE Clienti (id INTEGER);" << notKez << "Connessione database KEZ";
        QTest::newRow("other program, previous year")
            << 1 << "CREATE TABLE Config (x); CREATE TABLE Setup (y);"
            << "nella tabella Setup mancano le colonne suID, codFisc" << "Connessione database anno precedente";
        QTest::newRow("trigger, previous year")
            << 1 << "kez:CREATE TRIGGER wipe AFTER UPDATE ON SezCons BEGIN DELETE FROM Ditte; END;"
            << "il trigger 'wipe' sulla tabella SezCons" << "Connessione database anno precedente";
        QTest::newRow("column dropped, this year") << 0 << "kez:ALTER TABLE SezCons DROP COLUMN ferroQta;"
            << "nella tabella SezCons manca la colonna ferroQta" << "Connessione database KEZ";
        QTest::newRow("view in place of a table, previous year")
            << 1 << "kez:ALTER TABLE Ditte RENAME TO Aziende; CREATE VIEW Ditte AS SELECT * FROM Aziende;"
            << "la vista 'Ditte' al posto della tabella Ditte" << "Connessione database anno precedente";
    }

    void foreignFilesAreRefused()
    {
        QFETCH(int, index);
        QFETCH(QString, content);
        QFETCH(QString, text);
        QFETCH(QString, title);
        start();
        const QString ini = fx->readIni();
        const QString foreign = fx->folder() + QStringLiteral("estraneo.db");
        if (content == QLatin1String("text")) {
            QFile file(foreign);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("Questo non è un archivio.\n").repeated(200));
        } else if (content.startsWith(QLatin1String("kez:"))) {
            fx->createDatabase(QStringLiteral("estraneo.db"), content.mid(4));
        } else {
            QVERIFY(Connection::createDatabase(foreign));
            Connection cn;
            QVERIFY(cn.open(foreign));
            QVERIFY(cn.execute(content));
        }

        QFile kept(foreign);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        const QByteArray before = kept.readAll();

        Connetti form;
        FileDialogSeam::pushFileName(foreign);
        form.slb_Click(index);
        gModal->Status = false;
        QVERIFY(!form.Apply());
        QCOMPARE(MessageBoxSeam::asked().size(), 1);
        const MessageBoxSeam::Asked box = MessageBoxSeam::asked().first();
        QCOMPARE(box.style, 16);
        QVERIFY2(box.title.startsWith(title), qPrintable(box.title));
        QVERIFY2(box.text.contains(text), qPrintable(box.text));
        QVERIFY(kept.seek(0));
        QCOMPARE(kept.readAll(), before);
        QVERIFY(!gModal->Status);
        QCOMPARE(fx->readIni(), ini);
        QCOMPARE(gDb->kezDbFilename, current);
        QVERIFY(gDb->kezDbOpened());
    }

    void storedFileNotOpenIsOpened()
    {
        // Start-up could not open the stored file (it was locked, say): the
        // user presses "Procedi" on the same path and gets it opened.
        start(false);
        Connetti form;
        form.slb_Click(2);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(gModal->Status);
        QVERIFY(gDb->kezDbOpened());
        QCOMPARE(gDb->kezDbFilename, current);
        // The same file: the remembered declaration stays.
        QCOMPARE(iniValue(QStringLiteral("Kez"), QStringLiteral("Sa1ID")), QStringLiteral("7"));
        // Replaced by another program under the same name: the same path opens the file now there.
        QVERIFY(QFile::rename(current, current + u'~') && QFile::copy(current + u'~', current) && gDb->kezCnn.hasMoved());
        Connetti again;
        again.slb_Click(2);
        QVERIFY(!gDb->kezCnn.hasMoved() && gDb->kezCnn.execute(QStringLiteral("UPDATE Setup SET via = 'X'")));
    }

    void namesDifferingInCaseAreTwoFiles()
    {
        start();
        const QString lower = fx->createDatabase(QStringLiteral("kez22imb.db"));
        Connetti form;
        FileDialogSeam::pushFileName(lower);
        form.slb_Click(0);
        form.slb_Click(2);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(gModal->Status);
        QCOMPARE(gDb->kezDbFilename, lower);
        QCOMPARE(gDb->kezDbOpened(), true);
    }

    void noPathOffersTheDefaultFile()
    {
        start(false);
        fx->releaseGlobals();
        fx->writeIni(QString());
        fx->startGlobals();
        Connetti form;
        QCOMPARE(form.slt[0]->Value().toString(), current);
        QVERIFY(form.slt[1]->isEmpty());
        form.slb_Click(2);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(gDb->kezDbOpened());
        QCOMPARE(iniValue(QStringLiteral("PATH"), QStringLiteral("kez2021")), current);
    }

    // The previous year named by another spelling of this year's file is
    // still this year's file: refused before anything is stored, with the
    // form left open for another choice. A copy is a file of its own.
    void currentYearIsNeverThePrevious_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("refused");
        QTest::newRow("same path") << "same" << true;
        QTest::newRow("symbolic link") << "symlink" << true;
        QTest::newRow("dot segments") << "dots" << true;
        QTest::newRow("relative path") << "relative" << true;
        QTest::newRow("hard link") << "hardlink" << true;
        QTest::newRow("copy") << "copy" << false;
    }

    void currentYearIsNeverThePrevious()
    {
        QFETCH(QString, how);
        QFETCH(bool, refused);
        start();
        const QString ini = fx->readIni();
        const QString other = fx->folder() + QStringLiteral("altro/Kez22imb.db");
        QVERIFY(QDir().mkpath(QFileInfo(other).absolutePath()));
        QString chosen = current;
        if (how == QLatin1String("symlink")) {
            QVERIFY(QFile::link(current, other));
            chosen = other;
        } else if (how == QLatin1String("dots")) {
            chosen = fx->folder() + QStringLiteral("altro/../Kez22imb.db");
        } else if (how == QLatin1String("relative")) {
            chosen = QDir::current().relativeFilePath(current);
            QVERIFY(QFileInfo(chosen).isRelative());
        } else if (how == QLatin1String("hardlink")) {
            QCOMPARE(::link(QFile::encodeName(current).constData(), QFile::encodeName(other).constData()), 0);
            chosen = other;
        } else if (how == QLatin1String("copy")) {
            QVERIFY(QFile::copy(current, other));
            chosen = other;
        }

        Connetti form;
        form.show();
        FileDialogSeam::pushFileName(chosen);
        form.slb_Click(1);
        QCOMPARE(form.slt[1]->Value().toString(), chosen);
        gModal->Status = false;
        form.slb_Click(2);
        if (!refused) {
            QCOMPARE(form.result(), int(QDialog::Accepted));
            QCOMPARE(iniValue(QStringLiteral("PATH"), QStringLiteral("kez2020")), chosen);
            QVERIFY(MessageBoxSeam::asked().isEmpty());
            return;
        }
        QVERIFY(form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QCOMPARE(MessageBoxSeam::asked().size(), 1);
        const MessageBoxSeam::Asked box = MessageBoxSeam::asked().first();
        QVERIFY2(box.text.startsWith(QStringLiteral("Attenzione, l'archivio dell'anno precedente non può essere "
                                                    "lo stesso file dell'anno corrente")),
                 qPrintable(box.text));
        QCOMPARE(box.style, 16);
        QVERIFY(!gModal->Status);
        QCOMPARE(fx->readIni(), ini);
        QCOMPARE(gDb->oldDbFilename, previous);
        TestSupport::grab(&form, QStringLiteral("Connetti-same-file"));

        // The user takes the previous year away and goes on.
        form.slb_Click(4);
        form.slb_Click(2);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(iniValue(QStringLiteral("PATH"), QStringLiteral("kez2020")), QString());
        QCOMPARE(MessageBoxSeam::asked().size(), 1);
    }

    void cancelledBrowseKeepsThePath()
    {
        start();
        Connetti form;
        FileDialogSeam::pushFileName(QString());
        form.slb_Click(1);
        QCOMPARE(form.slt[1]->Value().toString(), previous);
        QVERIFY(FileDialogSeam::asked().first().filter.startsWith(
            QStringLiteral("Database KEZ anno precedente (Kez21imb.db)")));
        // With no previous-year file the search starts beside this year's.
        form.slb_Click(4);
        FileDialogSeam::pushFileName(QString());
        form.slb_Click(1);
        QCOMPARE(FileDialogSeam::asked().last().directory + QLatin1Char('/'), fx->folder());
        form.show();
        QTest::keyClick(&form, Qt::Key_Escape);
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QVERIFY(!form.isVisible());
    }
};

QTEST_MAIN(tst_Connetti)
#include "tst_Connetti.moc"
