#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPluginLoader>
#include <QProcess>
#include <QTableWidget>
#include <QTest>
#include <QXmlStreamReader>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include "ProgramForms.h"
#include "TestSupport.h"

#ifdef KEZ_DESIGNER_PLUGIN_DIR
#include <QUiLoader>
#endif

// The program's controls in Qt Designer: the plugin makes the real
// controls, so the program's forms open with them and their properties,
// and a control placed new starts with its new-instance values.
class tst_kezDesignerPlugins : public QObject
{
    Q_OBJECT

    struct Declared
    {
        QString className;
        QString name;
        QMap<QString, QString> properties;
    };

    // The controls of the program a form declares, with the plain
    // properties written for them.
    static QList<Declared> controlsOf(const QString &path, const QStringList &classes)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QList<Declared> found;
        QXmlStreamReader xml(&file);
        QList<int> open;
        int depth = 0;
        QString property;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement()) {
                ++depth;
                if (xml.name() == QLatin1String("widget")) {
                    const QString cls = xml.attributes().value(QLatin1String("class")).toString();
                    if (classes.contains(cls)) {
                        found.append({cls, xml.attributes().value(QLatin1String("name")).toString(), {}});
                        open.append(depth);
                    } else {
                        open.append(-depth);
                    }
                } else if (xml.name() == QLatin1String("property") && !open.isEmpty() && open.last() == depth - 1) {
                    property = xml.attributes().value(QLatin1String("name")).toString();
                } else if (!property.isEmpty()
                           && (xml.name() == QLatin1String("number") || xml.name() == QLatin1String("bool")
                               || xml.name() == QLatin1String("string"))) {
                    found.last().properties.insert(property, xml.readElementText());
                    --depth;
                    property.clear();
                }
            } else if (xml.isEndElement()) {
                if (xml.name() == QLatin1String("widget"))
                    open.removeLast();
                if (xml.name() == QLatin1String("property"))
                    property.clear();
                --depth;
            }
        }
        return found;
    }

    static QString shown(const QVariant &value)
    {
        if (value.typeId() == QMetaType::Bool)
            return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
        return value.toString();
    }

#ifdef KEZ_DESIGNER_PLUGIN_DIR
    QDesignerCustomWidgetCollectionInterface *collection = nullptr;
    QPluginLoader plugin;
    QStringList classes;

    void loader(QUiLoader &ui)
    {
        ui.clearPluginPaths();
        ui.addPluginPath(QStringLiteral(KEZ_DESIGNER_PLUGIN_DIR));
    }
#endif

private Q_SLOTS:
    void initTestCase()
    {
#ifndef KEZ_DESIGNER_PLUGIN_DIR
        QSKIP("Qt Designer's development files are missing: no plugin was built");
#else
        const QStringList files = QDir(QStringLiteral(KEZ_DESIGNER_PLUGIN_DIR)).entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        plugin.setFileName(QStringLiteral(KEZ_DESIGNER_PLUGIN_DIR) + QLatin1Char('/') + files.first());
        QVERIFY2(plugin.load(), qPrintable(plugin.errorString()));
        collection = qobject_cast<QDesignerCustomWidgetCollectionInterface *>(plugin.instance());
        QVERIFY(collection);
        for (QDesignerCustomWidgetInterface *widget : collection->customWidgets())
            classes << widget->name();
#endif
    }

#ifdef KEZ_DESIGNER_PLUGIN_DIR
    void registersEveryControl()
    {
        for (const char *name : {"slxText", "slxLabel", "slxButton", "slxCombo", "comboCom",
                                 "comboKgt", "slxGrid", "tbButton", "vBar", "hNav", "fndBar"})
            QVERIFY2(classes.contains(QLatin1String(name)), name);
        QUiLoader ui;
        loader(ui);
        for (const QString &name : qAsConst(classes))
            QVERIFY2(ui.availableWidgets().contains(name), qPrintable(name));
    }

    // The plugin draws the controls and nothing else: none of the shell,
    // the forms, the export or the printing is in it, nor the XML library
    // the export needs.
    void carriesOnlyTheControls()
    {
        QProcess ldd;
        ldd.start(QStringLiteral("ldd"), {plugin.fileName()});
        QVERIFY(ldd.waitForFinished());
        const QString libraries = QString::fromLocal8Bit(ldd.readAllStandardOutput());
        QVERIFY(libraries.contains(QLatin1String("libQt6Widgets")));
        QVERIFY2(!libraries.contains(QLatin1String("libxml2")), qPrintable(libraries));

        QProcess nm;
        nm.start(QStringLiteral("nm"), {QStringLiteral("-C"), QStringLiteral("--defined-only"), plugin.fileName()});
        QVERIFY(nm.waitForFinished(60000));
        const QString symbols = QString::fromLocal8Bit(nm.readAllStandardOutput());
        QVERIFY(symbols.contains(QLatin1String(" slxText::")));
        QVERIFY(symbols.contains(QLatin1String(" slxGrid::")));
        const QDir source(TestSupport::sourceDir());
        for (const char *folder : {"app", "declarations", "sheets", "exchange", "printing", "entry"}) {
            const QStringList headers = QDir(source.filePath(QLatin1String(folder)))
                                            .entryList({QStringLiteral("*.h")}, QDir::Files);
            QVERIFY2(!headers.isEmpty(), folder);
            for (const QString &header : headers) {
                const QString scope = QLatin1Char(' ') + header.chopped(2) + QStringLiteral("::");
                QVERIFY2(!symbols.contains(scope), qPrintable(folder + scope));
            }
        }
        QVERIFY(!symbols.contains(QLatin1String(" xmlReadFile")));
    }

    // Every form of the program opens with its controls made by the
    // plugin and holding the properties written in the form.
    void programFormsOpen_data()
    {
        ProgramForms::addRows();
    }

    void programFormsOpen()
    {
        QFETCH(QString, path);
        QUiLoader ui;
        loader(ui);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        std::unique_ptr<QWidget> form(ui.load(&file));
        QVERIFY2(form, qPrintable(ui.errorString()));
        const QList<Declared> declared = controlsOf(path, classes);
        for (const Declared &control : declared) {
            auto *widget = form->findChild<QWidget *>(control.name);
            QVERIFY2(widget, qPrintable(control.name));
            QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), control.className);
            for (auto it = control.properties.cbegin(); it != control.properties.cend(); ++it) {
                const QVariant value = widget->property(qPrintable(it.key()));
                if (value.isValid())
                    QCOMPARE(shown(value), it.value());
            }
        }
        if (path.endsWith(QLatin1String("mainForm.ui"))) {
            QWidget *bar = form->findChild<QWidget *>(QStringLiteral("vBar1"));
            QVERIFY(bar);
            QCOMPARE(bar->property("ButtonHeight").toInt(), 62);
            form->resize(800, 500);
            TestSupport::grab(form.get(), QStringLiteral("designer_mainForm"));
        }
    }

    // A control placed new: what Designer puts on the form comes back
    // through the loader as the control with its new-instance values.
    void newInstances()
    {
        QUiLoader ui;
        loader(ui);
        QMap<QString, QString> xmlOf;
        for (QDesignerCustomWidgetInterface *widget : collection->customWidgets()) {
            QVERIFY(!widget->isContainer());
            QCOMPARE(widget->includeFile(), widget->name() + QStringLiteral(".h"));
            QString xml = widget->domXml();
            xmlOf.insert(widget->name(), xml);
            QByteArray form = xml.toUtf8();
            QBuffer buffer(&form);
            std::unique_ptr<QWidget> made(ui.load(&buffer));
            QVERIFY2(made, qPrintable(widget->name()));
            QCOMPARE(QString::fromLatin1(made->metaObject()->className()), widget->name());
            QVERIFY(made->width() > 0 && made->height() > 0);
            // A new grid starts with one column.
            if (widget->name() == QLatin1String("slxGrid"))
                QTRY_COMPARE(made->property("Cols").toInt(), 1);
        }
        // Buttons and labels start captioned with their name.
        QVERIFY(xmlOf.value(QStringLiteral("slxButton")).contains(QLatin1String("<string notr=\"true\">slb</string>")));
        QVERIFY(xmlOf.value(QStringLiteral("slxLabel")).contains(QLatin1String("<string notr=\"true\">sll</string>")));
    }

    // A grid of a form builds its columns from the column keys the form
    // stores on it, as the program does at the end of reading the form.
    void gridColumnsFromForm()
    {
        QByteArray form = R"(<ui version="4.0">
 <widget class="QWidget" name="Form">
  <widget class="slxGrid" name="slg">
   <property name="Rows"><number>4</number></property>
   <property name="Col01Caption" stdset="0"><string notr="true">Codice</string></property>
   <property name="Col02Caption" stdset="0"><string notr="true">Quantità</string></property>
   <property name="Col02Type" stdset="0"><number>3</number></property>
   <property name="Col03Width" stdset="0"><number>1440</number></property>
  </widget>
 </widget>
</ui>)";
        QUiLoader ui;
        loader(ui);
        QBuffer buffer(&form);
        std::unique_ptr<QWidget> made(ui.load(&buffer));
        QVERIFY(made);
        QWidget *grid = made->findChild<QWidget *>(QStringLiteral("slg"));
        QVERIFY(grid);
        QTRY_COMPARE(grid->property("Cols").toInt(), 3);
        auto *table = grid->findChild<QTableWidget *>();
        QVERIFY(table);
        QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("Codice"));
        QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("Quantità"));
        QCOMPARE(grid->property("Rows").toInt(), 4);
    }

    // The plugin's controls sit in the designer: a disabled one stays
    // usable, so its properties can still be edited.
    void designModeControls()
    {
        QUiLoader ui;
        loader(ui);
        std::unique_ptr<QWidget> field(ui.createWidget(QStringLiteral("slxText")));
        QVERIFY(field);
        field->setProperty("Enabled", false);
        QVERIFY(field->isEnabled());
        QCOMPARE(field->property("Enabled").toBool(), false);
    }
#endif
};

QTEST_MAIN(tst_kezDesignerPlugins)
#include "tst_kezDesignerPlugins.moc"
