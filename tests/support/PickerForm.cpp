#include "PickerForm.h"

#include <QTest>

#include "dbClass.h"
#include "modMain.h"

namespace TestSupport {

bool useDatabase(const QString &path)
{
    if (!modMain::gDb)
        modMain::gDb = std::make_unique<dbClass>();
    modMain::gDb->kezCnn.close();
    modMain::gDb->kezDbFilename = path;
    return modMain::gDb->kezCnn.open(path);
}

void PickerForm::place(QWidget *control)
{
    window.resize(320, 140);
    layout = new QVBoxLayout(&window);
    before = new QLineEdit(&window);
    before->setObjectName(QStringLiteral("before"));
    after = new QLineEdit(&window);
    after->setObjectName(QStringLiteral("after"));
    control->setParent(&window);
    layout->addWidget(before);
    layout->addWidget(control);
    layout->addWidget(after);
    layout->addStretch();
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        qWarning("the test form did not become active");
}
}
