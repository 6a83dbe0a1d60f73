#include "modFunz.h"

#include <QApplication>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>

#include "DesktopSeam.h"
#include "KeySender.h"
#include "MessageBoxSeam.h"
#include "MsgBox.h"
#include "Recordset.h"
#include "dbClass.h"
#include "mainForm.h"
#include "modMain.h"
#include "slxText.h"

namespace {

// Value of a character in an odd position of the codice fiscale, A to Z;
// a digit counts as the letter of the same ordinal (0 as A).
const int oddValues[26] = {1, 0, 5, 7, 9, 13, 15, 17, 19, 21, 2, 4, 18,
                           20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};

bool isLetter(QChar c)
{
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool wellFormed(const QString &code)
{
    if (code.length() == 11) {
        for (QChar c : code)
            if (!isDigit(c))
                return false;
        return true;
    }
    if (code.length() != 16)
        return false;
    // Digits of the date and place may be replaced by letters L-V (no O)
    // when two people would otherwise share a code.
    static const QString digitLetters = QStringLiteral("LMNPQRSTUV");
    for (int i = 0; i < 16; ++i) {
        const QChar c = code.at(i);
        const int position = i + 1;
        const bool letterOnly = position <= 6 || position == 9 || position == 12 || position == 16;
        if (letterOnly ? !isLetter(c) : !(isDigit(c) || digitLetters.contains(c)))
            return false;
    }
    return true;
}

bool checkCharacterRight(const QString &code)
{
    if (code.length() == 11) {
        int sum = 0;
        for (int i = 0; i < 10; ++i) {
            int digit = code.at(i).unicode() - '0';
            if ((i + 1) % 2 == 0) {
                digit *= 2;
                if (digit > 9)
                    digit -= 9;
            }
            sum += digit;
        }
        return code.at(10).unicode() - '0' == (100 - sum) % 10;
    }
    int sum = 0;
    for (int i = 0; i < 15; ++i) {
        const QChar c = code.at(i);
        const int value = isDigit(c) ? c.unicode() - '0' : c.unicode() - 'A';
        sum += (i + 1) % 2 == 0 ? value : oddValues[value];
    }
    return code.at(15).unicode() - 'A' == sum % 26;
}

} // namespace

namespace modFunz {

bool setWaitCursor(bool wait)
{
    const QCursor *current = QApplication::overrideCursor();
    const bool wasWaiting = current && current->shape() == Qt::WaitCursor;
    if (wait) {
        if (current)
            QApplication::changeOverrideCursor(Qt::WaitCursor);
        else
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
    QCoreApplication::processEvents();
    return wasWaiting;
}

void centerForm(QWidget *frm)
{
    if (!frm)
        return;
    QWidget *target = frm;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(frm->parentWidget()))
        target = sub;
    QWidget *area = nullptr;
    if (modMain::gMain && modMain::gMain->mdiArea())
        area = modMain::gMain->mdiArea()->viewport();
    else if (!target->isWindow())
        area = target->parentWidget();
    if (!area)
        return;
    const QPoint topLeft((area->width() - target->width()) / 2,
                         (area->height() - target->height()) / 2);
    if (target->isWindow())
        target->move(area->mapToGlobal(topLeft));
    else
        target->move(target->parentWidget()->mapFrom(area->window(),
                                                      area->mapTo(area->window(), topLeft)));
}

void sendTab(int &KeyAscii)
{
    KeySender::sendTabOnEnter(KeyAscii);
}

int showMsg(const QString &prompt, int buttons)
{
    return MsgBox::show(prompt, buttons);
}

int showMsg(const QString &prompt, int buttons, const QString &title)
{
    return MsgBox::show(prompt, buttons, title);
}

bool warnMsg(const QString &text)
{
    return MsgBox::warn(text);
}

bool apriFile(const QString &fileName)
{
    // The desktop is going away: a viewer started now would outlive it.
    if (modMain::sessionEnded())
        return true;
    if (DesktopSeam::openFile(fileName))
        return true;
    warnMsg(QStringLiteral("Attenzione, il file è stato scritto ma non è stato possibile aprirlo:\n") + fileName);
    return false;
}

bool showError(const QString &context)
{
    return MsgBox::showError(context);
}

bool confirmDelete(const QString &item)
{
    QApplication::beep();
    return showMsg(QStringLiteral("Elimino ") + item + QStringLiteral("\nsei sicuro?"), 292)
        == MessageBoxSeam::vbYes;
}

bool askSaveOnUnload(const QString &prompt, const std::function<bool()> &save)
{
    switch (MessageBoxSeam::show(MsgBox::parent(), prompt, 35, MsgBox::caption())) {
    case MessageBoxSeam::vbYes:
        return save();
    case MessageBoxSeam::vbNo:
        return true;
    default:
        return false;
    }
}

int fitListColumns(QTreeWidget *lv, int stretchCol, int rows, bool adding, int colCount)
{
    if (!lv)
        return 0;
    const int items = lv->topLevelItemCount();
    int rowHeight = lv->fontMetrics().boundingRect(QStringLiteral("Tg")).height();
    if (items > 0)
        rowHeight = qMax(rowHeight, lv->sizeHintForRow(0));
    int available = lv->height() - 2 * lv->frameWidth();
    if (!lv->isHeaderHidden())
        available -= lv->header()->sizeHint().height();
    const int visible = rowHeight > 0 ? qMax(0, available / rowHeight) : 0;

    // Once fitted, a list is fitted again only when its count crosses the
    // number of lines that fit.
    if (rows != 0 && items != (adding ? rows + 1 : rows))
        return visible;

    const int columns = lv->columnCount();
    const int last = colCount == 0 ? columns : qMin(colCount, columns);
    if (stretchCol < 1 || stretchCol > columns)
        return visible;
    int width = lv->width();
    for (int col = 1; col <= last; ++col)
        if (col != stretchCol)
            width -= lv->columnWidth(col - 1);
    int border = 2 * lv->frameWidth();
    if (items > visible)
        border += lv->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, lv);
    // Columns already wider than the list leave the stretch column readable.
    lv->setColumnWidth(stretchCol - 1, qMax(width - border, lv->header()->minimumSectionSize()));
    return visible;
}

void fitListColumns(QTreeWidget *lv, int stretchCol, int colCount)
{
    fitListColumns(lv, stretchCol, 0, false, colCount);
}

bool checkCodFisc(const QVariant &value)
{
    const QString code = nzStr(value).trimmed().toUpper();
    if (code.isEmpty()) {
        showMsg(QStringLiteral("Attenzione, campo codice fiscale richiesto!"), 16);
        return false;
    }
    if (!wellFormed(code)) {
        showMsg(QStringLiteral("Attenzione, campo codice fiscale formalmente errato!"), 16);
        return false;
    }
    if (checkCharacterRight(code))
        return true;
    // A wrong check character may still be a real code: the user decides.
    QApplication::beep();
    return showMsg(QStringLiteral("Attenzione, codice fiscale errato,\nconfermi codice digiato?"), 36)
        == MessageBoxSeam::vbYes;
}

int codFiscState(const QString &code)
{
    if (!wellFormed(code))
        return 1;
    return checkCharacterRight(code) ? 0 : 2;
}

bool checkDuplicateCF(Recordset &rs)
{
    const QVariant prvIstat = rs.value(QStringLiteral("prvIstat"));
    QString text;
    if (!prvIstat.isNull() && prvIstat.toInt() == 0) {
        text = QStringLiteral("Esiste già un modulo estero con questo codice fiscale,");
    } else {
        text = QStringLiteral("Esiste già un modulo con questo codice fiscale");
        const QVariant comune = modMain::gDb
            ? modMain::gDb->comuneDaIstat(prvIstat, rs.value(QStringLiteral("comIstat")))
            : QVariant();
        // A municipality missing from the table still lets the question be asked.
        if (!comune.isNull()) {
            const QStringList parts = comune.toStringList();
            text += QStringLiteral("\na ") + parts.value(0) + QStringLiteral(" (") + parts.value(3)
                + QLatin1Char(')');
        }
        text += QStringLiteral("\nin ") + nzStr(rs.value(QStringLiteral("via"))) + QLatin1Char(' ')
            + nzStr(rs.value(QStringLiteral("civico")));
    }
    return showMsg(text + QStringLiteral("\nvuoi inserirne uno di nuovo?"), 36)
        != MessageBoxSeam::vbYes;
}

bool checkRefusedFields(const QVector<slxText *> &fields, int from,
                        const std::function<void(int, bool &)> &check)
{
    // A refused value stays on screen for the user to mend, but no save
    // stores it; a field that accepted its value remembers that value.
    for (int i = from; i < fields.size(); ++i) {
        if (fields[i]->oldValue == fields[i]->Value())
            continue;
        bool Cancel = false;
        check(i, Cancel);
        if (Cancel) {
            fields[i]->setFocus();
            return false;
        }
    }
    return true;
}

} // namespace modFunz
