// Numbers of contact files are cleaned alike and one is chosen per record,
// as a person would choose it.
#include "phonebook/ContactNumbers.h"

#include <gtest/gtest.h>

namespace {

TEST(ContactNumbers, CleaningKeepsWhatIsDialledAndTellsWhenMoreThanLayoutChanged)
{
    const struct {
        const char16_t* text;
        const char16_t* number;
        bool rewritten;
    } cases[] = {
        {u"+7 (495) 243-53-96", u"+74952435396", false},
        {u" 8\u00A0916\u2011123.45/67 [home] ", u"89161234567", true},  // the label's letters are dropped
        {u"tel:+1-555-0100", u"+15550100", false},
        {u"*100#", u"*100#", false},
        {u"12,34;5P6W7", u"12p34w5p6w7", true},
        {u"tel:+1-555-0100;ext=102;isub=9", u"+15550100p102", true},
        {u"+1-555-0100;ext=102", u"+15550100p102", true},
        {u"555-0100 x102", u"5550100p102", true},
        {u"555-0100x102", u"5550100p102", true},
        {u"555-0100 Ext. 102", u"5550100p102", true},
        {u"+7 495 765-43-21 доб. 102", u"+74957654321p102", true},
        {u"+49 (0)30 1234", u"+49301234", true},
        {u"Tel geschäftlich", u"", false},
        {u"Fax 12", u"12", true},
    };
    for (const auto& c : cases) {
        const CleanedNumber cleaned = cleanPhoneNumber(QString::fromUtf16(c.text));
        EXPECT_EQ(cleaned.number, QString::fromUtf16(c.number)) << QString::fromUtf16(c.text).toStdString();
        EXPECT_EQ(cleaned.rewritten, c.rewritten) << QString::fromUtf16(c.text).toStdString();
    }
}

TEST(ContactNumbers, ChoosesMobileThenPreferredThenVoiceThenTheFirst)
{
    const ContactNumber fax{"1", false, false, true};
    const ContactNumber home{"2"};
    const ContactNumber work{"3"};
    const ContactNumber preferred{"4", false, true};
    const ContactNumber mobile{"5", true};
    const struct {
        std::vector<ContactNumber> numbers;
        QString kept;
    } cases[] = {
        {{fax, home, preferred, mobile}, "5"},
        {{fax, home, preferred}, "4"},
        {{fax, home, work}, "2"},
        {{fax}, "1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(chooseContactNumber(1, "A", c.numbers).number, c.kept) << c.kept.toStdString();

    // Each number left out is named once; the same number twice loses nothing.
    const ChosenNumber chosen = chooseContactNumber(
        7, "Anna", {{"Tel geschäftlich", true}, fax, {"0 1", false, true}, {"+7 916 1 x2", true}, {"01", true}});
    EXPECT_EQ(chosen.number, "+79161p2");
    EXPECT_TRUE(chosen.changed);
    EXPECT_EQ(chosen.notes, (QStringList{
                                "line 7: \"Tel geschäftlich\" holds no digit and is not taken as a number",
                                "line 7: number \"+7 916 1 x2\" becomes +79161p2",
                                "line 7: the handset keeps one number of \"Anna\", +79161p2; left out: 1, 01",
                            }));

    std::vector<ContactNumber> many;
    for (int n = 11; n <= 22; ++n)
        many.push_back({QString::number(n)});
    EXPECT_EQ(chooseContactNumber(9, "Many", many).notes,
              QStringList{"line 9: the handset keeps one number of \"Many\", 11; left out: 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 1 more"});

    const ChosenNumber plain = chooseContactNumber(3, "Bob", {{"+7 (495) 1-2", true}, {""}});
    EXPECT_EQ(plain.number, "+749512");
    EXPECT_TRUE(plain.notes.isEmpty());
    EXPECT_FALSE(plain.changed);
}

} // namespace
