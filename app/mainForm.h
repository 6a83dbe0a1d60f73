#pragma once

#include <QMainWindow>
#include <QMap>
#include <memory>

class ElidedLabel;
class QAction;
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

    // Pictures of the image lists by 1-based index (null past the end):
    // img16 small button pictures, img24 and img32 larger ones, imgMenu
    // the side-bar icons, picture n being the icon of sheet n.
    QPixmap img16(int index) const;
    QPixmap img24(int index) const;
    QPixmap img32(int index) const;
    QPixmap imgMenu(int index) const;

    // The menu item arrays: one handler each, receiving the item's index;
    // an index the menu does not have does nothing.
    void smu_Click(int Index);
    void sme_Click(int Index);
    void smi_Click(int Index);
    void smp_Click(int Index);
    void smh_Click(int Index);
    void vBar1_Click(int buttonIndex, bool Changed);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void gatherMenuArrays();

    struct Ui;
    std::unique_ptr<Ui> ui;
    QMap<int, QAction *> smu;
    QMap<int, QAction *> sme;
    QMap<int, QAction *> smi;
    QMap<int, QAction *> smp;
    QMap<int, QAction *> smh;
    ElidedLabel *sbPanel1 = nullptr;
    ElidedLabel *sbPanel2 = nullptr;
    bool m_unloaded = false;
};
