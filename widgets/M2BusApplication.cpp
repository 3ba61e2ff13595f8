#include "widgets/M2BusApplication.h"

#include "widgets/ErrorReport.h"

M2BusApplication::M2BusApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{ }

bool M2BusApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        reportError(error);
    }
    return false;
}
