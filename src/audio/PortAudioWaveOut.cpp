#include "audio/PortAudioWaveOut.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <portaudio.h>

#include <algorithm>

namespace {

void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

void QuietJack(const char*) {}

// PortAudio reports a missing sound server and every absent card on stderr
// through these libraries. JACK is reached through the symbols PortAudio
// already loaded, so a PortAudio built without JACK needs nothing here.
void SilenceSoundLibraries()
{
    snd_lib_error_set_handler(&QuietAlsa);
    using TJackPrinter = void (*)(void (*)(const char*));
    for (const char* Name : {"jack_set_error_function", "jack_set_info_function"}) {
        if (void* Symbol = dlsym(RTLD_DEFAULT, Name))
            reinterpret_cast<TJackPrinter>(Symbol)(&QuietJack);
    }
}

class TPortAudioDevice final : public TThreadedWaveOutDevice {
public:
    TPortAudioDevice(PaStream* Stream, int BlockAlign, TWaveOutProc Proc, void* Context)
        : TThreadedWaveOutDevice(Proc, Context), FStream(Stream), FBlockAlign(BlockAlign)
    {
        Start();
    }

    ~TPortAudioDevice() override
    {
        Shutdown();
        if (FStream != nullptr) {
            // Dropped without the close handshake: nobody is left to tell of
            // a failure, and the stream goes either way.
            if (Pa_AbortStream(FStream) != paNoError) {
            }
            if (Pa_CloseStream(FStream) != paNoError) {
            }
        }
    }

protected:
    bool Render(TWaveHeader& Header) override
    {
        // Small slices keep a reset waiting for at most one slice.
        constexpr unsigned long SliceFrames = 1024;
        const unsigned long Frames = Header.BufferLength / static_cast<unsigned long>(FBlockAlign);
        unsigned long Done = 0;
        while (Done < Frames) {
            if (Interrupted())
                return false;
            const unsigned long N = std::min(SliceFrames, Frames - Done);
            const PaError Err = Pa_WriteStream(FStream, Header.Data + Done * static_cast<unsigned long>(FBlockAlign), N);
            // An underflow only means the device ran dry for a moment; any
            // other failure ends this buffer rather than spinning on it, and
            // is told when the device closes.
            if (Err != paNoError && Err != paOutputUnderflowed) {
                KeepError(Err);
                break;
            }
            Done += N;
        }
        return true;
    }

    void Discard() override
    {
        PaError Err = Pa_AbortStream(FStream);
        if (Err == paNoError)
            Err = Pa_StartStream(FStream);
        KeepError(Err);
    }

    void Drain() override
    {
        // Stopping fails on a stream a failed restart left stopped; closing
        // is what matters then.
        const PaError Stopped = Pa_IsStreamStopped(FStream) == 1 ? paNoError : Pa_StopStream(FStream);
        KeepError(Stopped);
        KeepError(Pa_CloseStream(FStream));
        FStream = nullptr;
    }

private:
    PaStream* FStream;
    int FBlockAlign;
};

}  // namespace

TPortAudioBackend::TPortAudioBackend()
{
    SilenceSoundLibraries();
    FInitError = Pa_Initialize();
}

TPortAudioBackend::~TPortAudioBackend()
{
    // Nothing is left to tell of a failure to shut down.
    if (FInitError == paNoError && Pa_Terminate() != paNoError) {
    }
}

namespace {

// Devices PortAudio lists with at least one channel of the asked direction.
int CountDevices(int PaDeviceInfo::*Channels)
{
    int N = 0;
    // A negative count is an error: no devices then.
    const PaDeviceIndex Count = Pa_GetDeviceCount();
    for (PaDeviceIndex I = 0; I < Count; ++I) {
        const PaDeviceInfo* Info = Pa_GetDeviceInfo(I);
        if (Info != nullptr && Info->*Channels > 0)
            ++N;
    }
    return N;
}

} // namespace

int TPortAudioBackend::OutputDeviceCount()
{
    return FInitError != paNoError ? 0 : CountDevices(&PaDeviceInfo::maxOutputChannels);
}

int TPortAudioBackend::InputDeviceCount()
{
    return FInitError != paNoError ? 0 : CountDevices(&PaDeviceInfo::maxInputChannels);
}

TWaveResult TPortAudioBackend::Open(std::unique_ptr<TWaveOutDevice>& Device, int DeviceID, const TWaveFormat& Format,
                                    TWaveOutProc Proc, void* Context)
{
    Device.reset();
    if (FInitError != paNoError)
        return FInitError;
    if (Format.FormatTag != 1 || Format.Channels == 0 || (Format.BitsPerSample != 8 && Format.BitsPerSample != 16)
        || Format.SamplesPerSec == 0 || Format.BlockAlign != Format.Channels * (Format.BitsPerSample / 8))
        return wrBadFormat;

    PaDeviceIndex Index = paNoDevice;
    if (DeviceID == -1) {
        Index = Pa_GetDefaultOutputDevice();
        if (Index == paNoDevice)
            return paDeviceUnavailable;
    } else if (DeviceID >= 0) {
        int Seen = 0;
        const PaDeviceIndex Count = Pa_GetDeviceCount();
        for (PaDeviceIndex I = 0; I < Count && Index == paNoDevice; ++I) {
            const PaDeviceInfo* Info = Pa_GetDeviceInfo(I);
            if (Info != nullptr && Info->maxOutputChannels > 0 && Seen++ == DeviceID)
                Index = I;
        }
    }
    if (Index == paNoDevice)
        return paInvalidDevice;

    const PaDeviceInfo* Info = Pa_GetDeviceInfo(Index);
    PaStreamParameters Out{};
    Out.device = Index;
    Out.channelCount = Format.Channels;
    Out.sampleFormat = Format.BitsPerSample == 16 ? paInt16 : paUInt8;
    Out.suggestedLatency = Info != nullptr ? Info->defaultHighOutputLatency : 0.2;
    PaStream* Stream = nullptr;
    PaError Err = Pa_OpenStream(&Stream, nullptr, &Out, Format.SamplesPerSec, paFramesPerBufferUnspecified, paNoFlag,
                                nullptr, nullptr);
    if (Err != paNoError)
        return Err;
    Err = Pa_StartStream(Stream);
    if (Err != paNoError) {
        if (Pa_CloseStream(Stream) != paNoError) {
            // The start failure is the one to tell.
        }
        return Err;
    }
    try {
        Device = std::make_unique<TPortAudioDevice>(Stream, Format.BlockAlign, Proc, Context);
    } catch (...) {
        // Out of memory already; a failure to drop the stream adds nothing.
        if (Pa_AbortStream(Stream) != paNoError) {
        }
        if (Pa_CloseStream(Stream) != paNoError) {
        }
        return wrNoMemory;
    }
    return wrNoError;
}

std::string TPortAudioBackend::ErrorText(TWaveResult Code)
{
    if (Code >= 0)
        return WaveOutErrorText(Code);
    if (Code == paUnanticipatedHostError) {
        const PaHostErrorInfo* Host = Pa_GetLastHostErrorInfo();
        if (Host != nullptr && Host->errorText != nullptr && Host->errorText[0] != '\0')
            return std::string(Pa_GetErrorText(Code)) + ": " + Host->errorText;
    }
    const char* Text = Pa_GetErrorText(Code);
    return Text != nullptr ? Text : std::string();
}
