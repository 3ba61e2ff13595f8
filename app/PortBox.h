// The main window's port box: a combo box that lets its owner fill the list
// afresh just before it drops down, so a cable plugged in a moment ago shows.
#pragma once

#include <QComboBox>

#include <functional>

class PortBox : public QComboBox {
public:
    using QComboBox::QComboBox;

    std::function<void()> beforePopup;

    void showPopup() override
    {
        if (beforePopup)
            beforePopup();
        QComboBox::showPopup();
    }
};
