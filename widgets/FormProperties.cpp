#include "widgets/FormProperties.h"

#include <QComboBox>
#include <QListWidget>
#include <QMetaProperty>
#include <QObject>

namespace {

bool Is(const QString& a, const char* b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

QMetaProperty FindMetaProperty(const QObject* object, const QString& property)
{
    const QMetaObject* meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        if (property.compare(QLatin1String(p.name()), Qt::CaseInsensitive) == 0)
            return p;
    }
    return {};
}

bool IsSimpleType(int typeId)
{
    switch (typeId) {
    case QMetaType::QString:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

} // namespace

StoredPropKind propertyKind(const QObject* object, const QString& property)
{
    if (qobject_cast<const QComboBox*>(object)) {
        if (Is(property, "Text"))
            return StoredPropKind::Text;
        if (Is(property, "Items"))
            return StoredPropKind::List;
    }
    if (qobject_cast<const QListWidget*>(object) && Is(property, "Items"))
        return StoredPropKind::List;
    const QMetaProperty p = FindMetaProperty(object, property);
    if (!p.isValid() || !p.isReadable() || !p.isWritable())
        return StoredPropKind::None;
    if (p.typeId() == QMetaType::QStringList)
        return StoredPropKind::List;
    return IsSimpleType(p.typeId()) ? StoredPropKind::Text : StoredPropKind::None;
}

QString readTextProperty(const QObject* object, const QString& property)
{
    if (auto* combo = qobject_cast<const QComboBox*>(object); combo && Is(property, "Text"))
        return combo->currentText();
    const QVariant v = FindMetaProperty(object, property).read(object);
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    return v.toString();
}

void writeTextProperty(QObject* object, const QString& property, const QString& text)
{
    if (auto* combo = qobject_cast<QComboBox*>(object); combo && Is(property, "Text")) {
        combo->setCurrentText(text);
        return;
    }
    const QMetaProperty p = FindMetaProperty(object, property);
    QVariant v(text);
    // Numbers that do not convert leave the property as it was.
    if (p.typeId() != QMetaType::QString && !v.convert(p.metaType()))
        return;
    p.write(object, v);
}

QStringList readListProperty(const QObject* object, const QString& property)
{
    if (auto* combo = qobject_cast<const QComboBox*>(object); combo && Is(property, "Items")) {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }
    if (auto* list = qobject_cast<const QListWidget*>(object); list && Is(property, "Items")) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        return items;
    }
    return FindMetaProperty(object, property).read(object).toStringList();
}

void writeListProperty(QObject* object, const QString& property, const QStringList& items)
{
    if (auto* combo = qobject_cast<QComboBox*>(object); combo && Is(property, "Items")) {
        const QString text = combo->currentText();
        combo->clear();
        combo->addItems(items);
        if (combo->isEditable())
            combo->setEditText(text);
        return;
    }
    if (auto* list = qobject_cast<QListWidget*>(object); list && Is(property, "Items")) {
        list->clear();
        list->addItems(items);
        return;
    }
    FindMetaProperty(object, property).write(object, items);
}
