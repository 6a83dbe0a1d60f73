#include "kezWidgetPlugin.h"

#include <QIcon>
#include <QMetaProperty>
#include <QWidget>
#include <QXmlStreamWriter>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QExtensionManager>
#include <memory>

#include "kezTaskMenuFactory.h"

namespace {

// The .ui element of a property value; false for kinds a new control never
// differs in (fonts and pictures come from the form).
bool writeValue(QXmlStreamWriter &xml, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
        xml.writeTextElement(QStringLiteral("number"), QString::number(value.toInt()));
        return true;
    case QMetaType::Bool:
        xml.writeTextElement(QStringLiteral("bool"),
                             value.toBool() ? QStringLiteral("true") : QStringLiteral("false"));
        return true;
    case QMetaType::Double:
        xml.writeTextElement(QStringLiteral("double"), QString::number(value.toDouble()));
        return true;
    case QMetaType::QString:
        xml.writeStartElement(QStringLiteral("string"));
        xml.writeAttribute(QStringLiteral("notr"), QStringLiteral("true"));
        xml.writeCharacters(value.toString());
        xml.writeEndElement();
        return true;
    default:
        return false;
    }
}

bool writable(const QMetaProperty &property)
{
    switch (property.typeId()) {
    case QMetaType::Int:
    case QMetaType::Bool:
    case QMetaType::Double:
    case QMetaType::QString:
        return property.isWritable() && property.isDesignable();
    default:
        return false;
    }
}

}

kezWidgetPlugin::kezWidgetPlugin(const QString &className, const QString &instanceName,
                                 const QString &toolTip, Factory make, Factory makeNew,
                                 QObject *parent)
    : QObject(parent),
      m_className(className),
      m_instanceName(instanceName),
      m_toolTip(toolTip),
      m_make(std::move(make)),
      m_makeNew(std::move(makeNew))
{
}

QString kezWidgetPlugin::group() const
{
    return QStringLiteral("Kez");
}

QString kezWidgetPlugin::includeFile() const
{
    return m_className + QStringLiteral(".h");
}

QIcon kezWidgetPlugin::icon() const
{
    return QIcon();
}

QWidget *kezWidgetPlugin::createWidget(QWidget *parent)
{
    return m_make(parent);
}

void kezWidgetPlugin::initialize(QDesignerFormEditorInterface *core)
{
    if (m_initialized)
        return;
    m_initialized = true;
    kezTaskMenuFactory::registerWith(core->extensionManager());
}

QString kezWidgetPlugin::domXml() const
{
    // A new control differs from one read back from a form in what the
    // control's own set-up for a new instance changes.
    const std::unique_ptr<QWidget> stored(m_make(nullptr));
    const std::unique_ptr<QWidget> placed(m_makeNew(nullptr));
    QString text;
    QXmlStreamWriter xml(&text);
    xml.setAutoFormatting(true);
    xml.writeStartElement(QStringLiteral("ui"));
    xml.writeAttribute(QStringLiteral("language"), QStringLiteral("c++"));
    xml.writeStartElement(QStringLiteral("widget"));
    xml.writeAttribute(QStringLiteral("class"), m_className);
    xml.writeAttribute(QStringLiteral("name"), m_instanceName);

    const QSize size = placed->sizeHint().isValid() ? placed->sizeHint() : QSize(100, 25);
    xml.writeStartElement(QStringLiteral("property"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("geometry"));
    xml.writeStartElement(QStringLiteral("rect"));
    xml.writeTextElement(QStringLiteral("x"), QStringLiteral("0"));
    xml.writeTextElement(QStringLiteral("y"), QStringLiteral("0"));
    xml.writeTextElement(QStringLiteral("width"), QString::number(qMax(size.width(), 20)));
    xml.writeTextElement(QStringLiteral("height"), QString::number(qMax(size.height(), 16)));
    xml.writeEndElement();
    xml.writeEndElement();

    const QMetaObject *meta = placed->metaObject();
    for (int i = QWidget::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (!writable(property))
            continue;
        const QVariant value = property.read(placed.get());
        if (value == property.read(stored.get()))
            continue;
        xml.writeStartElement(QStringLiteral("property"));
        xml.writeAttribute(QStringLiteral("name"), QLatin1String(property.name()));
        writeValue(xml, value);
        xml.writeEndElement();
    }
    // Values a form keeps on the control beyond its declared properties
    // (a grid's columns).
    for (const QByteArray &name : placed->dynamicPropertyNames()) {
        xml.writeStartElement(QStringLiteral("property"));
        xml.writeAttribute(QStringLiteral("name"), QString::fromLatin1(name));
        xml.writeAttribute(QStringLiteral("stdset"), QStringLiteral("0"));
        writeValue(xml, placed->property(name.constData()));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    return text;
}
