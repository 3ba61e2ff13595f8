#include "widgets/StoredText.h"

#include "widgets/WindowStateError.h"

#include <QSettings>
#include <QVariant>

namespace {

// What a hand-edited or damaged store may hold is taken only up to this, so
// that it cannot stall a window.
constexpr int kMaxStoredText = 4096;

} // namespace

// Every value is text; anything else in the store (a number written by hand
// into the registry) is an error, as is a value that is not there as text.
QString readStoredText(QSettings& store, const QString& key, const QString& defaultValue)
{
    if (!store.contains(key))
        return defaultValue;
    const QVariant v = store.value(key);
    switch (v.typeId()) {
    case QMetaType::QString:
        return v.toString().left(kMaxStoredText);
    case QMetaType::QStringList:
        // The INI form splits an unquoted text at its commas.
        return v.toStringList().join(QLatin1Char(',')).left(kMaxStoredText);
    default:
        throw WindowStateError("Invalid data type for '" + key.toStdString() + "'");
    }
}
