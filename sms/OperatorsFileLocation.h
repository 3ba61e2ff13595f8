// Where the operator profiles (Operators.ini) are read and written. A
// portable copy keeps them beside the program, as it always did; an installed
// program cannot write its own folder, so each user gets a copy in their
// configuration folder, started from the one the package ships.
#pragma once

#include <QString>

struct OperatorsFilePlaces {
    QString programFolder;
    QString configFolder; // the user's folder for this program's files
    QString seedFile; // the packaged copy; may be missing
};

// For the running program: its own folder, <user config>/m2bus-tool (the same
// for the windows and the command line), and the copy installed under
// <prefix>/share/m2bus-tool, found relative to the program so that a staged
// or relocated install finds its own.
OperatorsFilePlaces operatorsFilePlaces();

// Another folder to stand for the program's own (empty: the real one), so
// that tests running side by side each keep their profiles apart.
void setProgramFolderOverride(const QString& folder);

// The file to use:
// - a writable Operators.ini beside the program: that one (portable);
// - not installed (no packaged copy) and a writable program folder: beside
//   the program (portable), created on the first write, as before;
// - otherwise the copy in the configuration folder. The folder is made and,
//   when it has no copy yet, the packaged copy (or a read-only one beside the
//   program) is copied in first. A failure there is not raised here: the
//   profile store reports it with the path on reading or writing.
// The packaged copy marks an installed program even when its folder is
// writable (as for root), so that nothing is ever written beside /usr/bin.
QString operatorsFileFor(const OperatorsFilePlaces& places);
