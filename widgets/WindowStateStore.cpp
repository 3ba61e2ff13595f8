#include "widgets/WindowStateStore.h"

#include "widgets/FormProperties.h"
#include "widgets/StoredText.h"
#include "widgets/WindowStateError.h"
#include "text/WinText.h"

#include <QSettings>
#include <QWidget>

#include <algorithm>

namespace {

// A hand-edited or damaged store's list is taken only up to this length.
constexpr int kMaxStoredListItems = 1000;

// Value names of a stored list; they are the settings format.
const QString kCountKey = QStringLiteral("Count");
const QString kListItemKey = QStringLiteral("Item%1");

} // namespace

WindowStateStore::WindowStateStore(QWidget* owner, const SettingsStore& settings)
    : WindowPlacement(owner, settings)
{ }

void WindowStateStore::setStoredProps(const QStringList& lines)
{
    props_.clear();
    for (const QString& line : lines) {
        const int dot = line.indexOf(QLatin1Char('.'));
        if (dot < 0)
            continue;
        const QString component = line.left(dot).trimmed();
        const QString property = line.mid(dot + 1).trimmed();
        if (component.isEmpty() || property.isEmpty())
            continue;
        QObject* object = owner()->findChild<QObject*>(component);
        if (!object)
            continue;
        props_.push_back({component, property, object});
    }
}

void WindowStateStore::addStoredProp(const QString& storedName, QObject* object, const QString& property)
{
    props_.push_back({storedName, property, object});
}

std::vector<WindowStateStore::StoredProp> WindowStateStore::liveProps() const
{
    std::vector<StoredProp> live;
    for (const auto& p : props_) {
        if (p.object)
            live.push_back(p);
    }
    return live;
}

QStringList WindowStateStore::storedProps() const
{
    QStringList lines;
    for (const auto& p : liveProps())
        lines << p.component + "." + p.property;
    return lines;
}

QString WindowStateStore::scramble(const QString& text, const QString& key)
{
    if (key.isEmpty())
        return text;
    const std::string t = toWin1251(text);
    const std::string k = toWin1251(key);
    QString out;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const auto b = static_cast<unsigned char>(t[i] ^ k[i % k.size()]);
        out += QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0'));
    }
    return out;
}

QString WindowStateStore::unscramble(const QString& text, const QString& key)
{
    if (key.isEmpty())
        return text;
    const auto hexDigit = [](QChar c) {
        const char16_t u = c.unicode();
        if (u >= '0' && u <= '9')
            return u - '0';
        if (u >= 'a' && u <= 'f')
            return u - 'a' + 10;
        if (u >= 'A' && u <= 'F')
            return u - 'A' + 10;
        return -1;
    };
    const std::string k = toWin1251(key);
    std::string out;
    for (qsizetype i = 0; i + 1 < text.size(); i += 2) {
        const int hi = hexDigit(text[i]);
        const int lo = hexDigit(text[i + 1]);
        const char plain = hi < 0 || lo < 0 ? ' ' : static_cast<char>(hi * 16 + lo);
        out += static_cast<char>(plain ^ k[out.size() % k.size()]);
    }
    return fromWin1251(out);
}

void WindowStateStore::saveContents(QSettings& store, const QString& section)
{
    for (const auto& p : liveProps()) {
        const QString prefixed = p.component + "_" + p.property;
        switch (propertyKind(p.object, p.property)) {
        case StoredPropKind::Text:
            store.setValue(section + "/" + prefixed, readTextProperty(p.object, p.property).trimmed());
            break;
        case StoredPropKind::List: {
            const QString listSection = section + "." + prefixed;
            store.remove(listSection);
            const QStringList items = readListProperty(p.object, p.property);
            if (items.isEmpty())
                break;
            store.beginGroup(listSection);
            store.setValue(kCountKey, QString::number(items.size()));
            for (qsizetype i = 0; i < items.size(); ++i)
                store.setValue(kListItemKey.arg(i), items[i]);
            store.endGroup();
            break;
        }
        case StoredPropKind::None:
            break;
        }
    }
    for (std::size_t i = 0; i < storedValues_.count(); ++i) {
        const StoredValue& value = storedValues_[i];
        QString text = value.value;
        if (value.beforeSave)
            value.beforeSave(text);
        store.setValue(section + "/" + value.name(), scramble(text, value.scrambleKey));
    }
}

void WindowStateStore::restoreContents(QSettings& store, const QString& section)
{
    for (const auto& p : liveProps()) {
        const QString prefixed = p.component + "_" + p.property;
        // A property that cannot be read back is left as designed.
        try {
            switch (propertyKind(p.object, p.property)) {
            case StoredPropKind::Text: {
                const QString current = readTextProperty(p.object, p.property);
                writeTextProperty(p.object, p.property,
                                  readStoredText(store, section + "/" + prefixed, current).trimmed());
                break;
            }
            case StoredPropKind::List: {
                const QString listSection = section + "." + prefixed + "/";
                bool ok = false;
                const int count =
                    std::min(readStoredText(store, listSection + kCountKey, QStringLiteral("0")).trimmed().toInt(&ok),
                             kMaxStoredListItems);
                QStringList items;
                for (int i = 0; ok && i < count; ++i)
                    items << readStoredText(store, listSection + kListItemKey.arg(i), QString());
                if (ok && count > 0)
                    writeListProperty(p.object, p.property, items);
                break;
            }
            case StoredPropKind::None:
                break;
            }
        } catch (const WindowStateError&) { }
    }
    for (std::size_t i = 0; i < storedValues_.count(); ++i) {
        StoredValue& value = storedValues_[i];
        QString text =
            unscramble(readStoredText(store, section + "/" + value.name(), scramble(value.value, value.scrambleKey)),
                       value.scrambleKey);
        if (value.afterRestore)
            value.afterRestore(text);
        value.value = text;
    }
}
