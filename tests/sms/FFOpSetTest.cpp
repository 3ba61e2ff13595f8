#include "sms/ui/FFOpSet.h"
#include "sms/OperatorValues.h"
#include "sms/ui/Unit6.h"
#include "sms/IniFile.h"
#include "SmsControls.h"

#include "widgets/FormStorage.h"

#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QRect Bounds(const QWidget* w) { return w->geometry(); }

// The chain of focus from first, as Tab walks it, for count steps.
QStringList TabChain(QWidget* first, int count)
{
    QStringList names;
    QWidget* w = first;
    for (int i = 0; i < count && w; ++i) {
        names << w->objectName();
        w = w->nextInFocusChain();
        // An editable combo box takes focus through its own line edit.
        while (w && w != first
               && ((w->focusPolicy() & Qt::TabFocus) == 0 || qobject_cast<QComboBox*>(w->parentWidget())))
            w = w->nextInFocusChain();
    }
    return names;
}

// Saves a picture of the window when M2BUS_GRAB_DIR names a folder.
void GrabIfAsked(QWidget& window, const char* file)
{
    const QByteArray dir = qgetenv("M2BUS_GRAB_DIR");
    if (!dir.isEmpty())
        window.grab().save(QString::fromLocal8Bit(dir) + "/" + file);
}

} // namespace

TEST(OperatorDialog, LayoutFollowsTheDesign)
{
    TFOpSet dialog;
    OpSetControls d(&dialog);
    EXPECT_EQ(dialog.windowTitle(), "Operator settings");
    EXPECT_EQ(dialog.size(), QSize(283, 405));
    EXPECT_EQ(Bounds(d.Panel5), QRect(8, 8, 265, 125));
    EXPECT_EQ(Bounds(d.Panel3), QRect(8, 242, 265, 52));
    EXPECT_EQ(Bounds(d.ePref), QRect(192, 52, 49, 21));
    EXPECT_EQ(d.ePref->parentWidget(), d.Panel5);
    EXPECT_EQ(Bounds(d.cEnc), QRect(195, 3, 65, 21));
    EXPECT_EQ(d.cEnc->parentWidget(), d.Panel3);
    for (QFrame* panel : {d.Panel1, d.Panel2, d.Panel3, d.Panel4, d.Panel5}) {
        EXPECT_EQ(panel->frameShadow(), QFrame::Sunken) << panel->objectName().toStdString();
        EXPECT_EQ(panel->width(), 265);
    }
    EXPECT_EQ(d.lURL->text(), "URL                 http://");
    EXPECT_TRUE(d.lOperator->font().bold());
    EXPECT_TRUE(d.eOperator->font().italic());
    EXPECT_TRUE(d.BitBtn1->isDefault());
    EXPECT_EQ(d.ePassw->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(d.Method->currentText(), "POST");
    EXPECT_EQ(d.cEnc->currentText(), "KOI8R");
    EXPECT_EQ(d.cEnc->count(), 4);
    EXPECT_EQ(d.cEnc->itemText(3), "ISO8859");
    EXPECT_EQ(TabChain(d.BitBtn1, 4), (QStringList{"BitBtn1", "BitBtn2", "eActName", "eActVal"}));
    GrabIfAsked(dialog, "FOpSet.png");
}

TEST(OperatorDialog, EmptyingTouchesTheFifteenEditBoxesOnly)
{
    TFOpSet dialog;
    OpSetControls d(&dialog);
    int boxes = 0;
    for (QLineEdit* e : dialog.findChildren<QLineEdit*>()) {
        e->setText("x");
        if (!qobject_cast<QComboBox*>(e->parentWidget()))
            ++boxes;
    }
    EXPECT_EQ(boxes, 15);
    d.Method->setCurrentText("GET");
    dialog.EmptyEditBoxes();
    EXPECT_EQ(dialog.OperatorName(), "");
    const ProfileTexts texts = dialog.Texts();
    for (std::size_t i = 0; i < kProfileKeyCount; ++i) {
        if (kProfileKeys[i] == "Method")
            EXPECT_EQ(texts[i], "GET");
        else if (kProfileKeys[i] == "Chars")
            EXPECT_EQ(texts[i], "x"); // set through the combo's own line edit above
        else
            EXPECT_EQ(texts[i], "") << kProfileKeys[i];
    }
}

TEST(OperatorDialog, FillTakesEveryKeyAndTextsGiveThemBack)
{
    TFOpSet dialog;
    OperatorValueList values;
    for (std::size_t i = 0; i < kProfileKeyCount; ++i)
        values.SetValue(kProfileKeys[i], std::string(kProfileKeys[i]) + "\xe9"); // a Cyrillic letter each
    values.SetValue("Method", "put");
    values.SetValue("Login", "");
    OpSetControls(&dialog).eLogin->setText("stale");
    dialog.Fill("\xce\xef", values);
    EXPECT_EQ(OpSetControls(&dialog).eOperator->text(), QString::fromUtf8("Оп"));
    EXPECT_EQ(OpSetControls(&dialog).Method->currentText(), "put"); // not an item, kept as stored
    EXPECT_EQ(OpSetControls(&dialog).eActVal->text(), QString::fromUtf8("Actionй"));
    EXPECT_EQ(OpSetControls(&dialog).eLogin->text(), "");
    EXPECT_EQ(dialog.OperatorName(), "\xce\xef");
    EXPECT_EQ(dialog.Texts(), ProfileTextsFrom(values));
}

TEST(OperatorDialog, TypedComboTextIsKeptAsTyped)
{
    TFOpSet dialog;
    OpSetControls d(&dialog);
    d.Method->lineEdit()->selectAll();
    QTest::keyClick(d.Method->lineEdit(), Qt::Key_Delete);
    QTest::keyClicks(d.Method->lineEdit(), "post");
    d.cEnc->lineEdit()->selectAll();
    QTest::keyClick(d.cEnc->lineEdit(), Qt::Key_Delete);
    QTest::keyClicks(d.cEnc->lineEdit(), "D");
    EXPECT_EQ(dialog.Texts()[ProfileKeyIndex("Method")], "post");
    EXPECT_EQ(dialog.Texts()[ProfileKeyIndex("Chars")], "D");
}

TEST(SmsWindowLayout, LayoutAndComponentsFollowTheDesign)
{
    QTemporaryDir dir;
    TFormPlacement::SetStoreOverride(dir.filePath("settings.ini"));
    auto ini = ProfileIniFile::FromBytes("[Op]\r\nPrefix=89\r\n");
    std::vector<std::string> list;
    OperatorValueList values;
    TFOpSet opSet;
    {
        TFSendSMS window(OperatorObjects{ini, list, values}, opSet, nullptr);
        SendSmsControls w(&window);
        EXPECT_EQ(window.windowTitle(), "Send SMS");
        EXPECT_EQ(window.size(), QSize(431, 206));
        EXPECT_EQ(Bounds(w.ePref), QRect(85, 40, 41, 21));
        EXPECT_EQ(Bounds(w.ePhNumber), QRect(128, 40, 81, 21));
        EXPECT_EQ(w.ePref->geometry().right() + 3, w.ePhNumber->x()); // directly left of the number
        EXPECT_EQ(Bounds(w.Memo1), QRect(16, 96, 401, 57));
        EXPECT_EQ(w.Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        EXPECT_EQ(w.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        EXPECT_TRUE(w.ComboBox1->isEditable());
        EXPECT_FALSE(w.cbDebug->isChecked());
        EXPECT_EQ(TabChain(w.bPhBook, 11),
                  (QStringList{"bPhBook", "ComboBox1", "Memo1", "bSend", "bCancel", "bEdit", "bAdd", "Button1",
                               "ePhNumber", "cbDebug", "ePref"}));

        EXPECT_EQ(window.FormStorage1->StoredProps(), QStringList{"ComboBox1.Items"});
        EXPECT_TRUE(window.FormStorage1->UseRegistry);
        ASSERT_NE(window.FormStorage1->StoredValues().Find("TextField"), nullptr);
        EXPECT_EQ(window.FormStorage1->StoredValues().Find("TextField")->KeyString.size(), 8);
        EXPECT_FALSE(window.FormStorage2->Active);
        EXPECT_EQ(window.AdvHttp1.ConnectTimeout(), 10000);
        EXPECT_EQ(window.AdvHttp1.AuthRetries(), 3);
        EXPECT_TRUE(window.AdvHttp1.RaiseExceptions());
        EXPECT_TRUE(window.AdvHttp1.InternetFlags() & InternetFlag(ifPragmaNoCache));
        EXPECT_FALSE(window.AdvHttp1.InternetFlags() & InternetFlag(ifNoCookies));
        EXPECT_EQ(window.CyrCoder1.Source(), TCodePage::KOI8R);
        EXPECT_EQ(window.CyrCoder1.Target(), TCodePage::CP1251);

        window.show();
        w.ePhNumber->setText("123");
        w.Memo1->setPlainText("Hi");
        GrabIfAsked(window, "SendSMS.png");
        window.close();
    }
    TFormPlacement::SetStoreOverride(QString());
}
