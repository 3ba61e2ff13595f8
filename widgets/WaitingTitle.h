// A window that was asked to close while its transfer runs says so in its
// title until the transfer is over.
#pragma once

#include <QCoreApplication>
#include <QString>

inline QString waitingTitle(const QString& title)
{
    return QCoreApplication::translate("TransferGate", "%1 — Waiting for the phone…").arg(title);
}
