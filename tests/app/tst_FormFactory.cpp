#include <QtTest>

#include "FormFactory.h"
#include "FormRegistry.h"
#include "MainWindowSupport.h"
#include "ShellFixture.h"
#include "mainForm.h"
#include "modMain.h"
#include "modalClass.h"

// The shell makes forms only through the creators registered with it: a
// code opens what was registered last under it, nothing when nothing was,
// and the launchers of the pick lists reach the same table.
class tst_FormFactory : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        // The rest of the program's tests expect the program's own forms.
        FormRegistry::registerAll();
    }

    void opensWhatIsRegistered()
    {
        ShellFixture fx;
        fx.startGlobals();
        QStringList made;
        QList<QWidget *> owners;
        FormFactory::registerDialog(FormFactory::listAtt, [&](QWidget *owner) {
            made << QStringLiteral("first");
            owners << owner;
        });
        FormFactory::registerDialog(FormFactory::listAtt, [&](QWidget *owner) {
            made << QStringLiteral("listAtt");
            owners << owner;
            modMain::gModal->Status = true;
        });
        FormFactory::registerChild(FormFactory::SbopForm, [&]() -> QWidget * {
            made << QStringLiteral("sbop");
            return modMain::gMain;
        });

        // Without a main window no child window opens, and its creator is not asked.
        QCOMPARE(FormFactory::showChild(FormFactory::SbopForm), nullptr);
        QVERIFY(!FormFactory::execDialog(999));
        QCOMPARE(FormFactory::showChild(999), nullptr);
        QCOMPARE(FormFactory::showModule(999), nullptr);

        // The pick-list launcher goes through the table; the dialog is owned
        // by the main window once there is one.
        QVERIFY(modMain::gModal->showAttEco(QStringLiteral("10.11")));
        auto *window = new mainForm;
        QCOMPARE(FormFactory::showChild(FormFactory::SbopForm), window);
        QVERIFY(FormFactory::execDialog(FormFactory::listAtt));
        QCOMPARE(made, QStringList({QStringLiteral("listAtt"), QStringLiteral("sbop"), QStringLiteral("listAtt")}));
        QCOMPARE(owners, QList<QWidget *>({nullptr, window}));
        MainWindowSupport::closeMainWindow();
    }
};

QTEST_MAIN(tst_FormFactory)
#include "tst_FormFactory.moc"
