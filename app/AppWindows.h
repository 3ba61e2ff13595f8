// The program's windows, each created once for the whole run and reached
// through its global reference.
#pragma once

#include <vector>

class QWidget;

class TFMain;
class TForm2;
class TAbout;
class TForm4;
class TForm5;
class TFSendSMS;
class TFOpSet;

extern TFMain* FMain;
extern TForm2* Form2;
extern TAbout* About;
extern TForm4* Form4;
extern TForm5* Form5;
extern TFSendSMS* FSendSMS;
extern TFOpSet* FOpSet;

// Installs the font stand-ins and creates the windows in their fixed order:
// TFMain, TForm2, TAbout, TForm4, TForm5, TFSendSMS, TFOpSet. None is shown.
void CreateAppWindows();
// The windows made by the last CreateAppWindows, first made first.
const std::vector<QWidget*>& AppWindowsInCreationOrder();
// Destroys them in reverse order; the main window's destroy step frees the
// operator objects.
void DestroyAppWindows();
