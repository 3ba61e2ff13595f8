// The record editor's masked fields.
#include "phonebook/ui/RecordEditor.h"
#include "PhonebookControls.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

// Types text as a keyboard would, one key press per character.
void Type(QLineEdit* edit, const QString& text)
{
    edit->clear();
    edit->home(false);
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
    }
}

} // namespace

TEST(RecordEditor, NameTakesAnyCharacterUpToSixteen)
{
    RecordEditor editor;
    Type(RecordEditorControls(&editor).nameEdit, QStringLiteral("Ёж-2 @x#abcdefghijkl"));
    EXPECT_EQ(editor.nameText(), QStringLiteral("Ёж-2 @x#abcdefgh"));
    editor.setRecord(QString(), QString());
    EXPECT_EQ(editor.nameText(), QString(16, ' '));
}

TEST(RecordEditor, NumberTakesOnlyDigitsPlusAndMinus)
{
    RecordEditor editor;
    Type(RecordEditorControls(&editor).numberEdit, QStringLiteral("+7a(9)-1*2"));
    const QString number = editor.numberText();
    EXPECT_EQ(number.size(), 30);
    EXPECT_EQ(number.trimmed().remove(' '), "+79-12");
    EXPECT_FALSE(number.contains('a'));

    editor.setRecord("x", QString(35, '5'));
    EXPECT_EQ(editor.numberText(), QString(30, '5'));
}
