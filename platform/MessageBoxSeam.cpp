#include "MessageBoxSeam.h"

#include <QMessageBox>
#include <QPushButton>

#include "ModalDialog.h"
#include "ScriptedAnswers.h"

namespace {

ScriptedAnswers<int, MessageBoxSeam::Asked> &state()
{
    static ScriptedAnswers<int, MessageBoxSeam::Asked> s;
    return s;
}

std::function<bool()> &sessionOver()
{
    static std::function<bool()> ended;
    return ended;
}

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0x70) {
    case 16: return QMessageBox::Critical;
    case 32: return QMessageBox::Question;
    case 48: return QMessageBox::Warning;
    case 64: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// The buttons of a style, in the order they appear, with their answers.
QList<QPair<QMessageBox::StandardButton, int>> buttonsOf(int style)
{
    using MB = QMessageBox;
    switch (style & 0x7) {
    case 1: return {{MB::Ok, 1}, {MB::Cancel, 2}};
    case 2: return {{MB::Abort, 3}, {MB::Retry, 4}, {MB::Ignore, 5}};
    case 3: return {{MB::Yes, 6}, {MB::No, 7}, {MB::Cancel, 2}};
    case 4: return {{MB::Yes, 6}, {MB::No, 7}};
    case 5: return {{MB::Retry, 4}, {MB::Cancel, 2}};
    default: return {{MB::Ok, 1}};
    }
}

// The answer of a box that nobody answered: what drops nothing and saves
// nothing.
int unanswered(int style)
{
    const auto buttons = buttonsOf(style);
    for (int wanted : {MessageBoxSeam::vbCancel, MessageBoxSeam::vbNo})
        for (const auto &b : buttons)
            if (b.second == wanted)
                return wanted;
    return buttons.first().second;
}

// The program speaks Italian whatever translations the system has, and
// every button carries its access key, as all the program's buttons do.
QString italianText(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok: return QStringLiteral("&OK");
    case QMessageBox::Cancel: return QStringLiteral("&Annulla");
    case QMessageBox::Yes: return QStringLiteral("&Sì");
    case QMessageBox::No: return QStringLiteral("&No");
    case QMessageBox::Abort: return QStringLiteral("I&nterrompi");
    case QMessageBox::Retry: return QStringLiteral("&Riprova");
    case QMessageBox::Ignore: return QStringLiteral("&Ignora");
    default: return QString();
    }
}

int defaultIndex(int style, int count)
{
    const int index = (style & 0x300) >> 8;
    return index < count ? index : 0;
}

} // namespace

namespace MessageBoxSeam {

int defaultAnswer(int style)
{
    const auto buttons = buttonsOf(style);
    return buttons.at(defaultIndex(style, buttons.size())).second;
}

void setSessionEnded(std::function<bool()> ended)
{
    sessionOver() = std::move(ended);
}

int show(QWidget *parent, const QString &text, int style, const QString &title)
{
    // A box now would only flash: the event loops have been told to return.
    if (sessionOver() && sessionOver()())
        return unanswered(style);
    state().asked.append({text, title, style});
    if (state().scripted)
        return state().next(defaultAnswer(style));

    QMessageBox box(iconOf(style), title, text, QMessageBox::NoButton, parent);
    // Texts carry user data and database errors: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    const auto buttons = buttonsOf(style);
    QList<QAbstractButton *> made;
    for (const auto &b : buttons) {
        QAbstractButton *button = box.addButton(b.first);
        button->setText(italianText(b.first));
        made.append(button);
    }
    box.setDefaultButton(static_cast<QPushButton *>(made.at(defaultIndex(style, made.size()))));
    // Esc answers Cancel where there is one, else the only button.
    for (int i = 0; i < buttons.size(); ++i)
        if (buttons.at(i).second == 2 || buttons.size() == 1)
            box.setEscapeButton(made.at(i));
    ModalDialog::exec(box);
    // No button pressed: the box went with its event loop.
    const int index = made.indexOf(box.clickedButton());
    return index < 0 ? unanswered(style) : buttons.at(index).second;
}

void setScripted(bool scripted)
{
    state().setScripted(scripted);
}

bool isScripted()
{
    return state().scripted;
}

void pushAnswer(int answer)
{
    state().answers.enqueue(answer);
}

QList<Asked> asked()
{
    return state().asked;
}

void clearAsked()
{
    state().asked.clear();
}

} // namespace MessageBoxSeam
