// The phonebook the window shows and edits: the handset's 100 locations of
// name and number (row r is the handset's record r, shown as r + 1), and
// what the handset on the cable holds, as far as this session read or wrote
// it. A location whose record differs from that carries a mark in its
// header until it is written.
#pragma once

#include <QAbstractTableModel>

#include <optional>
#include <string>
#include <vector>

#include "phonebook/HandsetPhonebooks.h"
#include "phonebook/PhonebookRows.h"

class PhonebookModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, NumberColumn, ColumnCount };

    explicit PhonebookModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Location 0-99; anything else is no row.
    const PhonebookRow& row(int location) const;
    void setRow(int location, const PhonebookRow& row);
    const PhonebookRows& rows() const { return rows_; }
    void setRows(const PhonebookRows& rows);
    // The rows as they go to the handset or into a .npb file (Windows-1251).
    std::vector<PhonebookEntry> entries() const;

    // The handset last seen on the cable (its serial number, Windows-1251),
    // nothing until one answered.
    const std::optional<std::string>& handsetSerial() const { return handsetSerial_; }
    void setHandsetSerial(std::optional<std::string> serial);
    // A phonebook is known for that handset.
    bool handsetKnown() const;
    // The location differs from what that handset holds, or that is not known.
    bool changed(int location) const;
    std::vector<int> changedLocations() const;

    // What the handset holds after all 100 records were read or written.
    void rememberAll(const std::string& serial, const std::vector<PhonebookEntry>& entries);
    // After one record was written; a handset not known stays unknown.
    void rememberRecord(const std::string& serial, int location, const PhonebookEntry& entry);
    // After a write that failed or went to a handset that could not be told.
    void forgetRecord(int location);

signals:
    // Which locations carry the mark may have changed.
    void marksChanged();

private:
    void marksMayHaveChanged();

    PhonebookRows rows_;
    HandsetPhonebooks phonebooks_;
    std::optional<std::string> handsetSerial_;
};
