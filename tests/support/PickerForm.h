#pragma once

#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <QVBoxLayout>
#include <QWidget>

// A small form for driving one input control as a user would: a field
// before it, the control, a field after it, shown and active.
namespace TestSupport {

// The texts of the message boxes shown since the last call.
QStringList takeMessages();

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
