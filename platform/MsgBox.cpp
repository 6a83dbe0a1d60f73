#include "MsgBox.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QPointer>
#include <QWidget>

#include "ErrInfo.h"
#include "MessageBoxSeam.h"

namespace {
// Off unless asked for: QT_LOGGING_RULES="kez.errors.info=true".
Q_LOGGING_CATEGORY(lcErrors, "kez.errors", QtWarningMsg)

std::function<QString()> &captionSource()
{
    static std::function<QString()> source;
    return source;
}

std::function<QWidget *()> &mainWindowSource()
{
    static std::function<QWidget *()> source;
    return source;
}
} // namespace

namespace MsgBox {

void setCaption(std::function<QString()> caption)
{
    captionSource() = std::move(caption);
}

void setMainWindow(std::function<QWidget *()> mainWindow)
{
    mainWindowSource() = std::move(mainWindow);
}

QString caption()
{
    return captionSource() ? captionSource()() : QStringLiteral("Kez");
}

QWidget *parent()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (mainWindowSource())
        if (QWidget *main = mainWindowSource()())
            return main;
    return QApplication::activeWindow();
}

int show(const QString &prompt, int buttons)
{
    return show(prompt, buttons, caption());
}

int show(const QString &prompt, int buttons, const QString &title)
{
    QPointer<QWidget> focus = QApplication::focusWidget();
    const int answer = MessageBoxSeam::show(parent(), prompt, buttons, title);
    if (focus && focus->isEnabled() && focus->isVisible())
        focus->setFocus();
    return answer;
}

bool warn(const QString &text)
{
    show(text, 64);
    return true;
}

bool showError(const QString &context)
{
    QApplication::beep();
    const ErrInfo &err = ErrInfo::current();
    const QString number = QString::number(static_cast<uint>(err.Number), 16).toUpper();
    const QString title = context.isEmpty()
        ? QStringLiteral("Errore codice: ") + number
        : context + QStringLiteral(" (") + number + QLatin1Char(')');
    // The library's own English stays out of the box: only the log has it.
    if (err.userText() != err.Description)
        qCInfo(lcErrors, "%s", qUtf8Printable(err.Description));
    MessageBoxSeam::show(parent(), err.userText() + QLatin1Char('\n') + err.Source, 16, title);
    return false;
}

} // namespace MsgBox
