#include "phonebook/PhonebookParseError.h"

#include <QCoreApplication>

PhonebookParseError::PhonebookParseError(int line, const QString& reason)
    : std::runtime_error(
        QCoreApplication::translate("Phonebook", "line %1: %2").arg(QString::number(line), reason).toStdString())
    , line_(line)
    , reason_(reason)
{ }
