// The own number and the last dialled numbers: which locations are asked,
// and what an empty record, a silent handset or a dead port give.
#include "phonebook/HandsetNumbers.h"
#include "phonebook/PhoneChars.h"
#include "phonebook/PhonebookTransfer.h"
#include "link/MessageTransfer.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <map>
#include <set>

using ::testing::ElementsAre;

namespace {

// Answers each location with the digits its script gives (an empty record
// for the rest), stays silent at some, and loses the port from a given read on.
class LocationScript : public MessageTransfer {
public:
    LinkResult<ReplyFrame> transfer(const std::uint8_t* message, int, int tries, int, int) override
    {
        const int location = message[9];
        Asked.push_back(location);
        Tries.push_back(tries);
        if (PortLostAtRead && static_cast<int>(Asked.size()) >= PortLostAtRead)
            return LinkFailure::portUnavailable(0, "/dev/ttyUSB0", "No such file or directory");
        if (Silent.count(location))
            return LinkFailure::noAnswer({});
        ReplyFrame reply{};
        const std::string& digits = Digits[location];
        reply[4 + 14] = static_cast<std::uint8_t>(digits.size());
        for (std::size_t i = 0; i < digits.size(); ++i) {
            const auto code = static_cast<std::uint8_t>(std::find(kPhoneDigits.begin(), kPhoneDigits.end(), digits[i])
                                                        - kPhoneDigits.begin());
            reply[4 + 15 + i / 2] |= (i % 2 == 0) ? static_cast<std::uint8_t>(code << 4) : code;
        }
        return reply;
    }

    std::map<int, std::string> Digits;
    std::set<int> Silent;
    int PortLostAtRead = 0; // 1 for the first read; 0: never
    std::vector<int> Asked;
    std::vector<int> Tries;
};

} // namespace

TEST(HandsetNumbers, OwnNumberThenTheDialledOnesMostRecentFirstWithFewerTriesThanThePhonebook)
{
    LocationScript handset;
    handset.Digits = {{115, " +4951234567 "}, {100, "112"},   {101, "*#06#"},
                      {102, "0951234"},       {103, "8p123"}, {104, "+7w9"}};
    const LinkResult<HandsetNumbers> numbers = readHandsetNumbers(handset);
    ASSERT_TRUE(numbers);
    EXPECT_EQ(numbers->ownNumber, "+4951234567");
    EXPECT_THAT(numbers->dialled, ElementsAre("112", "*#06#", "0951234", "8p123", "+7w9"));
    EXPECT_THAT(handset.Asked, ElementsAre(115, 100, 101, 102, 103, 104));
    for (int tries : handset.Tries)
        EXPECT_LT(tries, kReadTries);
}

TEST(HandsetNumbers, EmptyRecordsAndSilenceAreNotStoredAndNoFailure)
{
    LocationScript handset;
    handset.Digits = {{100, "112"}, {102, "   "}, {104, "555"}};
    handset.Silent = {115, 103};
    const LinkResult<HandsetNumbers> numbers = readHandsetNumbers(handset);
    ASSERT_TRUE(numbers);
    EXPECT_EQ(numbers->ownNumber, std::nullopt);
    EXPECT_THAT(numbers->dialled, ElementsAre("112", std::nullopt, std::nullopt, std::nullopt, "555"));
}

TEST(HandsetNumbers, OnlyAPortThatCannotBeOpenedForTheFirstReadIsAFailure)
{
    LocationScript dead;
    dead.PortLostAtRead = 1;
    const LinkResult<HandsetNumbers> none = readHandsetNumbers(dead);
    ASSERT_FALSE(none);
    EXPECT_EQ(none.failure().kind, LinkFailure::Kind::PortUnavailable);
    EXPECT_EQ(dead.Asked.size(), 1u);
    LocationScript deadForDialled;
    deadForDialled.PortLostAtRead = 1;
    EXPECT_FALSE(readDialledNumbers(deadForDialled));

    LocationScript lost;
    lost.Digits = {{115, "1"}, {100, "2"}, {101, "3"}};
    lost.PortLostAtRead = 3;
    const LinkResult<HandsetNumbers> some = readHandsetNumbers(lost);
    ASSERT_TRUE(some);
    EXPECT_EQ(some->ownNumber, "1");
    EXPECT_THAT(some->dialled, ElementsAre("2", std::nullopt, std::nullopt, std::nullopt, std::nullopt));
    EXPECT_EQ(lost.Asked.size(), 3u) << "nothing more is asked of a port that is gone";
}
