#pragma once
// The wave-output back end for real devices, over PortAudio.
//
// Constructing the back end silences the console chatter of the sound
// libraries beneath PortAudio (ALSA's error printer and JACK's error and
// information printers) and initialises PortAudio; destroying it terminates
// PortAudio. Device numbers count output-capable devices in PortAudio's
// order; -1 is PortAudio's default output device. With no sound device,
// Open fails with PortAudio's own error text and nothing else happens.
//
// Buffers are played by blocking writes on the device's thread in short
// slices, so that Reset and Close are answered within a slice.

#include "audio/WaveOut.h"

class TPortAudioBackend final : public TWaveOutBackend {
public:
    TPortAudioBackend();
    ~TPortAudioBackend() override;
    TPortAudioBackend(const TPortAudioBackend&) = delete;
    TPortAudioBackend& operator=(const TPortAudioBackend&) = delete;

    int OutputDeviceCount() override;
    int InputDeviceCount() override;
    TWaveResult Open(std::unique_ptr<TWaveOutDevice>& Device, int DeviceID, const TWaveFormat& Format,
                     TWaveOutProc Proc, void* Context) override;
    std::string ErrorText(TWaveResult Code) override;

private:
    int FInitError;
};
