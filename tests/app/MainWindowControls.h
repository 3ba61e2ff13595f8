// The named controls of the main window, found by name the way its form
// declares them (all of them the window's own children, so that a control of
// the same name in another window is never taken).
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

#include "app/PortBox.h"
#include "support/NamedControl.h"
#include "widgets/Led.h"
#include "widgets/RaisedLabel.h"

struct MainWindowControls {
    template <typename T>
    static T* Own(const QWidget* window, const char* name)
    {
        return Named<T>(window, name, Qt::FindDirectChildrenOnly);
    }

    explicit MainWindowControls(const QWidget* w)
        : connectButton(Own<QPushButton>(w, "connectButton"))
        , netMonitorOnButton(Own<QPushButton>(w, "netMonitorOnButton"))
        , netMonitorOffButton(Own<QPushButton>(w, "netMonitorOffButton"))
        , resetButton(Own<QPushButton>(w, "resetButton"))
        , phonebookButton(Own<QPushButton>(w, "phonebookButton"))
        , smsButton(Own<QPushButton>(w, "smsButton"))
        , logoButton(Own<QPushButton>(w, "logoButton"))
        , aboutButton(Own<QToolButton>(w, "aboutButton"))
        , portBox(Own<PortBox>(w, "portBox"))
        , portLabel(Own<QLabel>(w, "portLabel"))
        , versionLabel(Own<QLabel>(w, "versionLabel"))
        , versionTitle(Own<RaisedLabel>(w, "versionTitle"))
        , serialNumberLabel(Own<QLabel>(w, "serialNumberLabel"))
        , serialNumberTitle(Own<QLabel>(w, "serialNumberTitle"))
        , ackLabel(Own<QLabel>(w, "ackLabel"))
        , packLabel(Own<QLabel>(w, "packLabel"))
        , netMonitorLed(Own<Led>(w, "netMonitorLed"))
        , ackLed(Own<Led>(w, "ackLed"))
        , packLed(Own<Led>(w, "packLed"))
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
