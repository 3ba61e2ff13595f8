// Telephone numbers as contact files hold them, made into what the handset
// dials, and the one number a record keeps when a contact has several.
// The vCard and CSV readers share this, so a contact reads alike from both.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

struct ContactNumber {
    QString text;            // as the file gives it, escapes undone
    bool mobile = false;     // cell, mobile, iPhone
    bool preferred = false;  // the contact's own choice
    bool noVoice = false;    // fax or pager
};

// Marks a number by a type or label as exporters write them: cell, mobile,
// iPhone → mobile; pref, primary, a leading "*" → preferred; fax, pager → no
// voice. Apple's "_$!<Mobile>!$_" is taken as "Mobile".
void applyNumberLabel(const QString& label, ContactNumber& number);

struct CleanedNumber {
    // Digits, + * # and the pause and wait letters p and w; empty when the
    // text holds no digit, so it is no number at all.
    QString number;
    // More changed than the layout: an extension became a pause, a trunk
    // "(0)" after the country code went, letters or marks were dropped.
    bool rewritten = false;
};

// Separators (blanks, - . / brackets) are dropped; "," is a pause and ";"
// a wait; an extension (";ext=102", " x102", "ext. 102", "доб. 102") becomes
// a pause and its digits; a "tel:" URI gives its number.
CleanedNumber cleanPhoneNumber(const QString& text);

// The number a person would keep: a mobile one, then a preferred one, then
// one for voice rather than fax, then the first. Texts without a digit are
// passed over. Each decision the user should know of is noted, starting with
// "line <line>:", and marks the import as changed.
struct ChosenNumber {
    QString number;  // empty when the contact has no number
    QStringList notes;
    bool changed = false;
};
ChosenNumber chooseContactNumber(int line, const QString& contactName, const std::vector<ContactNumber>& numbers);
