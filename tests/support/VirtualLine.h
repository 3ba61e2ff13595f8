// A serial line on a virtual clock for link tests: it is the port, the clock
// and the lights at once. Time moves only while the link waits or sleeps;
// bytes a far end schedules arrive when the clock reaches them and wait in
// the port until the link reads them.
#pragma once

#include <cstdint>
#include <climits>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "jobs/WorkerLine.h"
#include "link/LinkEvents.h"

class VirtualLine;

// The other end of the wire (a scripted handset, or the handset model).
class FarEnd {
public:
    struct TimedByte {
        std::int64_t atUs;
        std::uint8_t byte;
    };

    virtual ~FarEnd() = default;
    // Every write of the program, at the virtual time it was made.
    virtual void OnWrite(VirtualLine& line, const std::vector<std::uint8_t>& bytes, std::int64_t atUs) = 0;
    // The bytes that have arrived by nowUs, asked for whenever the line
    // delivers. A far end whose bytes can still change after they were
    // scheduled (a later write may garble them) holds them until then;
    // one that schedules on the line at write time has nothing to give.
    virtual std::vector<TimedByte> TakeArrived(std::int64_t nowUs)
    {
        (void)nowUs;
        return {};
    }
    // When the next of the bytes it holds arrives; the largest time when none.
    virtual std::int64_t NextDueUs() const { return INT64_MAX; }
};

class VirtualLine : public WorkerLine, public LinkEvents {
public:
    static constexpr std::int64_t kByteUs = 1146; // 9600 baud, 11 bits a character

    struct Write {
        std::int64_t atUs;
        std::vector<std::uint8_t> bytes;
    };

    // Setup.
    void SetFarEnd(FarEnd* farEnd) { farEnd_ = farEnd; }
    void SetEcho(bool echo) { echo_ = echo; }
    void SetPortMissing(bool missing) { portMissing_ = missing; }
    void SetPortNum(int portNum) { portNum_ = portNum; }
    void SetWriteTimesOut(bool timesOut) { writeTimesOut_ = timesOut; }
    void SetAckWriteTimesOut(bool timesOut) { ackWriteTimesOut_ = timesOut; }

    // The program stops running now and then, at random moments (a busy
    // desktop, a stopped process): for minUs..maxUs, gaps of up to maxGapUs
    // apart. The clock jumps over a pause; bytes that came meanwhile wait in
    // the port and are read together once it ends.
    void SetProgramPauses(std::uint32_t seed, std::int64_t minUs, std::int64_t maxUs, std::int64_t maxGapUs);
    // One pause of lengthUs the first time the program yields at or after atUs.
    void PauseAt(std::int64_t atUs, std::int64_t lengthUs);
    int PausesTaken() const { return pausesTaken_; }

    // Far-end side: bytes that all arrive at atUs.
    void ScheduleAt(std::int64_t atUs, const std::vector<std::uint8_t>& bytes);
    // Bytes sent at the line rate from startUs, or from the first gap on the wire
    // after it that holds them whole; returns the time the last byte has arrived.
    std::int64_t Transmit(std::int64_t startUs, const std::vector<std::uint8_t>& bytes);

    // LinkPort
    void open() override;
    void close() override;
    bool isOpen() const override { return open_; }
    int portNumber() const override { return portNum_; }
    void setPortNumber(int number) override { portNum_ = number; }
    int write(const std::uint8_t* buffer, int count) override;
    int read(std::uint8_t* buffer, int count) override;

    // LinkClock
    void sleep(int ms) override;
    std::int64_t nowUs() override { return nowUs_; }
    // Returns at once when bytes wait in the port; otherwise moves the clock
    // to the next arrival (or untilUs).
    void waitForBytes(std::int64_t untilUs) override;

    // LinkEvents
    void lightChanged(LinkLight light, bool lit) override;

    // What happened.
    const std::vector<Write>& Writes() const { return writes_; }
    std::vector<Write> DataFrameWrites() const; // the program's data frames, acknowledgements left out
    std::vector<Write> AckWrites() const;
    const std::vector<int>& Sleeps() const { return sleeps_; }
    bool AckLed() const { return ackLed_; }
    bool PackLed() const { return packLed_; }
    int AckLedOns() const { return ackLedOns_; }
    int PackLedOns() const { return packLedOns_; }
    int Opens() const { return opens_; }

private:
    void MaybePause();
    void PullDue();
    std::uint32_t NextRandom();

    FarEnd* farEnd_ = nullptr;
    bool echo_ = true;
    bool portMissing_ = false;
    bool writeTimesOut_ = false;
    bool ackWriteTimesOut_ = false;
    int portNum_ = 1;
    bool open_ = false;

    std::int64_t nowUs_ = 0;
    std::map<std::int64_t, std::int64_t> wireBusy_; // start -> end of each transmission
    std::multimap<std::int64_t, std::uint8_t> pending_; // equal times keep their order
    std::vector<std::uint8_t> arrived_;

    std::vector<Write> writes_;
    std::vector<int> sleeps_;
    bool ackLed_ = false;
    bool packLed_ = false;
    int ackLedOns_ = 0;
    int packLedOns_ = 0;
    int opens_ = 0;

    std::uint32_t pauseRandom_ = 0;
    std::int64_t pauseMinUs_ = 0;
    std::int64_t pauseMaxUs_ = 0;
    std::int64_t pauseMaxGapUs_ = 0;
    std::int64_t nextPauseUs_ = INT64_MAX;
    std::map<std::int64_t, std::int64_t> pausesAt_; // start -> length
    int pausesTaken_ = 0;
};
