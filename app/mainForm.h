#pragma once

#include <QMainWindow>

class QMdiArea;
class QMdiSubWindow;
class vBar;

// The program's one main window: menus, the side bar that opens the sheets,
// the status bar with the current declaration, and the area in which the
// splash, the sheets and the export history open as child windows.
class mainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit mainForm(QWidget *parent = nullptr);
    ~mainForm() override;

    // Enables menus and side-bar buttons from the user's registration, the
    // current declaration and the previous-year connection.
    void abilitaMenu();
    // The second panel of the status bar: the current declaration.
    void setDeclarationText(const QString &text);
    QString declarationText() const;

    QMdiArea *mdiArea() const;
    // Shows w as a child window inside the main window, without waiting.
    QMdiSubWindow *showChild(QWidget *w);
    vBar *sideBar() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    struct Ui;
    Ui *ui;
};
