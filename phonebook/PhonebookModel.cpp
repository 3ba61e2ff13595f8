#include "phonebook/PhonebookModel.h"

#include "phonebook/PhoneRecord.h"
#include "text/WinText.h"

namespace {

// After the location of a record the handset does not hold as shown.
const QString kChangedLabel = QStringLiteral("%1 \u2022");

} // namespace

PhonebookModel::PhonebookModel(QObject* parent)
    : QAbstractTableModel(parent)
    , rows_(emptyPhonebookRows())
{ }

int PhonebookModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kPhonebookLocations;
}

int PhonebookModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PhonebookModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !isPhonebookLocation(index.row()) || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const PhonebookRow& record = rows_[static_cast<std::size_t>(index.row())];
    return index.column() == NameColumn ? record.name : record.number;
}

QVariant PhonebookModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole)
            return section == NameColumn ? tr("Name") : tr("Phone");
        return {};
    }
    if (!isPhonebookLocation(section))
        return {};
    if (role == Qt::DisplayRole)
        return changed(section) ? kChangedLabel.arg(section + 1) : QString::number(section + 1);
    if (role == Qt::ToolTipRole && changed(section))
        return tr("Not yet written to the phone");
    return {};
}

Qt::ItemFlags PhonebookModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

const PhonebookRow& PhonebookModel::row(int location) const
{
    static const PhonebookRow none;
    return isPhonebookLocation(location) ? rows_[static_cast<std::size_t>(location)] : none;
}

void PhonebookModel::setRow(int location, const PhonebookRow& row)
{
    if (!isPhonebookLocation(location))
        return;
    rows_[static_cast<std::size_t>(location)] = row;
    emit dataChanged(index(location, NameColumn), index(location, NumberColumn));
    // Every change of a record, whatever made it, moves its mark.
    emit headerDataChanged(Qt::Vertical, location, location);
}

void PhonebookModel::setRows(const PhonebookRows& rows)
{
    for (int location = 0; location < kPhonebookLocations; ++location) {
        const auto at = static_cast<std::size_t>(location);
        rows_[at] = at < rows.size() ? rows[at] : PhonebookRow{};
    }
    emit dataChanged(index(0, NameColumn), index(kPhonebookLocations - 1, NumberColumn));
    marksMayHaveChanged();
}

std::vector<PhonebookEntry> PhonebookModel::entries() const
{
    std::vector<PhonebookEntry> result;
    result.reserve(rows_.size());
    for (const PhonebookRow& record : rows_)
        result.push_back({toWin1251(record.name), toWin1251(record.number)});
    return result;
}

void PhonebookModel::setHandsetSerial(std::optional<std::string> serial)
{
    handsetSerial_ = std::move(serial);
    marksMayHaveChanged();
}

bool PhonebookModel::handsetKnown() const
{
    return handsetSerial_ && phonebooks_.knows(*handsetSerial_);
}

bool PhonebookModel::changed(int location) const
{
    const PhonebookRow& record = row(location);
    return handsetKnown()
        && phonebooks_.differs(*handsetSerial_, location, {toWin1251(record.name), toWin1251(record.number)});
}

std::vector<int> PhonebookModel::changedLocations() const
{
    std::vector<int> locations;
    for (int location = 0; location < kPhonebookLocations; ++location) {
        if (changed(location))
            locations.push_back(location);
    }
    return locations;
}

void PhonebookModel::rememberAll(const std::string& serial, const std::vector<PhonebookEntry>& entries)
{
    handsetSerial_ = serial;
    phonebooks_.remember(serial, entries);
    marksMayHaveChanged();
}

void PhonebookModel::rememberRecord(const std::string& serial, int location, const PhonebookEntry& entry)
{
    handsetSerial_ = serial;
    phonebooks_.rememberRecord(serial, location, entry);
    marksMayHaveChanged();
}

void PhonebookModel::forgetRecord(int location)
{
    phonebooks_.forgetRecord(location);
    marksMayHaveChanged();
}

void PhonebookModel::marksMayHaveChanged()
{
    emit headerDataChanged(Qt::Vertical, 0, kPhonebookLocations - 1);
    emit marksChanged();
}
