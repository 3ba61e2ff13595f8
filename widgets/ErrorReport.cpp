#include "widgets/ErrorReport.h"

#include "widgets/Prompts.h"

M2BusApplication::M2BusApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{ }

bool M2BusApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ReportError(error);
    }
    return false;
}

void ReportError(const std::exception& error)
{
    prompts().Notice(QApplication::activeWindow(), QString::fromUtf8(error.what()));
}
