#pragma once

#include <QDialog>
#include <QVector>
#include <memory>

#include "ModalWork.h"

class QLabel;

// The about box: the product, its version and release date. Any key or a
// click on its text closes it.
class infoForm : public QDialog, public ModalWork
{
    Q_OBJECT
public:
    explicit infoForm(QWidget *parent = nullptr);
    ~infoForm() override;
    bool holdsWork() const override { return false; }

    QVector<QLabel *> labKez;
    QVector<QLabel *> Label1;
    QVector<QLabel *> Label2;
    QVector<QLabel *> Label3;
    QLabel *Image1() const;
    QLabel *Image2() const;
    QLabel *Image3() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    struct Ui;
    std::unique_ptr<Ui> ui;
    bool m_keyDown = false;
};
