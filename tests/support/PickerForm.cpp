#include "PickerForm.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QPainter>
#include <QTest>

#include "MessageBoxSeam.h"
#include "TestSupport.h"

namespace TestSupport {

QStringList takeMessages()
{
    QStringList texts;
    for (const auto &asked : MessageBoxSeam::asked())
        texts << asked.text;
    MessageBoxSeam::clearAsked();
    return texts;
}

QString PickerForm::grabWithList(QWidget *box, const QString &name)
{
    auto *combo = qobject_cast<QComboBox *>(box);
    QWidget *popup = combo ? combo->view()->window() : nullptr;
    const QPixmap form = window.grab();
    QRect area(QPoint(0, 0), form.size());
    QPoint at;
    if (popup && popup->isVisible()) {
        at = window.mapFromGlobal(popup->mapToGlobal(QPoint(0, 0)));
        area = area.united(QRect(at, popup->size()));
    }
    QPixmap picture(area.size());
    picture.fill(window.palette().color(QPalette::Window));
    QPainter painter(&picture);
    painter.drawPixmap(-area.topLeft(), form);
    if (popup && popup->isVisible())
        painter.drawPixmap(at - area.topLeft(), popup->grab());
    painter.end();
    const QString dir = QStringLiteral(KEZ_PICTURES_DIR);
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    picture.save(path);
    return path;
}

void PickerForm::place(QWidget *control)
{
    window.resize(320, 140);
    layout = new QVBoxLayout(&window);
    before = new QLineEdit(&window);
    before->setObjectName(QStringLiteral("before"));
    control->setParent(&window);
    after = new QLineEdit(&window);
    after->setObjectName(QStringLiteral("after"));
    layout->addWidget(before);
    layout->addWidget(control);
    layout->addWidget(after);
    layout->addStretch();
    window.show();
    if (!TestSupport::activate(&window))
        qWarning("the test form did not become active");
}
}
