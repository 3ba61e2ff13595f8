// The named controls of the main window, found by name the way its form
// declares them (all of them the window's own children, so that a control of
// the same name in another window is never taken).
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

#include "app/PortBox.h"
#include "widgets/Led.h"
#include "widgets/RaisedLabel.h"

struct MainWindowControls {
    template <typename T>
    static T* Named(const QWidget* window, const char* name)
    {
        T* child = window->findChild<T*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
        EXPECT_NE(child, nullptr) << "no control " << name;
        return child;
    }

    explicit MainWindowControls(const QWidget* w)
        : connectButton(Named<QPushButton>(w, "connectButton"))
        , netMonitorOnButton(Named<QPushButton>(w, "netMonitorOnButton"))
        , netMonitorOffButton(Named<QPushButton>(w, "netMonitorOffButton"))
        , resetButton(Named<QPushButton>(w, "resetButton"))
        , phonebookButton(Named<QPushButton>(w, "phonebookButton"))
        , smsButton(Named<QPushButton>(w, "smsButton"))
        , logoButton(Named<QPushButton>(w, "logoButton"))
        , aboutButton(Named<QToolButton>(w, "aboutButton"))
        , portBox(Named<PortBox>(w, "portBox"))
        , portLabel(Named<QLabel>(w, "portLabel"))
        , versionLabel(Named<QLabel>(w, "versionLabel"))
        , versionTitle(Named<RaisedLabel>(w, "versionTitle"))
        , serialNumberLabel(Named<QLabel>(w, "serialNumberLabel"))
        , serialNumberTitle(Named<QLabel>(w, "serialNumberTitle"))
        , ackLabel(Named<QLabel>(w, "ackLabel"))
        , packLabel(Named<QLabel>(w, "packLabel"))
        , netMonitorLed(Named<Led>(w, "netMonitorLed"))
        , ackLed(Named<Led>(w, "ackLed"))
        , packLed(Named<Led>(w, "packLed"))
    { }

    QPushButton* connectButton;
    QPushButton* netMonitorOnButton;
    QPushButton* netMonitorOffButton;
    QPushButton* resetButton;
    QPushButton* phonebookButton;
    QPushButton* smsButton;
    QPushButton* logoButton;
    QToolButton* aboutButton;
    PortBox* portBox;
    QLabel* portLabel;
    QLabel* versionLabel;
    RaisedLabel* versionTitle;
    QLabel* serialNumberLabel;
    QLabel* serialNumberTitle;
    QLabel* ackLabel;
    QLabel* packLabel;
    Led* netMonitorLed;
    Led* ackLed;
    Led* packLed;
};
