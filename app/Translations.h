// The program's language: Russian where the locale asks for it, English
// (the texts in the code) everywhere else.
#pragma once

// Installs the program's and Qt's own translators for QLocale(), the system
// locale unless a default was set. Call before the first window is made: the
// forms take their texts when they are set up. Returns whether the program's
// translation was found; a second call replaces the first one's translators.
bool installTranslations();
// Takes the translators out again; the texts of windows already made stay.
void removeTranslations();
