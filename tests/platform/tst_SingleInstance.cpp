#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include "SingleInstance.h"

#include <cstring>

// A second start of the program, as a real second process (this same test
// program started with a special argument), finds the first one, brings its
// window to the front and ends.
class tst_SingleInstance : public QObject
{
    Q_OBJECT

    QString m_title;

    // Runs this program as another copy; returns its exit code.
    static int runSecondCopy(const QString &title)
    {
        QProcess copy;
        copy.start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--second-copy"), title});
        if (!copy.waitForStarted(5000))
            return -1;
        // The first copy answers from its event loop, so keep it running.
        QElapsedTimer timer;
        timer.start();
        while (copy.state() != QProcess::NotRunning && timer.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            copy.waitForFinished(10);
        }
        return copy.exitStatus() == QProcess::NormalExit ? copy.exitCode() : -2;
    }

private Q_SLOTS:
    void init()
    {
        m_title = QStringLiteral("Kez test %1 %2")
                      .arg(QCoreApplication::applicationPid())
                      .arg(QDateTime::currentMSecsSinceEpoch());
    }

    void secondCopyRaisesTheFirst()
    {
        QWidget window;
        window.setWindowTitle(m_title);
        window.showMinimized();
        SingleInstance first(m_title);
        first.setWindow(&window);
        QSignalSpy raised(&first, &SingleInstance::raiseRequested);
        QVERIFY(first.acquire());
        QVERIFY(QFile::exists(SingleInstance::lockFilePath(m_title)));

        QCOMPARE(runSecondCopy(m_title), 3);
        QTRY_COMPARE(raised.count(), 1);
        QVERIFY(!window.isMinimized());
        QVERIFY(window.isVisible());
    }

    // A dialog that waits for an answer must not end up behind the main
    // window it blocks: it comes to the front with the window under it.
    void secondCopyBringsTheOpenDialogToTheFront()
    {
        QWidget window;
        window.setWindowTitle(m_title);
        window.show();
        QDialog dialog(&window);
        dialog.setModal(true);
        dialog.show();
        QWidget otherProgram;
        otherProgram.show();
        otherProgram.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&otherProgram));
        SingleInstance first(m_title);
        first.setWindow(&window);
        QVERIFY(first.acquire());

        QCOMPARE(runSecondCopy(m_title), 3);
        QTRY_COMPARE(QApplication::activeWindow(), &dialog);
        QVERIFY(dialog.isVisible());
    }

    void aCopyStartsOnceTheFirstHasEnded()
    {
        {
            SingleInstance first(m_title);
            QVERIFY(first.acquire());
            QCOMPARE(runSecondCopy(m_title), 3);
        }
        QCOMPARE(runSecondCopy(m_title), 0);
        QVERIFY(!QFile::exists(SingleInstance::lockFilePath(m_title)));
    }

    void otherTitlesAreOtherPrograms()
    {
        SingleInstance first(m_title);
        QVERIFY(first.acquire());
        QCOMPARE(runSecondCopy(m_title + QStringLiteral(" altro")), 0);
    }

    void lockOfACrashedCopyDoesNotBlock()
    {
        QProcess crashing;
        crashing.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold-lock"), m_title});
        QVERIFY(crashing.waitForStarted(5000));
        QVERIFY(crashing.waitForReadyRead(10000));
        QCOMPARE(crashing.readAll().trimmed(), QByteArray("ready"));

        // While it runs, even an old lock is its own.
        const QString lockPath = SingleInstance::lockFilePath(m_title);
        QVERIFY(QFile::exists(lockPath));
        QFile lock(lockPath);
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addDays(-2),
                                 QFileDevice::FileModificationTime));
        lock.close();
        {
            SingleInstance second(m_title);
            QVERIFY(!second.acquire());
        }

        crashing.kill();
        QVERIFY(crashing.waitForFinished(5000));
        QVERIFY(QFile::exists(lockPath));
        SingleInstance next(m_title);
        QVERIFY(next.acquire());
        // And it answers the copy after it.
        QSignalSpy raised(&next, &SingleInstance::raiseRequested);
        QCOMPARE(runSecondCopy(m_title), 3);
        QTRY_COMPARE(raised.count(), 1);
    }

    void titlesMakeSafeNames()
    {
        const QString name = SingleInstance::serverName(QStringLiteral("Kez 2022/../x"));
        QVERIFY(name.startsWith(QStringLiteral("Kez_2022_.._x-")));
        QVERIFY(!name.contains(QLatin1Char('/')));
        QVERIFY(!name.contains(QLatin1Char(' ')));
    }
};

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--second-copy") == 0) {
        QApplication app(argc, argv);
        SingleInstance copy(QString::fromLocal8Bit(argv[2]));
        return copy.acquire() ? 0 : 3;
    }
    if (argc == 3 && std::strcmp(argv[1], "--hold-lock") == 0) {
        QApplication app(argc, argv);
        SingleInstance copy(QString::fromLocal8Bit(argv[2]));
        if (!copy.acquire())
            return 3;
        QTextStream(stdout) << "ready" << Qt::endl;
        return app.exec();
    }
    QApplication app(argc, argv);
    tst_SingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_SingleInstance.moc"
