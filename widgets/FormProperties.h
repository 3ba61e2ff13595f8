// Properties of a window's controls that form storage can keep: simple text
// (a combo box's Text is its current or edited text; any readable and
// writable property of a simple type) and string lists (a combo box's or a
// list widget's Items). Property names match without regard to letter case.
#pragma once

#include <QString>
#include <QStringList>

class QObject;

enum class StoredPropKind { None, Text, List };

StoredPropKind propertyKind(const QObject* object, const QString& property);
QString readTextProperty(const QObject* object, const QString& property);
void writeTextProperty(QObject* object, const QString& property, const QString& text);
QStringList readListProperty(const QObject* object, const QString& property);
// Replaces the items; a combo box keeps the text it showed when it is editable.
void writeListProperty(QObject* object, const QString& property, const QStringList& items);
