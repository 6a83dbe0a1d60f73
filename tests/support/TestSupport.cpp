#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTreeWidget>
#include <QWheelEvent>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>
#include <QWidget>

#include <sqlite3.h>

#include "DesktopSeam.h"
#include "FileDialogSeam.h"
#include "KezCollation.h"
#include "MessageBoxSeam.h"

namespace TestSupport {

QString sourceDir()
{
    return QStringLiteral(KEZ_SOURCE_DIR);
}

QString schemaPath()
{
    return sourceDir() + QStringLiteral("/data/schema.sql");
}

bool createDatabase(const QString &path, const QString &extraSql)
{
    QFile schema(schemaPath());
    if (!schema.open(QIODevice::ReadOnly)) {
        qWarning("cannot read the schema %s", qPrintable(schemaPath()));
        return false;
    }
    QFile::remove(path);
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        qWarning("cannot create %s", qPrintable(path));
        sqlite3_close(db);
        return false;
    }
    KezCollation::registerOn(db);
    // A fixture file need not survive a power cut: building it without
    // waiting for the disk keeps the suite quick on a busy machine.
    const QByteArray sql = "PRAGMA synchronous = OFF;\n" + schema.readAll() + "\n" + extraSql.toUtf8();
    char *message = nullptr;
    const bool ok = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message) == SQLITE_OK;
    if (!ok) {
        qWarning("schema or fixture failed: %s", message);
        sqlite3_free(message);
    }
    sqlite3_close(db);
    return ok;
}

bool damageTable(const QString &path, const QString &table)
{
    sqlite3 *db = nullptr;
    sqlite3_stmt *stmt = nullptr;
    qint64 root = 0;
    qint64 pageSize = 0;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
        && sqlite3_prepare_v2(db, "SELECT rootpage, (SELECT page_size FROM pragma_page_size) "
                                  "FROM sqlite_master WHERE name = ?", -1, &stmt, nullptr) == SQLITE_OK) {
        const QByteArray name = table.toUtf8();
        sqlite3_bind_text(stmt, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(stmt) == SQLITE_ROW) {
            root = sqlite3_column_int64(stmt, 0);
            pageSize = sqlite3_column_int64(stmt, 1);
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    QFile file(path);
    if (root < 2 || !file.open(QIODevice::ReadWrite) || !file.seek((root - 1) * pageSize))
        return false;
    return file.write(QByteArray(8, '\xff')) == 8;
}

void typeText(QWidget *w, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(w, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

QStringList columnTexts(QTreeWidget *lv, int col)
{
    QStringList texts;
    for (int i = 0; i < lv->topLevelItemCount(); ++i)
        texts << lv->topLevelItem(i)->text(col);
    return texts;
}

bool activate(QWidget *w)
{
    QWidget *window = w->window();
    window->activateWindow();
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

void wheel(QWidget *w, int notches)
{
    QWidget *top = w->window();
    const QPoint local = w->mapTo(top, QPoint(w->width() - 4, w->height() / 2));
    QWheelEvent event(local, top->mapToGlobal(local), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    // Sent, it would lose the mark of a real turn and reach one widget only.
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(top->windowHandle(), &event);
    QCoreApplication::processEvents();
}

QString grab(QWidget *w, const QString &name)
{
    const QString dir = QStringLiteral(KEZ_PICTURES_DIR);
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    w->grab().save(path);
    return path;
}

void scriptDialogs()
{
    MessageBoxSeam::setScripted(true);
    FileDialogSeam::setScripted(true);
    DesktopSeam::setScripted(true);
}

} // namespace TestSupport
