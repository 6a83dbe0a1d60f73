#pragma once

#include <QStringList>

class QTreeWidget;
class QWidget;

// Helpers shared by every test: real temporary databases built from the
// program's schema, typing text a user would type (accents included), and
// pictures of windows for a person to look at.
namespace TestSupport {

QString sourceDir();
QString schemaPath();

// Creates a database file at path from data/schema.sql plus the given
// extra SQL (fixture rows); false on any failure (the reason goes to qWarning).
bool createDatabase(const QString &path, const QString &extraSql = QString());

// Damages the file as a failing disk would, in the first page of a table
// (its root), which opening the database and reading other tables never
// touch: the page no longer starts as any page can. False on failure.
bool damageTable(const QString &path, const QString &table);

// Types text into w one character at a time, accented letters included.
void typeText(QWidget *w, const QString &text);

// The texts of one column of a list, top to bottom.
QStringList columnTexts(QTreeWidget *lv, int col);

// Brings w's window to the front and waits until it is the application's
// active window, the one keys go to. A dialog's platform window reports
// itself active as soon as its parent is, before the dialog has the focus,
// so waiting on the platform window alone lets keys land in the window below.
bool activate(QWidget *w);

// Turns the mouse wheel over w's right end (a picker's arrow) by notches,
// negative towards the user, as the platform delivers a real turn.
void wheel(QWidget *w, int notches);

// Saves a picture of w as <build>/test-pictures/<name>.png and returns the path.
QString grab(QWidget *w, const QString &name);

// Scripts every message box and file dialog (no window ever blocks a test),
// and records files handed to the desktop instead of opening a viewer.
void scriptDialogs();
}
