#include "audio/WaveOut.h"

#include <vector>

#include "audio/PortAudioWaveOut.h"

std::string WaveOutErrorText(TWaveResult Code)
{
    switch (Code) {
    case wrBadDeviceId: return "The device identifier is out of range";
    case wrInvalidHandle: return "The device is not open";
    case wrInvalidParam: return "Invalid parameter";
    case wrBadFormat: return "The format is not supported";
    case wrStillPlaying: return "Buffers are still queued on the device";
    case wrUnprepared: return "The buffer header is not prepared";
    case wrNoMemory: return "Not enough memory";
    case wrDeviceFailed: return "The device failed";
    default: return {};
    }
}

namespace {

std::mutex BackendMutex;
std::shared_ptr<TWaveOutBackend> ChosenBackend;
std::weak_ptr<TWaveOutBackend> SharedPortAudio;

}  // namespace

std::shared_ptr<TWaveOutBackend> DefaultWaveOutBackend()
{
    const std::lock_guard Lock(BackendMutex);
    if (ChosenBackend)
        return ChosenBackend;
    std::shared_ptr<TWaveOutBackend> Backend = SharedPortAudio.lock();
    if (!Backend) {
        Backend = std::make_shared<TPortAudioBackend>();
        SharedPortAudio = Backend;
    }
    return Backend;
}

void SetDefaultWaveOutBackend(std::shared_ptr<TWaveOutBackend> Backend)
{
    const std::lock_guard Lock(BackendMutex);
    ChosenBackend = std::move(Backend);
}

TThreadedWaveOutDevice::TThreadedWaveOutDevice(TWaveOutProc Proc, void* Context) : FProc(Proc), FContext(Context) {}

TThreadedWaveOutDevice::~TThreadedWaveOutDevice()
{
    Shutdown();
}

void TThreadedWaveOutDevice::Start()
{
    FThread = std::thread([this] { Run(); });
    std::unique_lock Lock(FMutex);
    FAck.wait(Lock, [this] { return FOpened; });
}

void TThreadedWaveOutDevice::Shutdown()
{
    {
        const std::lock_guard Lock(FMutex);
        FQuit = true;
        FInterrupt.store(true, std::memory_order_release);
    }
    FWake.notify_all();
    if (FThread.joinable())
        FThread.join();
}

void TThreadedWaveOutDevice::KeepError(TWaveResult Code)
{
    TWaveResult Expected = wrNoError;
    if (Code != wrNoError)
        FDeviceError.compare_exchange_strong(Expected, Code, std::memory_order_acq_rel);
}

void TThreadedWaveOutDevice::WaitUntilReported()
{
    std::unique_lock Lock(FMutex);
    FAck.wait(Lock, [this] { return (FQueue.empty() && !FReporting) || FFinished; });
}

void TThreadedWaveOutDevice::Deliver(unsigned Message, TWaveHeader* Header)
{
    if (FProc != nullptr)
        FProc(this, Message, FContext, Header);
}

void TThreadedWaveOutDevice::Run()
{
    Deliver(womOpen, nullptr);
    std::unique_lock Lock(FMutex);
    FOpened = true;
    FAck.notify_all();
    for (;;) {
        FWake.wait(Lock, [this] { return FQuit || FResetRequested || FCloseRequested || !FQueue.empty(); });
        if (FQuit) {
            FFinished = true;
            FAck.notify_all();
            return;
        }
        if (FResetRequested) {
            std::vector<TWaveHeader*> Returned(FQueue.begin(), FQueue.end());
            FQueue.clear();
            Lock.unlock();
            Discard();
            for (TWaveHeader* H : Returned) {
                H->Flags.store((H->Flags.load() & ~whdrInQueue) | whdrDone);
                Deliver(womDone, H);
            }
            Lock.lock();
            FResetRequested = false;
            FInterrupt.store(false, std::memory_order_release);
            FAck.notify_all();
            continue;
        }
        if (FCloseRequested) {
            Lock.unlock();
            Drain();
            Deliver(womClose, nullptr);
            Lock.lock();
            FFinished = true;
            FAck.notify_all();
            return;
        }
        TWaveHeader* H = FQueue.front();
        Lock.unlock();
        const bool Whole = Render(*H);
        Lock.lock();
        if (!Whole || FQueue.empty() || FQueue.front() != H)
            continue;
        FQueue.pop_front();
        FReporting = true;
        Lock.unlock();
        H->Flags.store((H->Flags.load() & ~whdrInQueue) | whdrDone);
        Deliver(womDone, H);
        Lock.lock();
        FReporting = false;
        FAck.notify_all();
    }
}

TWaveResult TThreadedWaveOutDevice::PrepareHeader(TWaveHeader& Header)
{
    if (Header.Data == nullptr && Header.BufferLength > 0)
        return wrInvalidParam;
    const std::lock_guard Lock(FMutex);
    if (FClosed)
        return wrInvalidHandle;
    Header.Flags.store(Header.Flags.load() | whdrPrepared);
    return wrNoError;
}

TWaveResult TThreadedWaveOutDevice::UnprepareHeader(TWaveHeader& Header)
{
    const std::lock_guard Lock(FMutex);
    if (FClosed)
        return wrInvalidHandle;
    if (Header.Flags.load() & whdrInQueue)
        return wrStillPlaying;
    Header.Flags.store(Header.Flags.load() & ~whdrPrepared);
    return wrNoError;
}

TWaveResult TThreadedWaveOutDevice::Write(TWaveHeader& Header)
{
    {
        const std::lock_guard Lock(FMutex);
        if (FClosed || FCloseRequested)
            return wrInvalidHandle;
        const std::uint32_t Flags = Header.Flags.load();
        if (!(Flags & whdrPrepared))
            return wrUnprepared;
        if (Flags & whdrInQueue)
            return wrStillPlaying;
        Header.Flags.store((Flags & ~whdrDone) | whdrInQueue);
        FQueue.push_back(&Header);
    }
    FWake.notify_all();
    return wrNoError;
}

TWaveResult TThreadedWaveOutDevice::Reset()
{
    std::unique_lock Lock(FMutex);
    if (FClosed || FCloseRequested)
        return wrInvalidHandle;
    FResetRequested = true;
    FInterrupt.store(true, std::memory_order_release);
    FWake.notify_all();
    FAck.wait(Lock, [this] { return !FResetRequested || FFinished; });
    return wrNoError;
}

TWaveResult TThreadedWaveOutDevice::Close()
{
    {
        std::unique_lock Lock(FMutex);
        if (FClosed || FCloseRequested)
            return wrInvalidHandle;
        if (!FQueue.empty())
            return wrStillPlaying;
        FCloseRequested = true;
        FWake.notify_all();
        FAck.wait(Lock, [this] { return FFinished; });
        FClosed = true;
    }
    if (FThread.joinable())
        FThread.join();
    return wrNoError;
}
