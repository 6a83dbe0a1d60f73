#pragma once

#include <QWidget>

// The splash that fills the main window whenever no sheet is open: the
// product, its year, the declaration year and the registered user. Its
// presence alone marks an empty main window.
class Logo : public QWidget
{
    Q_OBJECT
public:
    explicit Logo(QWidget *parent = nullptr);
    ~Logo() override;

    // Shows the splash centred in the main window, loading it afresh when
    // it was closed; returns it.
    static Logo *showInMain();
    // The loaded splash, or nullptr.
    static Logo *instance();
    void setUser(const QString &name);
    QString user() const;
};
