#pragma once

#include <QVector>
#include <QWidget>
#include <memory>

class QLabel;

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

    // The product title "KEZ " + year on three stacked labels: the second
    // and third sit 1,2 and 2,3 pixels off the first, as its shadow.
    static void placeTitle(const QVector<QLabel *> &labKez, int year);

    QVector<QLabel *> labKez;
    QVector<QLabel *> Label1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Centres the splash in the main window's client area.
    void centre();

    struct Ui;
    std::unique_ptr<Ui> ui;
};
