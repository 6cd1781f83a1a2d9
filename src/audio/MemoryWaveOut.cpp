#include "audio/MemoryWaveOut.h"

namespace {

// The back end's fields are shared with the device thread: every access
// goes through its mutex.
template <class T> T ReadLocked(std::mutex& Mutex, const T& Field)
{
    const std::lock_guard Lock(Mutex);
    return Field;
}

template <class T> void WriteLocked(std::mutex& Mutex, T& Field, T Value)
{
    const std::lock_guard Lock(Mutex);
    Field = Value;
}

}  // namespace

class TMemoryWaveOutDevice final : public TThreadedWaveOutDevice {
public:
    TMemoryWaveOutDevice(TMemoryWaveOutBackend& Backend, TWaveOutProc Proc, void* Context)
        : TThreadedWaveOutDevice(Proc, Context), FBackend(Backend)
    {
        Start();
    }

    ~TMemoryWaveOutDevice() override
    {
        {
            const std::lock_guard Lock(FBackend.FMutex);
            if (FBackend.FDevice == this)
                FBackend.FDevice = nullptr;
        }
        Shutdown();
    }

    // Called with the back end's mutex held.
    void Wake()
    {
        {
            const std::lock_guard Lock(FMutex);
        }
        FWake.notify_all();
    }

    TWaveResult Write(TWaveHeader& Header) override
    {
        TWaveResult Fault = wrNoError;
        bool FinishFirst = false;
        {
            const std::lock_guard Lock(FBackend.FMutex);
            Fault = FBackend.FWriteResult;
            FinishFirst = FBackend.FFinishQueueFirst;
            if (Fault != wrNoError && FBackend.FWriteFailures > 0 && --FBackend.FWriteFailures == 0)
                FBackend.FWriteResult = wrNoError;
            if (Fault != wrNoError && FinishFirst) {
                FBackend.FCredits.fetch_add(FBackend.FPending);
                Wake();
            }
        }
        if (Fault != wrNoError) {
            if (FinishFirst)
                WaitUntilReported();
            return Fault;
        }
        const TWaveResult R = TThreadedWaveOutDevice::Write(Header);
        if (R == wrNoError) {
            const std::lock_guard Lock(FBackend.FMutex);
            ++FBackend.FWriteCount;
            ++FBackend.FPending;
            FBackend.FWritten.insert(FBackend.FWritten.end(), Header.Data, Header.Data + Header.BufferLength);
        }
        return R;
    }

    TWaveResult Reset() override
    {
        {
            const std::lock_guard Lock(FBackend.FMutex);
            ++FBackend.FResetCount;
            if (FBackend.FResetResult != wrNoError)
                return FBackend.FResetResult;
        }
        const TWaveResult R = TThreadedWaveOutDevice::Reset();
        const std::lock_guard Lock(FBackend.FMutex);
        FBackend.FPending = 0;
        return R;
    }

    TWaveResult Close() override
    {
        {
            const std::lock_guard Lock(FBackend.FMutex);
            if (FBackend.FCloseResult != wrNoError)
                return FBackend.FCloseResult;
        }
        const TWaveResult R = TThreadedWaveOutDevice::Close();
        if (R == wrNoError) {
            const std::lock_guard Lock(FBackend.FMutex);
            ++FBackend.FCloseCount;
            if (FBackend.FDevice == this)
                FBackend.FDevice = nullptr;
        }
        return R;
    }

protected:
    bool Render(TWaveHeader& Header) override
    {
        // Wait for permission without holding the back end's mutex (lock
        // order: back end before device, never the other way round).
        for (;;) {
            {
                std::unique_lock Lock(FMutex);
                FWake.wait(Lock, [&] { return Interrupted() || Allowed(); });
                if (Interrupted())
                    return false;
            }
            const std::lock_guard Lock(FBackend.FMutex);
            if (FBackend.FAutoComplete || FBackend.FCredits > 0) {
                if (!FBackend.FAutoComplete)
                    FBackend.FCredits.fetch_sub(1);
                --FBackend.FPending;
                if (FBackend.FPlayFault != wrNoError) {
                    KeepError(FBackend.FPlayFault);
                    FBackend.FPlayFault = wrNoError;
                    return true;
                }
                FBackend.FPlayed.insert(FBackend.FPlayed.end(), Header.Data, Header.Data + Header.BufferLength);
                return true;
            }
        }
    }

private:
    // Read without the back end's mutex; the permission is taken under it
    // afterwards, so a stale answer only costs one more turn.
    bool Allowed() const { return FBackend.FAutoComplete.load() || FBackend.FCredits.load() > 0; }

    TMemoryWaveOutBackend& FBackend;
};

TMemoryWaveOutBackend::~TMemoryWaveOutBackend() = default;

int TMemoryWaveOutBackend::OutputDeviceCount()
{
    return ReadLocked(FMutex, FOutputs);
}

int TMemoryWaveOutBackend::InputDeviceCount()
{
    return ReadLocked(FMutex, FInputs);
}

TWaveResult TMemoryWaveOutBackend::Open(std::unique_ptr<TWaveOutDevice>& Device, int DeviceID,
                                        const TWaveFormat& Format, TWaveOutProc Proc, void* Context)
{
    Device.reset();
    {
        const std::lock_guard Lock(FMutex);
        FLastDeviceID = DeviceID;
        FLastFormat = Format;
        if (FOpenResult != wrNoError)
            return FOpenResult;
        if (DeviceID < -1 || DeviceID >= FOutputs)
            return wrBadDeviceId;
    }
    auto D = std::make_unique<TMemoryWaveOutDevice>(*this, Proc, Context);
    {
        const std::lock_guard Lock(FMutex);
        FDevice = D.get();
        FPending = 0;
        ++FOpenCount;
    }
    Device = std::move(D);
    return wrNoError;
}

std::string TMemoryWaveOutBackend::ErrorText(TWaveResult Code)
{
    if (Code == wrMemoryFault)
        return "Simulated device fault";
    return WaveOutErrorText(Code);
}

void TMemoryWaveOutBackend::SetDeviceCounts(int Outputs, int Inputs)
{
    const std::lock_guard Lock(FMutex);
    FOutputs = Outputs;
    FInputs = Inputs;
}

void TMemoryWaveOutBackend::SetOpenResult(TWaveResult Code)
{
    WriteLocked(FMutex, FOpenResult, Code);
}

void TMemoryWaveOutBackend::SetWriteResult(TWaveResult Code, int Times, bool FinishQueueFirst)
{
    const std::lock_guard Lock(FMutex);
    FWriteResult = Code;
    FWriteFailures = Times;
    FFinishQueueFirst = FinishQueueFirst;
}

void TMemoryWaveOutBackend::FailNextPlay(TWaveResult Code)
{
    WriteLocked(FMutex, FPlayFault, Code);
}

void TMemoryWaveOutBackend::SetResetResult(TWaveResult Code)
{
    WriteLocked(FMutex, FResetResult, Code);
}

void TMemoryWaveOutBackend::SetCloseResult(TWaveResult Code)
{
    WriteLocked(FMutex, FCloseResult, Code);
}

void TMemoryWaveOutBackend::SetAutoComplete(bool Enabled)
{
    const std::lock_guard Lock(FMutex);
    FAutoComplete.store(Enabled);
    if (FDevice != nullptr)
        FDevice->Wake();
}

void TMemoryWaveOutBackend::Complete(int Count)
{
    const std::lock_guard Lock(FMutex);
    FCredits.fetch_add(Count);
    if (FDevice != nullptr)
        FDevice->Wake();
}

int TMemoryWaveOutBackend::Pending() const
{
    return ReadLocked(FMutex, FPending);
}

bool TMemoryWaveOutBackend::IsOpen() const
{
    const std::lock_guard Lock(FMutex);
    return FDevice != nullptr;
}

int TMemoryWaveOutBackend::OpenCount() const
{
    return ReadLocked(FMutex, FOpenCount);
}

int TMemoryWaveOutBackend::CloseCount() const
{
    return ReadLocked(FMutex, FCloseCount);
}

int TMemoryWaveOutBackend::ResetCount() const
{
    return ReadLocked(FMutex, FResetCount);
}

int TMemoryWaveOutBackend::WriteCount() const
{
    return ReadLocked(FMutex, FWriteCount);
}

int TMemoryWaveOutBackend::LastDeviceID() const
{
    return ReadLocked(FMutex, FLastDeviceID);
}

TWaveFormat TMemoryWaveOutBackend::LastFormat() const
{
    return ReadLocked(FMutex, FLastFormat);
}

std::vector<std::uint8_t> TMemoryWaveOutBackend::Played() const
{
    return ReadLocked(FMutex, FPlayed);
}

std::vector<std::uint8_t> TMemoryWaveOutBackend::Written() const
{
    return ReadLocked(FMutex, FWritten);
}
