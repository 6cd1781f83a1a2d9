#pragma once
// The wave-output layer: the shape of a classic wave-out device interface
// (open, prepare / write / unprepare a buffer header, reset, close, with open,
// done and close notifications on a thread of the device), served by
// interchangeable back ends: PortAudio for real devices and an in-memory
// device for tests.
//
// Threads: every call on a back end or a device comes from one controlling
// thread (the user-interface thread). Notifications arrive on the device's
// own thread, in this order: womOpen before Open returns, womDone once per
// written buffer in the order of writing, womClose before Close returns. No
// notification is delivered after Close returned or the device was
// destroyed.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

// PCM format of a device (the fields of the platform's WAVEFORMATEX).
struct TWaveFormat {
    std::uint16_t FormatTag = 1;  // 1 = PCM
    std::uint16_t Channels = 1;
    std::uint32_t SamplesPerSec = 11025;
    std::uint32_t AvgBytesPerSec = 11025;
    std::uint16_t BlockAlign = 1;  // bytes per frame
    std::uint16_t BitsPerSample = 8;  // 8 (unsigned) or 16 (signed little endian)
    std::uint16_t ExtraSize = 0;
};

// Size of the format record on the platform (WAVEFORMATEX, packed).
constexpr int WaveFormatRecordSize = 18;

// Header flags, as the platform numbers them.
constexpr std::uint32_t whdrDone = 0x01;
constexpr std::uint32_t whdrPrepared = 0x02;
constexpr std::uint32_t whdrInQueue = 0x10;

// One buffer handed to a device. The owner keeps the header and its data
// alive and unchanged from Write until the device reports it done.
struct TWaveHeader {
    std::uint8_t* Data = nullptr;
    std::uint32_t BufferLength = 0;  // bytes to play; a trailing partial frame is skipped
    std::atomic<std::uint32_t> Flags{0};
    std::uint32_t Loops = 0;
    std::uintptr_t User = 0;
};

// Device notifications, as the platform numbers them.
enum TWaveOutMessage : unsigned { womOpen = 955, womClose = 956, womDone = 957 };

class TWaveOutDevice;

// Notification routine: Header is the finished buffer for womDone, none
// otherwise. Called on the device's thread; it must return promptly and must
// not call back into the device.
using TWaveOutProc = void (*)(TWaveOutDevice* Device, unsigned Message, void* Context, TWaveHeader* Header);

// Result codes: 0 is success; codes of the layer itself are positive; a
// back end may return its own codes (PortAudio: negative). ErrorText of the
// back end turns any of them into text.
using TWaveResult = int;
constexpr TWaveResult wrNoError = 0;
constexpr TWaveResult wrBadDeviceId = 1;
constexpr TWaveResult wrInvalidHandle = 2;
constexpr TWaveResult wrInvalidParam = 3;
constexpr TWaveResult wrBadFormat = 4;
constexpr TWaveResult wrStillPlaying = 5;
constexpr TWaveResult wrUnprepared = 6;
constexpr TWaveResult wrNoMemory = 7;
constexpr TWaveResult wrDeviceFailed = 8;

// Text of the layer's own codes; empty for codes it does not know.
std::string WaveOutErrorText(TWaveResult Code);

// An open device. Destroying it without Close resets and closes it without
// further notifications.
class TWaveOutDevice {
public:
    virtual ~TWaveOutDevice() = default;
    virtual TWaveResult PrepareHeader(TWaveHeader& Header) = 0;
    // Fails with wrStillPlaying while the header is queued.
    virtual TWaveResult UnprepareHeader(TWaveHeader& Header) = 0;
    // Queues a prepared header; the device reports it with womDone.
    virtual TWaveResult Write(TWaveHeader& Header) = 0;
    // Stops playback at once and returns every queued header done; their
    // womDone notifications have all been delivered when Reset returns.
    virtual TWaveResult Reset() = 0;
    // Fails with wrStillPlaying while headers are queued; on success womClose
    // has been delivered and the device accepts no further call but
    // DeviceError and the destructor.
    virtual TWaveResult Close() = 0;
    // The first failure the device met on its own thread since it opened (a
    // buffer it could not play, a restart after a reset, letting the sound
    // out at the close), or wrNoError. Such a buffer still counts as done.
    virtual TWaveResult DeviceError() const { return wrNoError; }
};

class TWaveOutBackend {
public:
    virtual ~TWaveOutBackend() = default;
    // Number of output (input) devices; output devices are numbered 0 .. n-1.
    virtual int OutputDeviceCount() = 0;
    virtual int InputDeviceCount() = 0;
    // Opens output device DeviceID (-1: the system's default) for Format and
    // delivers womOpen to Proc before returning. On failure Device stays
    // empty.
    virtual TWaveResult Open(std::unique_ptr<TWaveOutDevice>& Device, int DeviceID, const TWaveFormat& Format,
                             TWaveOutProc Proc, void* Context) = 0;
    // The system's text for a result code; empty when there is none.
    virtual std::string ErrorText(TWaveResult Code) = 0;
};

// The back end new audio components use: the one set with
// SetDefaultWaveOutBackend, otherwise the process's PortAudio back end
// (created on first use, shut down when the last user lets go of it).
std::shared_ptr<TWaveOutBackend> DefaultWaveOutBackend();
// Replaces the default (none: back to PortAudio). For tests.
void SetDefaultWaveOutBackend(std::shared_ptr<TWaveOutBackend> Backend);

// A device whose queue and notifications run on a thread of its own; back
// ends supply Render, which plays one buffer. Shared by both back ends.
class TThreadedWaveOutDevice : public TWaveOutDevice {
public:
    ~TThreadedWaveOutDevice() override;

    TWaveResult PrepareHeader(TWaveHeader& Header) override;
    TWaveResult UnprepareHeader(TWaveHeader& Header) override;
    TWaveResult Write(TWaveHeader& Header) override;
    TWaveResult Reset() override;
    TWaveResult Close() override;
    TWaveResult DeviceError() const override { return FDeviceError.load(std::memory_order_acquire); }

protected:
    TThreadedWaveOutDevice(TWaveOutProc Proc, void* Context);
    // Starts the device thread and waits until womOpen was delivered.
    void Start();
    // Stops the device thread (no womClose); the derived destructor must call
    // it before its own members go.
    void Shutdown();

    // Plays one buffer on the device thread; returns false when it stopped
    // early because Interrupted() became true.
    virtual bool Render(TWaveHeader& Header) = 0;
    // Throws away what the device still holds (after a reset), on the device
    // thread.
    virtual void Discard() {}
    // Lets the last played sound out before the device closes, on the device
    // thread.
    virtual void Drain() {}
    // Keeps the first failure for DeviceError (any thread).
    void KeepError(TWaveResult Code);
    // Waits until every written buffer completed and was reported (or the
    // device thread ended); for a controlling-thread call.
    void WaitUntilReported();
    // A reset or close is waiting: Render should return soon.
    bool Interrupted() const { return FInterrupt.load(std::memory_order_acquire); }
    // Guards the device's state; a derived class guards its own state that
    // Render waits on with it too, and calls FWake.notify_all() on a change.
    std::mutex FMutex;
    std::condition_variable FWake;

private:
    void Run();
    void Deliver(unsigned Message, TWaveHeader* Header);

    TWaveOutProc FProc;
    void* FContext;
    std::thread FThread;
    std::condition_variable FAck;
    std::deque<TWaveHeader*> FQueue;  // written, not yet reported done; front is playing
    bool FOpened = false;
    bool FResetRequested = false;
    bool FCloseRequested = false;
    bool FQuit = false;
    bool FFinished = false;
    bool FClosed = false;
    bool FReporting = false;  // a womDone is being delivered
    std::atomic<bool> FInterrupt{false};
    std::atomic<TWaveResult> FDeviceError{wrNoError};
};
