// The program's windows, each created once for the whole run and reached
// through its global reference.
#pragma once

// Sets the application title, installs the font stand-ins and creates the
// windows in their fixed order: TFMain, TForm2, TAbout, TForm4, TForm5,
// TFSendSMS, TFOpSet. None is shown.
void CreateAppWindows();
// Destroys them in reverse order; the main window's destroy step frees the
// operator objects.
void DestroyAppWindows();
