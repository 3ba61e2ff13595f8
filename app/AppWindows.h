// The program's windows, each created once for the whole run and reached
// through its global reference.
#pragma once

#include <vector>

class QWidget;

class MainWindow;
class PhonebookWindow;
class AboutDialog;
class RecordEditor;
class LogoWindow;
class SmsWindow;
class OperatorDialog;

extern MainWindow* mainWindow;
extern PhonebookWindow* phonebookWindow;
extern AboutDialog* aboutDialog;
extern RecordEditor* recordEditor;
extern LogoWindow* logoWindow;
extern SmsWindow* smsWindow;
extern OperatorDialog* operatorDialog;

// Installs the font stand-ins and creates the windows in their fixed order:
// MainWindow, PhonebookWindow, AboutDialog, RecordEditor, LogoWindow, SmsWindow, OperatorDialog. None is shown.
void createAppWindows();
// The same in two steps: the main window, then the six others (once; a
// second call does nothing, so whatever needs them may call it first).
void createMainWindow();
void createOtherWindows();
// Makes the six others as soon as the main window has first been painted:
// the user sees the program's window without waiting for its hidden ones.
void createOtherWindowsAfterFirstPaint();
// The windows made by the last createAppWindows, first made first.
const std::vector<QWidget*>& appWindowsInCreationOrder();
// Destroys them in reverse order; the main window's destroy step frees the
// operator objects.
void destroyAppWindows();
