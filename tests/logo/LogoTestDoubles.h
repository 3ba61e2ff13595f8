// A scripted prompt seam and a handset that keeps a logo, for the logo window tests.
#pragma once

#include "support/ScriptedPrompts.h"

#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <deque>
#include <functional>
#include <vector>

#include "widgets/Prompts.h"
#include "logo/LogoBlocks.h"
#include "logo/LogoHost.h"
#include "logo/LogoTransfer.h"

// Answers logo requests from its own memory the way the handset does; a
// block listed in failing gets no answer and shows the link's message.
class FakeLogoPhone : public MessageTransfer, public LogoHost {
public:
    LogoBlocks memory{};
    std::vector<int> failing;
    bool attached = true;
    std::vector<std::vector<std::uint8_t>> writes;
    std::function<void()> duringCall;

    bool transfer(const std::uint8_t* message, int n, int, int, int) override
    {
        if (duringCall)
            duringCall();
        const int block = message[9];
        if (!attached || std::find(failing.begin(), failing.end(), block) != failing.end()) {
            prompts().notice(nullptr, QStringLiteral("No answer from phone!  Please, check cable connection!"));
            return false;
        }
        reply_.fill(0);
        if (message[0] == 0x0F) {
            std::copy(memory[block].begin(), memory[block].end(), reply_.begin() + 18);
        } else {
            writes.emplace_back(message, message + n);
            std::copy(message + 14, message + 98, memory[block].begin());
        }
        return true;
    }
    const std::array<std::uint8_t, 256>& replyBuffer() const override { return reply_; }

    std::optional<LogoBlock> readLogoBlock(int block) override { return ::readLogoBlock(*this, block); }
    bool writeLogoBlock(int block, const LogoBlock& data) override { return ::writeLogoBlock(*this, block, data); }

private:
    std::array<std::uint8_t, 256> reply_{};
};
