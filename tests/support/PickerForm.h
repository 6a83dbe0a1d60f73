#pragma once

#include <QLineEdit>
#include <QString>
#include <QVBoxLayout>
#include <QWidget>

// A small form for driving one input control as a user would: a field
// before it, the control, a field after it, shown and active.
namespace TestSupport {

// Opens the database at path as the program's current-year database
// (modMain::gDb), creating the database object when needed.
bool useDatabase(const QString &path);

struct PickerForm
{
    QWidget window;
    QLineEdit *before = nullptr;
    QLineEdit *after = nullptr;
    QVBoxLayout *layout = nullptr;

    // Places control between the two fields and shows the form.
    void place(QWidget *control);
    // Saves a picture of the form with the open list of box drawn where
    // the user sees it.
    QString grabWithList(QWidget *box, const QString &name);
};
}
