#pragma once

#include <QDropEvent>

// Hands a drag over or a drop on a control to its form through the
// control's OLEDragOver and OLEDragDrop (State 0 entering, 2 moving over)
// and carries out the form's answer: Effect 0 refuses, 1 copies, 2 moves.
// The effect starts as the one the user's keys ask for.
template <typename Control>
void raiseOleDrop(Control *control, QDropEvent *drop, int Button, int Shift, float x, float Y)
{
    const QMimeData *Data = drop->mimeData();
    int Effect = drop->dropAction() == Qt::MoveAction ? 2 : 1;
    if (drop->type() == QEvent::Drop) {
        emit control->OLEDragDrop(Data, Effect, Button, Shift, x, Y);
    } else {
        int State = drop->type() == QEvent::DragEnter ? 0 : 2;
        emit control->OLEDragOver(Data, Effect, Button, Shift, x, Y, State);
    }
    if (Effect == 0) {
        drop->ignore();
    } else {
        drop->setDropAction(Effect == 2 ? Qt::MoveAction : Qt::CopyAction);
        drop->accept();
    }
}
