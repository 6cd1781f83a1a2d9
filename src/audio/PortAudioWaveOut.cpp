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
            Pa_AbortStream(FStream);
            Pa_CloseStream(FStream);
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
            // other failure ends this buffer rather than spinning on it.
            if (Err != paNoError && Err != paOutputUnderflowed)
                break;
            Done += N;
        }
        return true;
    }

    void Discard() override
    {
        if (Pa_AbortStream(FStream) == paNoError)
            Pa_StartStream(FStream);
    }

    void Drain() override
    {
        Pa_StopStream(FStream);
        Pa_CloseStream(FStream);
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
    if (FInitError == paNoError)
        Pa_Terminate();
}

namespace {

// Devices PortAudio lists with at least one channel of the asked direction.
int CountDevices(int PaDeviceInfo::*Channels)
{
    int N = 0;
    for (PaDeviceIndex I = 0; I < Pa_GetDeviceCount(); ++I) {
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
        for (PaDeviceIndex I = 0; I < Pa_GetDeviceCount() && Index == paNoDevice; ++I) {
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
        Pa_CloseStream(Stream);
        return Err;
    }
    try {
        Device = std::make_unique<TPortAudioDevice>(Stream, Format.BlockAlign, Proc, Context);
    } catch (...) {
        Pa_AbortStream(Stream);
        Pa_CloseStream(Stream);
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
