// A window's control found by the name its form gives it; a control that is
// missing fails the test that asked for it.
#pragma once

#include <QObject>
#include <QString>

#include <gtest/gtest.h>

template <typename T>
T* Named(const QObject* parent, const char* name, Qt::FindChildOptions options = Qt::FindChildrenRecursively)
{
    T* child = parent->findChild<T*>(QString::fromLatin1(name), options);
    EXPECT_NE(child, nullptr) << "no control " << name;
    return child;
}
