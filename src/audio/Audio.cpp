#include "audio/Audio.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>
#include <exception>
#include <new>

#include "audio/WaveFile.h"

namespace {

const char* const BufferTooLarge = "Buffer too large: NoSamples x block align must stay below 65536 bytes";

QEvent::Type AudioEventType()
{
    static const QEvent::Type Type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return Type;
}

// A request posted by the device's notification thread: the device
// notification it answers and the device opening it belongs to.
class TAudioMessage final : public QEvent {
public:
    TAudioMessage(unsigned Message, unsigned Generation)
        : QEvent(AudioEventType()), FMessage(Message), FGeneration(Generation)
    {
    }
    unsigned FMessage;
    unsigned FGeneration;
};

std::uint16_t BlockAlignOf(TBPS Bits, TChannels Channels)
{
    const int N = Channels == TChannels::Stereo ? 2 : 1;
    return static_cast<std::uint16_t>(Bits == TBPS::_16 ? N * 2 : N);
}

std::string MessageOf(std::exception_ptr Error)
{
    try {
        std::rethrow_exception(Error);
    } catch (const std::exception& E) {
        return E.what();
    } catch (...) {
        return "Unknown failure in the sound component";
    }
}

}  // namespace

// Receives the posted requests on the component's thread, where a
// wave-out program would use hidden message windows. No failure of a
// handler (a file, a device, an event handler of the owner) may travel on
// into Qt's event dispatch: it goes to Failed instead.
class TAudioReceiver final : public QObject {
public:
    TAudioReceiver(std::function<void(unsigned)> Handler, std::function<void(std::exception_ptr)> Failed)
        : FHandler(std::move(Handler)), FFailed(std::move(Failed))
    {
    }

protected:
    bool event(QEvent* E) override
    {
        if (E->type() != AudioEventType())
            return QObject::event(E);
        try {
            FHandler(static_cast<TAudioMessage*>(E)->FGeneration);
        } catch (...) {
            FFailed(std::current_exception());
        }
        return true;
    }

private:
    std::function<void(unsigned)> FHandler;
    std::function<void(std::exception_ptr)> FFailed;
};

// ---------------------------------------------------------------- settings

TAudioSettings::TAudioSettings(TAudio& Owner) : FOwner(Owner) {}

TAudioSettings::~TAudioSettings() = default;

std::uint16_t TAudioSettings::BlockAlign() const
{
    return BlockAlignOf(FBitsPerSample, FChannels);
}

TWaveFormat TAudioSettings::BuildFormat() const
{
    TWaveFormat F;
    F.FormatTag = 1;
    F.Channels = FChannels == TChannels::Stereo ? 2 : 1;
    F.SamplesPerSec = FSampleRate;
    F.BitsPerSample = FBitsPerSample == TBPS::_16 ? 16 : 8;
    F.BlockAlign = BlockAlign();
    F.AvgBytesPerSec = static_cast<std::uint32_t>(FSampleRate) * F.BlockAlign;
    F.ExtraSize = 0;
    return F;
}

bool TAudioSettings::BuffersAllocated() const
{
    if (!FFormat)
        return false;
    for (int I = 0; I < BufferCount; ++I)
        if (!FHeaders[I] || !FBuffers[I] || !FHalfBuffers[I])
            return false;
    return true;
}

bool TAudioSettings::Fits(std::uint16_t NoSamples, TBPS Bits, TChannels Channels) const
{
    return NoSamples > 0 && static_cast<std::uint32_t>(NoSamples) * BlockAlignOf(Bits, Channels) < 65536u;
}

bool TAudioSettings::AllocateBuffers()
{
    FreeBuffers();
    try {
        FFormat = std::make_unique<TWaveFormat>(BuildFormat());
    } catch (const std::bad_alloc&) {
        FOwner.SetError("Not enough memory to allocate WaveFormat");
        return false;
    }
    FBufferSize = static_cast<std::uint16_t>(FNoSamples * BlockAlign());
    for (int I = 0; I < BufferCount; ++I) {
        try {
            FHeaders[I] = std::make_unique<TWaveHeader>();
        } catch (const std::bad_alloc&) {
            FOwner.SetError("Not enough memory to allocate WaveHeader");
            return false;
        }
        try {
            FBuffers[I] = std::make_unique<std::uint8_t[]>(FBufferSize);
            FHalfBuffers[I] = std::make_unique<std::uint8_t[]>(FBufferSize / 2);
        } catch (const std::bad_alloc&) {
            FOwner.SetError("Not enough memory to allocate Wave Buffer");
            return false;
        }
        FHeaders[I]->Data = FBuffers[I].get();
        FHeaders[I]->BufferLength = FBufferSize;
    }
    return true;
}

void TAudioSettings::FreeBuffers()
{
    for (int I = 0; I < BufferCount; ++I) {
        FHeaders[I].reset();
        FBuffers[I].reset();
        FHalfBuffers[I].reset();
    }
    FFormat.reset();
}

void TAudioSettings::Reallocate()
{
    AllocateBuffers();
}

template <class T> void TAudioSettings::Apply(T& Field, T Value)
{
    if (Value == Field)
        return;
    BeforeReallocate();
    Field = Value;
    Reallocate();
}

void TAudioSettings::ApplyBitsPerSample(TBPS Value)
{
    Apply(FBitsPerSample, Value);
}

void TAudioSettings::ApplyChannels(TChannels Value)
{
    Apply(FChannels, Value);
    if (this == FOwner.FRecorder.get())
        FOwner.FRecorder->SetSplitChannels(FOwner.FRecorder->SplitChannels());
}

void TAudioSettings::ApplySampleRate(std::uint16_t Value)
{
    Apply(FSampleRate, Value);
}

void TAudioSettings::ApplyNoSamples(std::uint16_t Value)
{
    Apply(FNoSamples, Value);
}

void TAudioSettings::SetBitsPerSample(TBPS Value)
{
    TPlayer& P = *FOwner.FPlayer;
    TRecorder& R = *FOwner.FRecorder;
    if (FOwner.FSeparateCtrls) {
        if (!Fits(FNoSamples, Value, FChannels))
            return FOwner.SetError(BufferTooLarge);
        return ApplyBitsPerSample(Value);
    }
    if (!P.Fits(P.FNoSamples, Value, P.FChannels) || !R.Fits(R.FNoSamples, Value, R.FChannels))
        return FOwner.SetError(BufferTooLarge);
    P.ApplyBitsPerSample(Value);
    R.ApplyBitsPerSample(Value);
}

void TAudioSettings::SetChannels(TChannels Value)
{
    TPlayer& P = *FOwner.FPlayer;
    TRecorder& R = *FOwner.FRecorder;
    if (FOwner.FSeparateCtrls) {
        if (!Fits(FNoSamples, FBitsPerSample, Value))
            return FOwner.SetError(BufferTooLarge);
        return ApplyChannels(Value);
    }
    if (!P.Fits(P.FNoSamples, P.FBitsPerSample, Value) || !R.Fits(R.FNoSamples, R.FBitsPerSample, Value))
        return FOwner.SetError(BufferTooLarge);
    P.ApplyChannels(Value);
    R.ApplyChannels(Value);
}

void TAudioSettings::SetSampleRate(std::uint16_t Value)
{
    if (FOwner.FSeparateCtrls)
        return ApplySampleRate(Value);
    FOwner.FPlayer->ApplySampleRate(Value);
    FOwner.FRecorder->ApplySampleRate(Value);
}

// ------------------------------------------------------------------ player

TPlayer::TPlayer(TAudio& Owner)
    : TAudioSettings(Owner),
      FRefillWnd(std::make_unique<TAudioReceiver>([this](unsigned G) { RefillRequested(G); },
                                                  [this](std::exception_ptr E) { AbortPlayback(E); })),
      FCloseWnd(std::make_unique<TAudioReceiver>([this](unsigned G) { CloseRequested(G); },
                                                 [this](std::exception_ptr E) { AbortPlayback(E); }))
{
}

TPlayer::~TPlayer()
{
    // The device thread posts to the receivers: it must be gone first.
    FDevice.reset();
}

int TPlayer::Queued() const
{
    return static_cast<int>(FQueueState.load(std::memory_order_acquire) & QueuedMask);
}

bool TPlayer::Closing() const
{
    return (FQueueState.load(std::memory_order_acquire) & ClosingBit) != 0;
}

void TPlayer::BeforeReallocate()
{
    // The device plays from these buffers: it must let go of them first.
    if (FActive)
        Stop();
    if (FActive)
        ReleaseDevice();
}

bool TPlayer::OpenDevice()
{
    if (FActive)
        return true;
    if (!BuffersAllocated() && !AllocateBuffers())
        return false;
    FWriteIndex = 0;
    FDoneIndex.store(0, std::memory_order_release);
    FQueueState.store(0, std::memory_order_release);
    FRingEmptied.store(0, std::memory_order_release);
    FGeneration.fetch_add(1, std::memory_order_acq_rel);
    for (int I = 0; I < BufferCount; ++I) {
        TWaveHeader& H = *FHeaders[I];
        H.Data = FBuffers[I].get();
        H.BufferLength = FBufferSize;
        H.Flags.store(0);
        H.Loops = 0;
        H.User = 0;
    }
    const TWaveResult R = FOwner.FBackend->Open(FDevice, FOwner.FAudioDeviceID, *FFormat, &TPlayer::DeviceCallback, this);
    if (R != wrNoError) {
        FDevice.reset();
        FOwner.SetDeviceError("Could not open the output device for playing: ", R);
        return false;
    }
    FActive = true;
    return true;
}

void TPlayer::WriteToTempFile(TStream& Left, TStream* Right)
{
    if (FChannels == TChannels::Stereo && Right != nullptr && Right->Size() == Left.Size()) {
        InterleaveStreams(*FTempStream, Left, *Right, FBitsPerSample == TBPS::_16 ? 2 : 1);
    } else {
        Left.Seek(0);
        FTempStream->CopyFrom(Left, Left.Size());
    }
    FTempStream->Flush();
}

void TPlayer::PlayStream(TStream* Left, TStream* Right, std::uint16_t Repeats)
{
    if (!OpenDevice() || Left == nullptr || Left->Size() == 0)
        return;
    const bool NewPlayback = FTempStream == nullptr;
    std::int64_t AppendFrom = 0;
    try {
        if (NewPlayback) {
            FTempStream = std::make_unique<TFileStream>(TempFileName, TFileStream::fmCreate);
            FRepeats = Repeats;
            FReadPos = 0;
        } else {
            AppendFrom = FTempStream->Size();
            FTempStream->Seek(AppendFrom);
        }
        WriteToTempFile(*Left, Right);
    } catch (const EStreamError&) {
        // Never play a part of the samples as if it were all of them. The
        // file stream has already given a full disk its space back.
        if (NewPlayback) {
            FTempStream.reset();
            // Nothing else uses the device: let go of it.
            if (Queued() == 0)
                ReleaseAfterFailure();
        } else {
            try {
                FTempStream->SetSize(AppendFrom);
            } catch (const EStreamError&) {
                FTempStream.reset();
            }
        }
        throw;
    }
    // A new playback primes the ring; so does one whose ring ran empty. A
    // running one picks the new data up as its buffers complete.
    if (FReadPos == 0 || Queued() == 0)
        for (int I = 0; I < BufferCount; ++I)
            QueueBuffer();
}

bool TPlayer::QueueBuffer()
{
    if (!FTempStream || !FActive)
        return false;
    // Every header is with the device; its completion asks for the refill.
    if (Queued() >= BufferCount)
        return false;
    const std::int64_t SavedReadPos = FReadPos;
    const std::uint16_t SavedRepeats = FRepeats;
    std::size_t Got = 0;
    try {
        const std::int64_t Remembered = FTempStream->Position();
        FTempStream->Seek(FReadPos);
        Got = FTempStream->Read(FBuffers[FWriteIndex].get(), FBufferSize);
        if (Got == 0 && FRepeats > 0) {
            --FRepeats;
            FTempStream->Seek(0);
            Got = FTempStream->Read(FBuffers[FWriteIndex].get(), FBufferSize);
        }
        FReadPos = FTempStream->Position();
        FTempStream->Seek(Remembered);
    } catch (const EStreamError& E) {
        // The rest cannot be read: let what is queued drain.
        FOwner.SetError(E.what());
        FTempStream.reset();
        return false;
    }
    if (Got == 0) {
        FTempStream.reset();
        return false;
    }
    TWaveHeader& H = *FHeaders[FWriteIndex];
    H.BufferLength = static_cast<std::uint32_t>(Got);
    H.Flags.store(0);
    H.Loops = 0;
    // Count the buffer (and withdraw a pending close request) before the
    // device can report it.
    std::uint32_t S = FQueueState.load(std::memory_order_acquire);
    while (!FQueueState.compare_exchange_weak(S, (S & QueuedMask) + 1, std::memory_order_acq_rel)) {
    }
    TWaveResult R = FDevice->PrepareHeader(H);
    if (R == wrNoError)
        R = FDevice->Write(H);
    if (R != wrNoError) {
        // Withdraw the count. When that leaves nothing with the device, the
        // last buffer finished while this one was being written and no
        // report will come: ask for the close here, as that report would.
        S = FQueueState.load(std::memory_order_acquire);
        std::uint32_t Next;
        bool Emptied;
        do {
            const std::uint32_t Q = S & QueuedMask;
            Next = (S & ClosingBit) | (Q > 0 ? Q - 1 : 0);
            Emptied = (Next & QueuedMask) == 0 && (Next & ClosingBit) == 0;
            if (Emptied)
                Next |= ClosingBit;
        } while (!FQueueState.compare_exchange_weak(S, Next, std::memory_order_acq_rel));
        if (Emptied)
            QCoreApplication::postEvent(FCloseWnd.get(),
                                        new TAudioMessage(womClose, FGeneration.load(std::memory_order_acquire)));
        // The samples stay in the file for the next attempt.
        FReadPos = SavedReadPos;
        FRepeats = SavedRepeats;
        FOwner.SetDeviceError("", R);
        return false;
    }
    FWriteIndex = (FWriteIndex + 1) % BufferCount;
    return true;
}

void TPlayer::DeviceCallback(TWaveOutDevice*, unsigned Message, void* Context, TWaveHeader*)
{
    TPlayer& P = *static_cast<TPlayer*>(Context);
    switch (Message) {
    case womOpen:
        P.FNotifiedOpen.store(true, std::memory_order_release);
        return;
    case womClose:
        P.FNotifiedOpen.store(false, std::memory_order_release);
        return;
    case womDone:
        break;
    default:
        return;
    }
    if (!P.FNotifiedOpen.load(std::memory_order_acquire))
        return;
    if (P.FResetting.load(std::memory_order_acquire)) {
        // A buffer handed back by Stop's reset: it was not played, and
        // nothing is to follow it.
        std::uint32_t S = P.FQueueState.load(std::memory_order_acquire);
        std::uint32_t Next;
        do {
            const std::uint32_t Q = S & QueuedMask;
            Next = (S & ClosingBit) | (Q > 0 ? Q - 1 : 0);
        } while (!P.FQueueState.compare_exchange_weak(S, Next, std::memory_order_acq_rel));
        return;
    }
    const unsigned Generation = P.FGeneration.load(std::memory_order_acquire);
    P.FDoneIndex.store((P.FDoneIndex.load(std::memory_order_relaxed) + 1) % BufferCount, std::memory_order_release);
    std::uint32_t S = P.FQueueState.load(std::memory_order_acquire);
    std::uint32_t Next;
    bool Last;
    do {
        const std::uint32_t Q = S & QueuedMask;
        Last = Q <= 1;
        Next = (S & ClosingBit) | (Q > 0 ? Q - 1 : 0);
        if (Last)
            Next |= ClosingBit;
    } while (!P.FQueueState.compare_exchange_weak(S, Next, std::memory_order_acq_rel));
    if (Last)
        P.FRingEmptied.fetch_add(1, std::memory_order_acq_rel);
    // Qt takes ownership of posted events.
    if (!Last) {
        if (P.FOwner.OnBufferPlayed) {
            // Nothing may escape into the device's thread: the failure goes
            // to the creating thread with the refill request.
            try {
                P.FOwner.OnBufferPlayed(&P);
            } catch (...) {
                const std::lock_guard Lock(P.FFailureMutex);
                if (!P.FHandlerFailure)
                    P.FHandlerFailure = std::current_exception();
            }
        }
        QCoreApplication::postEvent(P.FRefillWnd.get(), new TAudioMessage(womDone, Generation));
    } else if ((S & ClosingBit) == 0) {
        QCoreApplication::postEvent(P.FCloseWnd.get(), new TAudioMessage(womClose, Generation));
    }
}

void TPlayer::RefillRequested(unsigned Generation)
{
    std::exception_ptr Failure;
    {
        const std::lock_guard Lock(FFailureMutex);
        std::swap(Failure, FHandlerFailure);
    }
    if (Failure)
        std::rethrow_exception(Failure);
    if (Generation != FGeneration.load(std::memory_order_acquire) || !FActive)
        return;
    QueueBuffer();
}

void TPlayer::CloseRequested(unsigned Generation)
{
    if (Generation != FGeneration.load(std::memory_order_acquire))
        return;
    if (!FActive) {
        FOwner.SetError("Player already closed");
        return;
    }
    // Take the request; a buffer queued since has already withdrawn it.
    std::uint32_t S = FQueueState.load(std::memory_order_acquire);
    do {
        if ((S & ClosingBit) == 0)
            return;
    } while (!FQueueState.compare_exchange_weak(S, S & ~ClosingBit, std::memory_order_acq_rel));
    if ((S & QueuedMask) != 0)
        return;
    // The device ran dry before the file was read to its end (this thread
    // was too busy to refill): carry on rather than cut the sound short.
    // A buffer that emptied the ring was not the last one after all when the
    // file still had samples: report it as played, here on this thread,
    // since the device could not know.
    const auto ReportPlayed = [this](int Count) {
        for (int I = 0; I < Count && FOwner.OnBufferPlayed; ++I)
            FOwner.OnBufferPlayed(this);
    };
    if (FTempStream) {
        // Counted before queueing: buffers queued now report for themselves.
        const int EmptiedRing = FRingEmptied.exchange(0, std::memory_order_acq_rel);
        bool Any = false;
        for (int I = 0; I < BufferCount; ++I)
            Any = QueueBuffer() || Any;
        if (Any) {
            ReportPlayed(EmptiedRing);
            return;
        }
        FRingEmptied.fetch_add(EmptiedRing, std::memory_order_acq_rel);
    }
    // Every buffer that emptied the ring but the very last was not the end.
    ReportPlayed(FRingEmptied.exchange(0, std::memory_order_acq_rel) - 1);
    CloseDevice();
}

void TPlayer::CloseDevice()
{
    if (!FActive) {
        FOwner.SetError("Player already closed");
        return;
    }
    for (int I = 0; I < BufferCount; ++I) {
        const TWaveResult R = FDevice->UnprepareHeader(*FHeaders[I]);
        if (R != wrNoError) {
            FOwner.SetDeviceError("Error unpreparing header for playing: ", R);
            return;
        }
    }
    const TWaveResult R = FDevice->Close();
    if (R != wrNoError) {
        FOwner.SetDeviceError("Error closing output device: ", R);
        return;
    }
    // A failure on the device's own thread (a buffer it could not write, a
    // restart after a reset) is told now, when the playback is over.
    const TWaveResult Played = FDevice->DeviceError();
    if (Played != wrNoError)
        FOwner.SetDeviceError("Error playing on the output device: ", Played);
    FDevice.reset();
    FActive = false;
    FQueueState.store(0, std::memory_order_release);
    // Samples the device would not take end with the playback.
    FTempStream.reset();
    // Requests still posted for this opening are answered.
    FGeneration.fetch_add(1, std::memory_order_acq_rel);
    if (FOwner.OnPlayed)
        FOwner.OnPlayed(this);
}

void TPlayer::ReleaseDevice()
{
    FDevice.reset();
    FActive = false;
    FNotifiedOpen.store(false, std::memory_order_release);
    FQueueState.store(0, std::memory_order_release);
    FGeneration.fetch_add(1, std::memory_order_acq_rel);
    FTempStream.reset();
}

void TPlayer::Stop()
{
    if (!FActive) {
        FOwner.SetError("Player already closed");
        return;
    }
    if (FTempStream) {
        FTempStream.reset();
        FOwner.SetError("");
    }
    if (!Closing()) {
        // The buffers the reset hands back were not played: their reports
        // only count them off (see DeviceCallback).
        FResetting.store(true, std::memory_order_release);
        const TWaveResult R = FDevice->Reset();
        FResetting.store(false, std::memory_order_release);
        if (R != wrNoError) {
            FOwner.SetError("Error in waveOutReset");
            return;
        }
    }
    // The reset returned every buffer and their reports have been delivered.
    // A close request posted before is handled now; otherwise nothing is
    // queued any more and no report comes, so close directly.
    QCoreApplication::sendPostedEvents(FCloseWnd.get(), AudioEventType());
    if (FActive && Queued() == 0)
        CloseDevice();
}

void TPlayer::ReleaseAfterFailure()
{
    // The failure being reported matters more than one of closing.
    try {
        if (FActive && !Closing() && Queued() > 0) {
            FResetting.store(true, std::memory_order_release);
            const TWaveResult R = FDevice->Reset();
            FResetting.store(false, std::memory_order_release);
            if (R != wrNoError)
                FOwner.SetError("Error in waveOutReset");
        }
        if (FActive && Queued() == 0)
            CloseDevice();
    } catch (...) {
        // A handler of the owner failed as well; the first failure is told.
    }
    FResetting.store(false, std::memory_order_release);
    if (FActive)
        ReleaseDevice();
}

void TPlayer::AbortPlayback(std::exception_ptr Failure)
{
    const std::string Message = MessageOf(Failure);
    FTempStream.reset();
    FOwner.SetError(Message);
    ReleaseAfterFailure();
    FOwner.SetError(Message);
}

// ---------------------------------------------------------------- recorder

TRecorder::TRecorder(TAudio& Owner) : TAudioSettings(Owner) {}

TRecorder::~TRecorder() = default;

void TRecorder::SetNoSamples(std::uint16_t Value)
{
    TPlayer& P = *FOwner.FPlayer;
    if (!P.Fits(Value, P.FBitsPerSample, P.FChannels) || !Fits(Value, FBitsPerSample, FChannels))
        return FOwner.SetError(BufferTooLarge);
    P.ApplyNoSamples(Value);
    ApplyNoSamples(Value);
}

void TRecorder::SetSplitChannels(bool Value)
{
    FSplitChannels = Value && FChannels == TChannels::Stereo;
}

void TRecorder::Close()
{
    // No part of the program opens a wave input device.
    FOwner.SetError("Recorder already closed");
}

void TRecorder::SaveToWaveFile(const std::string& FileName, TStream* Left, TStream* Right)
{
    if (FileName.empty()) {
        FWriting = false;
        return;
    }
    if (FWriting)
        FinishWaveFile();
    const std::int64_t DataBytes = Left == nullptr ? 0 : WaveSampleBytes(*Left, Right);
    CheckWaveDataBytes(FileName, DataBytes);

    TWaveFormat F = Format() != nullptr ? *Format() : BuildFormat();
    F.FormatTag = 1;
    F.Channels = FChannels == TChannels::Stereo ? 2 : 1;
    F.SamplesPerSec = FSampleRate;
    // A failure anywhere abandons the writer: the temporary goes, an
    // existing file keeps its content.
    auto Writer = std::make_unique<TWaveFileWriter>(FileName, F, Left == nullptr ? -1 : DataBytes);
    if (Left == nullptr) {
        FFileStream = std::move(Writer);
        FFileName = FileName;
        FWriting = true;
        return;
    }
    FWriting = true;
    try {
        Writer->WriteSamples(*Left, Right);
        Writer->Commit();
    } catch (...) {
        FWriting = false;
        throw;
    }
    FWriting = false;
}

void TRecorder::FinishWaveFile()
{
    std::unique_ptr<TWaveFileWriter> Writer = std::move(FFileStream);
    FWriting = false;
    if (Writer)
        Writer->Commit();
}

// ------------------------------------------------------------------- audio

TAudio::TAudio(QObject* Parent, std::shared_ptr<TWaveOutBackend> Backend)
    : QObject(Parent), FBackend(Backend ? std::move(Backend) : DefaultWaveOutBackend())
{
    FRecorder = std::make_unique<TRecorder>(*this);
    FPlayer = std::make_unique<TPlayer>(*this);
    FLastError.clear();
    if (FBackend->InputDeviceCount() > 0 && FBackend->OutputDeviceCount() > 0) {
        if (FRecorder->AllocateBuffers())
            FPlayer->AllocateBuffers();
    }
    if (QCoreApplication* App = QCoreApplication::instance())
        connect(App, &QCoreApplication::aboutToQuit, this, [this] {
            // Nothing may escape into Qt's signal dispatch.
            try {
                ReleaseDevice();
            } catch (...) {
                FLastError = MessageOf(std::current_exception());
            }
        });
}

TAudio::~TAudio()
{
    try {
        ReleaseDevice();
    } catch (...) {
        // An OnPlayed handler failed; the device is released all the same.
        if (FPlayer->Active())
            FPlayer->ReleaseDevice();
    }
    FRecorder->Close();
    if (FRecorder->Writing()) {
        try {
            FRecorder->FinishWaveFile();
        } catch (const EStreamError& E) {
            FLastError = E.what();
        }
    }
    FRecorder->FreeBuffers();
    FPlayer->FreeBuffers();
}

void TAudio::ReleaseDevice()
{
    FPlayer->Stop();
    if (FPlayer->Active())
        FPlayer->ReleaseDevice();
}

void TAudio::SetAudioDeviceID(int Value)
{
    if (Value >= 10)
        Value = -1;
    if (Value == FAudioDeviceID)
        return;
    FPlayer->BeforeReallocate();
    FAudioDeviceID = Value;
    FRecorder->Reallocate();
    FPlayer->Reallocate();
}

void TAudio::SetDeviceError(const std::string& Message, TWaveResult Code)
{
    const std::string Text = FBackend->ErrorText(Code);
    FLastError = Text.empty() ? Message : Message + " " + Text.substr(0, 255);
}
