// The program's application object: an exception that leaves an event handler
// is caught here, before it could cross Qt's event loop, and its message is shown.
#pragma once

#include <QApplication>

class M2BusApplication : public QApplication {
public:
    M2BusApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
