// Progress of a transfer on stderr: a bar redrawn in place when stderr is a
// terminal, otherwise a plain line at every tenth of the way, so a log file
// or a pipe gets a few readable lines instead of carriage returns.
#pragma once

#include <QString>

class Progress {
public:
    Progress(const QString& label, int total);
    ~Progress();
    void step(int done);

private:
    QString label_;
    int total_;
    int shownTenths_ = -1;
    bool terminal_;
    bool drawn_ = false;
};
