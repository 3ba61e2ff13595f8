// The top-level error report: an exception that leaves an event handler is
// caught here, before it could cross Qt's event loop, and its message is shown.
#pragma once

#include <QApplication>
#include <exception>
#include <functional>

class M2BusApplication : public QApplication {
public:
    M2BusApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows an error's message in a message box (through the prompts seam) and
// returns; everything that catches at the top calls this.
void reportError(const std::exception& error);

// A reported message in the user's language where a translation of the
// pattern it was made from exists; the English message otherwise.
QString translateReportedText(const QString& english, int depth = 0);
