#pragma once

#include <QPixmap>
#include <QVector>
#include <QWidget>

class PropertyBag;
class tbButton;

// The main window's side bar: an accordion of menus, each a header
// button with its buttons stacked under it while it is the open one.
// The host fills it at run time (AddMenu, AddButton, then Show) and hears
// presses through Click and MenuClick.
class vBar : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(bool Underline MEMBER Underline)
    Q_PROPERTY(int UnderlineColor MEMBER UnderlineColor)
    Q_PROPERTY(int ButtonBackColor READ ButtonBackColor WRITE setButtonBackColor)
    Q_PROPERTY(bool ButtonFlat READ ButtonFlat WRITE setButtonFlat)
    Q_PROPERTY(QFont ButtonFont READ ButtonFont WRITE setButtonFont)
    Q_PROPERTY(int ButtonForeColor READ ButtonForeColor WRITE setButtonForeColor)
    Q_PROPERTY(int ButtonForeOver READ ButtonForeOver WRITE setButtonForeOver)
    Q_PROPERTY(int ButtonHeight READ ButtonHeight WRITE setButtonHeight)
    Q_PROPERTY(QPixmap ButtonMouseIcon READ ButtonMouseIcon WRITE setButtonMouseIcon)
    Q_PROPERTY(int ButtonPicPos READ ButtonPicPos WRITE setButtonPicPos)
    Q_PROPERTY(int ButtonSpacing READ ButtonSpacing WRITE setButtonSpacing)
    Q_PROPERTY(int MenuBackColor READ MenuBackColor WRITE setMenuBackColor)
    Q_PROPERTY(bool MenuFlat READ MenuFlat WRITE setMenuFlat)
    Q_PROPERTY(QFont MenuFont READ MenuFont WRITE setMenuFont)
    Q_PROPERTY(int MenuForeColor READ MenuForeColor WRITE setMenuForeColor)
    Q_PROPERTY(int MenuForeOver READ MenuForeOver WRITE setMenuForeOver)
    Q_PROPERTY(int MenuHeight READ MenuHeight WRITE setMenuHeight)
    Q_PROPERTY(QPixmap MenuMouseIcon READ MenuMouseIcon WRITE setMenuMouseIcon)
    Q_PROPERTY(int MenuPicPos READ MenuPicPos WRITE setMenuPicPos)
    Q_PROPERTY(int MenuSpacing READ MenuSpacing WRITE setMenuSpacing)

public:
    // Menus the bar can hold.
    static constexpr int maxMenus = 9;

    explicit vBar(QWidget *parent = nullptr);
    ~vBar() override;

    // Copied to the template button when the bar is read at run time.
    bool Underline = false;
    int UnderlineColor;

    int BackColor() const { return m_backColor; }
    void setBackColor(int value);
    bool Enabled() const { return m_enabled; }
    // Kept and stored only: headers and buttons stay as they are.
    void setEnabled(bool value);

    int ButtonBackColor() const;
    void setButtonBackColor(int value);
    bool ButtonFlat() const;
    void setButtonFlat(bool value);
    QFont ButtonFont() const;
    void setButtonFont(const QFont &value);
    int ButtonForeColor() const;
    void setButtonForeColor(int value);
    int ButtonForeOver() const;
    void setButtonForeOver(int value);
    int ButtonHeight() const;
    void setButtonHeight(int value);
    QPixmap ButtonMouseIcon() const;
    void setButtonMouseIcon(const QPixmap &value);
    int ButtonPicPos() const;
    void setButtonPicPos(int value);
    int ButtonSpacing() const;
    void setButtonSpacing(int value);
    int MenuBackColor() const;
    void setMenuBackColor(int value);
    bool MenuFlat() const;
    void setMenuFlat(bool value);
    QFont MenuFont() const;
    void setMenuFont(const QFont &value);
    int MenuForeColor() const;
    void setMenuForeColor(int value);
    int MenuForeOver() const;
    void setMenuForeOver(int value);
    int MenuHeight() const;
    void setMenuHeight(int value);
    QPixmap MenuMouseIcon() const;
    void setMenuMouseIcon(const QPixmap &value);
    int MenuPicPos() const;
    void setMenuPicPos(int value);
    int MenuSpacing() const;
    void setMenuSpacing(int value);

    // False for an index that names no header or button (nothing changes).
    bool menuEnabled(int Indice) const;
    bool setMenuEnabled(int Indice, bool value);
    bool buttonEnabled(int Indice) const;
    bool setButtonEnabled(int Indice, bool value);

    // False when the bar already holds maxMenus menus (nothing is added).
    bool AddMenu(const QString &Caption, const QString &ToolTip = QString(),
                 const QPixmap &Icona = QPixmap());
    void AddButton(const QString &Caption, const QString &ToolTip = QString(),
                   const QPixmap &Icona = QPixmap());
    void menuSelect(int Selected);
    void Show(int Selected = 0);

    void initNewInstance();
    void readProperties(const PropertyBag &bag);
    void writeProperties(PropertyBag &bag) const;

    // Header i (0 = the template) and button j (0 = the template).
    tbButton *menuHeader(int i) const { return tbMenu.value(i); }
    tbButton *button(int j) const { return tbb.value(j); }
    int menuCount() const { return m_menuCount; }
    int buttonCount() const { return m_nextButton - 1; }
    int openMenu() const { return m_openMenu; }

Q_SIGNALS:
    void Click(int buttonIndex, bool Changed);
    void MenuClick(int menuIndex, bool Changed);

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    tbButton *copyOf(const tbButton *model);
    void placeWidth(tbButton *b) const;
    void menuPressed(int i);
    void buttonPressed(int j);

    QVector<tbButton *> tbMenu;
    QVector<tbButton *> tbb;
    int m_backColor;
    bool m_enabled = true;
    int m_menuCount = 0;
    int m_nextButton = 1;
    int m_firstMenu = 1;
    int m_firstButton[maxMenus + 2] = {};
    int m_openMenu = 0;
    int m_lastButton = 0;
};
