#pragma once
// An in-memory wave-output back end for tests: devices play into a byte
// record instead of a sound card, and the test decides when each written
// buffer completes (or lets every buffer complete at once).
//
// All members may be called from any thread; notifications still come from
// the device's own thread, as with a real device. One device is open at a
// time per back end in the tests that use it; the counters cover every open.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "audio/WaveOut.h"

class TMemoryWaveOutDevice;

class TMemoryWaveOutBackend final : public TWaveOutBackend {
public:
    TMemoryWaveOutBackend() = default;
    ~TMemoryWaveOutBackend() override;

    int OutputDeviceCount() override;
    int InputDeviceCount() override;
    TWaveResult Open(std::unique_ptr<TWaveOutDevice>& Device, int DeviceID, const TWaveFormat& Format,
                     TWaveOutProc Proc, void* Context) override;
    std::string ErrorText(TWaveResult Code) override;

    // Device counts reported from now on (1 and 1 at start).
    void SetDeviceCounts(int Outputs, int Inputs);
    // Open, Write, Reset or Close fail with Code from now on (wrNoError:
    // they work again).
    void SetOpenResult(TWaveResult Code);
    // Times: how many writes fail before writes work again (-1: all).
    // FinishQueueFirst: a failing write first lets every buffer already
    // written complete and be reported, as when the device finishes its last
    // buffer while the next one is being written.
    void SetWriteResult(TWaveResult Code, int Times = -1, bool FinishQueueFirst = false);
    // The next buffer to complete is not played: the device thread meets
    // Code instead (reported through DeviceError); the buffer still counts
    // as done.
    void FailNextPlay(TWaveResult Code);
    void SetResetResult(TWaveResult Code);
    void SetCloseResult(TWaveResult Code);
    // True: each written buffer completes as soon as it is written.
    void SetAutoComplete(bool Enabled);
    // Lets the next Count written buffers complete, now or when written.
    void Complete(int Count = 1);

    // Written and not yet completed buffers of the open device.
    int Pending() const;
    bool IsOpen() const;
    int OpenCount() const;
    int CloseCount() const;
    int ResetCount() const;
    int WriteCount() const;
    int LastDeviceID() const;
    TWaveFormat LastFormat() const;
    // Bytes of every buffer that completed normally, in order, as they were
    // when it completed (a buffer returned by a reset is not played).
    std::vector<std::uint8_t> Played() const;
    // Bytes of every written buffer as they were when it was written.
    std::vector<std::uint8_t> Written() const;
    // A code of the in-memory device with a text of its own, for failure
    // tests ("Simulated device fault").
    static constexpr TWaveResult wrMemoryFault = 100;

private:
    friend class TMemoryWaveOutDevice;

    mutable std::mutex FMutex;
    TMemoryWaveOutDevice* FDevice = nullptr;
    int FOutputs = 1;
    int FInputs = 1;
    TWaveResult FOpenResult = wrNoError;
    TWaveResult FWriteResult = wrNoError;
    int FWriteFailures = -1;
    bool FFinishQueueFirst = false;
    TWaveResult FPlayFault = wrNoError;
    TWaveResult FResetResult = wrNoError;
    TWaveResult FCloseResult = wrNoError;
    std::atomic<bool> FAutoComplete{false};
    std::atomic<int> FCredits{0};
    int FPending = 0;
    int FOpenCount = 0;
    int FCloseCount = 0;
    int FResetCount = 0;
    int FWriteCount = 0;
    int FLastDeviceID = 0;
    TWaveFormat FLastFormat;
    std::vector<std::uint8_t> FPlayed;
    std::vector<std::uint8_t> FWritten;
};
