#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QUndoStack>
#include <functional>

#include "ProgramForms.h"
#include "TestSupport.h"

#if defined(KEZ_DESIGNER_FORM_EDITOR) && defined(KEZ_DESIGNER_PLUGIN_DIR)
#define KEZ_FORM_EDITOR 1
#include <QtDesigner/QDesignerComponents>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerFormWindowManagerInterface>
#include <QtDesigner/QDesignerIntegration>
#include <QtDesigner/QDesignerPropertyEditorInterface>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QDesignerWidgetBoxInterface>
#include <QtDesigner/QExtensionManager>
#endif

// The program's forms in Qt Designer's own form editor with the plugin:
// they open with the real controls, and the property pages opened from a
// control's context menu write into the form's file.
class tst_kezDesignerForms : public QObject
{
    Q_OBJECT

#ifdef KEZ_FORM_EDITOR
    QDesignerFormEditorInterface *core = nullptr;

    std::unique_ptr<QDesignerFormWindowInterface> open(const QString &contents)
    {
        std::unique_ptr<QDesignerFormWindowInterface> form(
            core->formWindowManager()->createFormWindow(nullptr));
        QString error;
        QByteArray bytes = contents.toUtf8();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        if (!form->setContents(&buffer, &error)) {
            qWarning() << error;
            return nullptr;
        }
        core->formWindowManager()->setActiveFormWindow(form.get());
        return form;
    }

    QWidget *control(QDesignerFormWindowInterface *form, const QString &name)
    {
        return form->mainContainer()->findChild<QWidget *>(name);
    }

    // Opens the pages of control from its context menu and lets drive act
    // on the dialog, which it must close.
    bool usePages(QWidget *control, const std::function<void(QWidget *)> &drive)
    {
        auto *menu = qt_extension<QDesignerTaskMenuExtension *>(core->extensionManager(), control);
        if (!menu || !menu->preferredEditAction())
            return false;
        bool shown = false;
        QTimer::singleShot(0, this, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            shown = true;
            TestSupport::grab(dialog, QStringLiteral("designer_pages_") + control->objectName());
            drive(dialog);
        });
        menu->preferredEditAction()->trigger();
        return shown;
    }

    static QPushButton *button(QWidget *dialog, const QString &text)
    {
        for (QPushButton *b : dialog->findChildren<QPushButton *>()) {
            if (b->text() == text)
                return b;
        }
        return nullptr;
    }

    static const char *form()
    {
        return R"(<ui version="4.0">
 <class>Form</class>
 <widget class="QWidget" name="Form">
  <property name="geometry"><rect><x>0</x><y>0</y><width>320</width><height>220</height></rect></property>
  <widget class="slxText" name="slt_0">
   <property name="geometry"><rect><x>10</x><y>10</y><width>100</width><height>22</height></rect></property>
   <property name="ControlType"><number>3</number></property>
  </widget>
  <widget class="slxText" name="slt_1">
   <property name="geometry"><rect><x>120</x><y>10</y><width>100</width><height>22</height></rect></property>
  </widget>
  <widget class="slxGrid" name="slg">
   <property name="geometry"><rect><x>10</x><y>50</y><width>300</width><height>120</height></rect></property>
   <property name="Col01Caption" stdset="0"><string notr="true">Codice</string></property>
   <property name="Col02Caption" stdset="0"><string notr="true">Quantità</string></property>
  </widget>
 </widget>
 <customwidgets>
  <customwidget><class>slxText</class><extends>QWidget</extends><header>slxText.h</header></customwidget>
  <customwidget><class>slxGrid</class><extends>QWidget</extends><header>slxGrid.h</header></customwidget>
 </customwidgets>
</ui>)";
    }
#endif

private Q_SLOTS:
    void initTestCase()
    {
#ifndef KEZ_FORM_EDITOR
        QSKIP("Qt Designer's form editor or the plugin is missing");
#else
        QCoreApplication::addLibraryPath(QFileInfo(QStringLiteral(KEZ_DESIGNER_PLUGIN_DIR)).path());
        QDesignerComponents::initializeResources();
        core = QDesignerComponents::createFormEditor(this);
        core->setWidgetBox(QDesignerComponents::createWidgetBox(core, nullptr));
        core->setPropertyEditor(QDesignerComponents::createPropertyEditor(core, nullptr));
        QDesignerComponents::createTaskMenu(core, core);
        new QDesignerIntegration(core, core);
        QDesignerComponents::initializePlugins(core);
#endif
    }

#ifdef KEZ_FORM_EDITOR
    void programFormsOpen_data()
    {
        ProgramForms::addRows();
    }

    void programFormsOpen()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString contents = QString::fromUtf8(file.readAll());
        auto window = open(contents);
        QVERIFY(window);
        // Every widget the form declares with one of the program's classes
        // is that control, not a stand-in.
        const QStringList classes = {"slxText", "slxLabel", "slxButton", "slxCombo", "comboCom", "comboKgt",
                                     "slxGrid", "tbButton", "vBar", "hNav", "fndBar"};
        const QRegularExpression declared(QStringLiteral("<widget class=\"(\\w+)\" name=\"(\\w+)\""));
        for (auto it = declared.globalMatch(contents); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            if (!classes.contains(m.captured(1)))
                continue;
            QWidget *w = control(window.get(), m.captured(2));
            QVERIFY2(w, qPrintable(m.captured(2)));
            QCOMPARE(QString::fromLatin1(w->metaObject()->className()), m.captured(1));
        }
        QCOMPARE(window->contents().count(QLatin1String("<widget ")), contents.count(QLatin1String("<widget ")));
        // The form window keeps the form's size apart: give the picture
        // the size the form declares.
        const QRegularExpressionMatch size = QRegularExpression(
            QStringLiteral("<width>(\\d+)</width>\\s*<height>(\\d+)</height>")).match(contents);
        if (size.hasMatch()) {
            const QSize declared(size.captured(1).toInt(), size.captured(2).toInt());
            window->resize(declared + QSize(40, 40));
            window->mainContainer()->resize(declared);
        }
        TestSupport::grab(window->mainContainer(),
                          QStringLiteral("designer_form_") + QFileInfo(path).completeBaseName());
    }

    // Characters and the type, on both selected fields, in one undo step.
    void textPagesWriteTheForm()
    {
        auto window = open(QString::fromUtf8(form()));
        QVERIFY(window);
        QWidget *first = control(window.get(), QStringLiteral("slt_0"));
        QWidget *second = control(window.get(), QStringLiteral("slt_1"));
        QVERIFY(first && second);
        QCOMPARE(QString::fromLatin1(first->metaObject()->className()), QStringLiteral("slxText"));
        window->clearSelection(false);
        window->selectWidget(first, true);
        window->selectWidget(second, true);
        QVERIFY(usePages(first, [](QWidget *dialog) {
            dialog->findChild<QCheckBox *>(QStringLiteral("chkChars_4"))->click();
            auto *type = dialog->findChild<QComboBox *>(QStringLiteral("cmbType"));
            type->setCurrentIndex(4);
            emit type->activated(4);
            button(dialog, QStringLiteral("OK"))->click();
        }));
        const QString text = window->contents();
        QCOMPARE(text.count(QLatin1String("<property name=\"Characters\">\n    <number>47</number>")), 2);
        QCOMPARE(text.count(QLatin1String("<property name=\"ControlType\">\n    <number>4</number>")), 2);
        QCOMPARE(first->property("DecDigits").toInt(), 2);
        // Properties the pages left as they were stay out of the file.
        QVERIFY(!text.contains(QLatin1String("\"MaxLength\"")));
        window->commandHistory()->undo();
        QCOMPARE(first->property("Characters").toInt(), 63);
        QCOMPARE(second->property("ControlType").toInt(), 0);
    }

    // A column inserted after the first and captioned: the file holds the
    // grid's columns with their new numbers.
    void columnPageWritesTheForm()
    {
        auto window = open(QString::fromUtf8(form()));
        QVERIFY(window);
        QWidget *grid = control(window.get(), QStringLiteral("slg"));
        QVERIFY(grid);
        QTRY_COMPARE(grid->property("Cols").toInt(), 2);
        QVERIFY(usePages(grid, [](QWidget *dialog) {
            auto *text = dialog->findChild<QLineEdit *>(QStringLiteral("txtCol"));
            QCOMPARE(text->text(), QStringLiteral("Colonna 1 di 2"));
            button(dialog, QStringLiteral("Inserisci colonna"))->click();
            QCOMPARE(text->text(), QStringLiteral("Colonna 2 di 3"));
            auto *caption = dialog->findChild<QLineEdit *>(QStringLiteral("slt_0"));
            caption->setText(QStringLiteral("Unità"));
            button(dialog, QStringLiteral("OK"))->click();
        }));
        QTRY_COMPARE(grid->property("Cols").toInt(), 3);
        const QString text = window->contents();
        QVERIFY(text.contains(QLatin1String("<property name=\"Col01Caption\" stdset=\"0\">")));
        QVERIFY(text.contains(QStringLiteral("Unità")));
        QVERIFY(text.indexOf(QLatin1String("Col02Caption")) < text.indexOf(QStringLiteral("Unità")));
        QVERIFY(text.contains(QLatin1String("<property name=\"Col03Caption\" stdset=\"0\">")));
        QVERIFY(text.indexOf(QLatin1String("Col03Caption")) < text.indexOf(QStringLiteral("Quantità")));

        // The last column deleted: its keys leave the file and the grid
        // reads two columns again.
        QVERIFY(usePages(grid, [](QWidget *dialog) {
            auto *text = dialog->findChild<QLineEdit *>(QStringLiteral("txtCol"));
            QCOMPARE(text->text(), QStringLiteral("Colonna 1 di 3"));
            auto *next = dialog->findChild<QPushButton *>(QStringLiteral("slb_1"));
            next->click();
            next->click();
            button(dialog, QStringLiteral("Elimina colonna"))->click();
            QCOMPARE(text->text(), QStringLiteral("Colonna 2 di 2"));
            button(dialog, QStringLiteral("Annulla"))->click();
        }));
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        QCOMPARE(grid->property("Cols").toInt(), 2);
        const QString after = window->contents();
        QVERIFY(!after.contains(QLatin1String("Col03")));
        QVERIFY(after.contains(QStringLiteral("Unità")));
    }
#endif
};

QTEST_MAIN(tst_kezDesignerForms)
#include "tst_kezDesignerForms.moc"
