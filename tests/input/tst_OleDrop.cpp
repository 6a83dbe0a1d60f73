#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QTableWidget>
#include <QTest>

#include <memory>

#include "slxCombo.h"
#include "slxGrid.h"
#include "slxText.h"

// Dragging text onto a field, a list box or a grid whose drops the form
// handles: the form hears the drag with the user's mouse button and keys,
// and its answer decides whether the drop is refused, copied or moved.
class tst_OleDrop : public QObject
{
    Q_OBJECT

    struct Heard
    {
        int effectOffered = -1;
        int button = -1;
        int shift = -1;
        int state = -1;
        bool dropped = false;
    };

    // Sends a drag of type over target, with Ctrl held and the left button
    // down, and returns the event as the control left it. Moves and drops
    // reach only the widget that accepted the drag's entry.
    static QDropEvent *send(QWidget *target, QEvent::Type type, Qt::DropAction proposed,
                            QMimeData &data, std::unique_ptr<QDropEvent> &keep)
    {
        const QPoint at(4, 4);
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::ControlModifier);
        enter.setDropAction(Qt::CopyAction);
        QCoreApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return nullptr;
        if (type == QEvent::Drop)
            keep = std::make_unique<QDropEvent>(QPointF(at), actions, &data, Qt::LeftButton,
                                                Qt::ControlModifier);
        else
            keep = std::make_unique<QDragMoveEvent>(at, actions, &data, Qt::LeftButton,
                                                    Qt::ControlModifier, type);
        keep->setDropAction(proposed);
        QCoreApplication::sendEvent(target, keep.get());
        return keep.get();
    }

    template <typename Control>
    static void listen(Control *c, Heard &heard, int answer)
    {
        QObject::connect(c, &Control::OLEDragDrop, c,
                         [&heard, answer](auto, int &Effect, int &Button, int &Shift, float &, float &) {
                             heard.effectOffered = Effect;
                             heard.button = Button;
                             heard.shift = Shift;
                             heard.dropped = true;
                             Effect = answer;
                         });
        QObject::connect(c, &Control::OLEDragOver, c,
                         [&heard, answer](auto, int &Effect, int &Button, int &Shift, float &, float &,
                                          int &State) {
                             heard.effectOffered = Effect;
                             heard.button = Button;
                             heard.shift = Shift;
                             heard.state = State;
                             // The entry is always let in, so that the move or drop follows.
                             if (State != 0)
                                 Effect = answer;
                         });
    }

private Q_SLOTS:
    void theFormAnswersTheDrop_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("proposed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("action");
        for (const char *control : {"text", "combo", "grid"}) {
            const QString c = QLatin1String(control);
            QTest::addRow("%s: drop copied", control)
                << c << int(QEvent::Drop) << int(Qt::CopyAction) << 1 << true << int(Qt::CopyAction);
            QTest::addRow("%s: drop turned into a move", control)
                << c << int(QEvent::Drop) << int(Qt::CopyAction) << 2 << true << int(Qt::MoveAction);
            QTest::addRow("%s: drop refused", control)
                << c << int(QEvent::Drop) << int(Qt::MoveAction) << 0 << false << int(Qt::MoveAction);
            QTest::addRow("%s: moving over, move kept", control)
                << c << int(QEvent::DragMove) << int(Qt::MoveAction) << 2 << true << int(Qt::MoveAction);
            QTest::addRow("%s: moving over, refused", control)
                << c << int(QEvent::DragMove) << int(Qt::CopyAction) << 0 << false << int(Qt::CopyAction);
        }
    }

    void theFormAnswersTheDrop()
    {
        QFETCH(QString, control);
        QFETCH(int, type);
        QFETCH(int, proposed);
        QFETCH(int, answer);
        QFETCH(bool, accepted);
        QFETCH(int, action);

        QWidget form;
        Heard heard;
        QWidget *target = nullptr;
        if (control == QLatin1String("text")) {
            auto *t = new slxText(&form);
            t->setOleDropMode(1);
            listen(t, heard, answer);
            target = t->textBox();
        } else if (control == QLatin1String("combo")) {
            auto *c = new slxCombo(&form);
            c->setOleDropMode(1);
            listen(c, heard, answer);
            target = c->comboBox()->lineEdit();
        } else {
            auto *g = new slxGrid(&form);
            g->setOleDropMode(1);
            listen(g, heard, answer);
            target = g->table()->viewport();
        }
        QMimeData data;
        data.setText(QStringLiteral("Carta e cartone"));
        std::unique_ptr<QDropEvent> keep;
        QDropEvent *e = send(target, QEvent::Type(type), Qt::DropAction(proposed), data, keep);
        QVERIFY(e);

        QCOMPARE(heard.dropped, type == QEvent::Drop);
        QCOMPARE(heard.effectOffered, proposed == Qt::MoveAction ? 2 : 1);
        QCOMPARE(heard.button, 1);
        QCOMPARE(heard.shift, 2);
        if (type == QEvent::DragMove)
            QCOMPARE(heard.state, 2);
        QCOMPARE(e->isAccepted(), accepted);
        QCOMPARE(int(e->dropAction()), action);
    }
};

QTEST_MAIN(tst_OleDrop)
#include "tst_OleDrop.moc"
