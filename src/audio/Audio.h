#pragma once
// The sound component: plays raw PCM sample streams on a wave-output device
// through four rotating buffers fed from the temporary file "PLAY.TMP" in the
// current directory, and writes sample streams as PCM WAV files.
//
// Threads: every member is called on the thread that created the component
// (the user-interface thread), except that OnBufferPlayed is raised on the
// device's notification thread. The notification routine touches only a few
// atomics and posts events to the component's receivers, which refill
// buffers and close the device on the creating thread; that thread must run
// a Qt event loop (or process events) while sound plays.
//
// Failures: device and memory failures are stored as text in LastError and
// make the operation return; so is a failure on the device's own thread
// (a buffer the device could not write), told when the device closes. File
// failures throw EStreamError descendants: "Cannot create file <name>" when
// a file cannot be created, EWriteError (naming the file and the system's
// reason) when a file cannot be written completely (an existing WAV file is
// then left as it was). A failure inside the requests the component posts
// to itself (a file, the device, a handler of OnBufferPlayed or OnPlayed)
// never reaches Qt's event dispatch: the playback stops, the device is
// released and the message is kept in LastError.

#include <QObject>

#include <array>
#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "audio/Stream.h"
#include "audio/WaveFile.h"
#include "audio/WaveOut.h"

class TAudio;
class TAudioReceiver;
class TPlayer;
class TRecorder;

enum class TBPS : std::uint8_t { _8, _16 };
enum class TChannels : std::uint8_t { Mono, Stereo };

// Raised once per finished device buffer except the last of a playback, on
// the device's notification thread (on the creating thread in the rare case
// that the ring ran empty before the samples ended). Not raised for buffers
// a Stop takes back unplayed.
using TNotifyBufferPlayedEvent = std::function<void(TPlayer* Sender)>;
using TNotifyPlayedEvent = std::function<void(TPlayer* Sender)>;
// Recorder and mixer events: kept for the component's shape; this program
// never records and never opens a mixer, so they are never raised.
using TNotifyAudioRecordEvent = std::function<void(TRecorder* Sender, const std::uint8_t* Data, std::uint32_t Size)>;
using TNotifyMixerChange = std::function<void(TAudio* Sender, int Destination, int Source)>;

// Format settings and device buffers shared by the player and the recorder.
class TAudioSettings {
public:
    static constexpr int BufferCount = 4;
    static constexpr std::uint16_t DefaultNoSamples = 8192;

    virtual ~TAudioSettings();
    TAudioSettings(const TAudioSettings&) = delete;
    TAudioSettings& operator=(const TAudioSettings&) = delete;

    // Format setters: with SeparateCtrls false they set the player and the
    // recorder alike. A change frees and re-allocates the buffers of each
    // part it changed (stopping a playback first). A change that would make
    // NoSamples x block align reach 65536 bytes is refused with a message in
    // LastError and changes nothing.
    TBPS BitsPerSample() const { return FBitsPerSample; }
    void SetBitsPerSample(TBPS Value);
    TChannels Channels() const { return FChannels; }
    void SetChannels(TChannels Value);
    // Frames per second.
    std::uint16_t SampleRate() const { return FSampleRate; }
    void SetSampleRate(std::uint16_t Value);
    // Frames per device buffer (set through TRecorder::SetNoSamples).
    std::uint16_t NoSamples() const { return FNoSamples; }

    // Bytes per frame of the current settings: channels x 1 or 2.
    std::uint16_t BlockAlign() const;
    // The format record built from the settings.
    TWaveFormat BuildFormat() const;
    // The allocated format record, or none.
    const TWaveFormat* Format() const { return FFormat.get(); }
    // Bytes per device buffer: NoSamples x block align (below 65536).
    std::uint16_t BufferSize() const { return FBufferSize; }
    bool BuffersAllocated() const;

    // Builds the format record and the four headers, buffers and half
    // buffers; false (with the message in LastError) when memory runs out,
    // leaving the remaining slots empty.
    bool AllocateBuffers();
    void FreeBuffers();

protected:
    explicit TAudioSettings(TAudio& Owner);

    // Called before this part's format or buffers change.
    virtual void BeforeReallocate() {}
    // Stores a value on this part only; re-allocates when it changed.
    void ApplyBitsPerSample(TBPS Value);
    void ApplyChannels(TChannels Value);
    void ApplySampleRate(std::uint16_t Value);
    void ApplyNoSamples(std::uint16_t Value);
    // Stores Value in Field; when that changes it, the part lets go of its
    // buffers first and allocates them in the new format afterwards.
    template <class T> void Apply(T& Field, T Value);
    void Reallocate();
    // Whether this part may take the given frames per buffer and format.
    bool Fits(std::uint16_t NoSamples, TBPS Bits, TChannels Channels) const;

    TAudio& FOwner;
    TBPS FBitsPerSample = TBPS::_8;
    TChannels FChannels = TChannels::Mono;
    std::uint16_t FSampleRate = 11025;
    std::uint16_t FNoSamples = DefaultNoSamples;
    std::unique_ptr<TWaveFormat> FFormat;
    std::uint16_t FBufferSize = 0;
    std::array<std::unique_ptr<TWaveHeader>, BufferCount> FHeaders;
    std::array<std::unique_ptr<std::uint8_t[]>, BufferCount> FBuffers;
    std::array<std::unique_ptr<std::uint8_t[]>, BufferCount> FHalfBuffers;

    friend class TAudio;
    friend class TRecorder;
};

class TPlayer final : public TAudioSettings {
public:
    ~TPlayer() override;

    // Plays Left (raw PCM frames in the player's format, read from its start;
    // none or empty: only opens the device). With Stereo settings and a Right
    // stream of Left's size, Left and Right are interleaved as the two
    // channels. Returns at once. While a playback is running the new samples
    // play right after the ones still queued, without reopening the device;
    // Repeats (new playbacks only) replays the whole temporary file that many
    // more times. Throws when "PLAY.TMP" cannot be created or written; the
    // file is then cut back (to nothing, or to the samples of the running
    // playback it was appended to), and a device that plays nothing else is
    // closed.
    void PlayStream(TStream* Left, TStream* Right, std::uint16_t Repeats);
    // Ends playback at once and closes the device; returns after the device
    // reported that it closed ("Player already closed" in LastError when it
    // was not open).
    void Stop();

    // The device is open.
    bool Active() const { return FActive; }
    // Buffers with the device and not yet reported done (0 .. 4).
    int Queued() const;
    // The device asked for the close and the request is not handled yet.
    bool Closing() const;
    // The device has reported open and not yet closed.
    bool NotifiedOpen() const { return FNotifiedOpen.load(std::memory_order_acquire); }
    // Next header to fill; header expected to complete next.
    int WriteIndex() const { return FWriteIndex; }
    int DoneIndex() const { return FDoneIndex.load(std::memory_order_acquire); }
    std::uint16_t Repeats() const { return FRepeats; }
    // A temporary file with samples still to queue exists.
    bool HasTempStream() const { return FTempStream != nullptr; }

    static constexpr const char* TempFileName = "PLAY.TMP";

    // Created by its TAudio, which outlives it.
    explicit TPlayer(TAudio& Owner);

private:
    friend class TAudio;

    void BeforeReallocate() override;
    bool OpenDevice();
    // Queues the next buffer from the temporary file; true when it did.
    bool QueueBuffer();
    void CloseDevice();
    // Drops the device without the close handshake (after a failed Stop).
    void ReleaseDevice();
    void RefillRequested(unsigned Generation);
    // Closes (or, failing that, drops) the device after a failure; a
    // failure of the close itself is not told over the first one.
    void ReleaseAfterFailure();
    // A posted request failed: stop, release, keep the message.
    void AbortPlayback(std::exception_ptr Failure);
    void CloseRequested(unsigned Generation);
    void WriteToTempFile(TStream& Left, TStream* Right);
    static void DeviceCallback(TWaveOutDevice* Device, unsigned Message, void* Context, TWaveHeader* Header);

    // FQueueState packs the number of buffers with the device (bits 0-2,
    // 0 .. 4) and the close request flag (bit 3), so that the device's
    // "was that the last buffer?" decision and the user-interface thread's
    // queueing of a new buffer can never interleave.
    static constexpr std::uint32_t ClosingBit = 8;
    static constexpr std::uint32_t QueuedMask = 7;

    std::unique_ptr<TWaveOutDevice> FDevice;
    bool FActive = false;
    std::atomic<bool> FNotifiedOpen{false};
    std::atomic<std::uint32_t> FQueueState{0};
    // Completions that left no buffer with the device, not yet reported.
    std::atomic<int> FRingEmptied{0};
    int FWriteIndex = 0;
    std::atomic<int> FDoneIndex{0};
    std::atomic<unsigned> FGeneration{0};
    // Stop's reset is handing the queued buffers back.
    std::atomic<bool> FResetting{false};
    // A failure of OnBufferPlayed on the device's thread, for the creating
    // thread to handle.
    std::mutex FFailureMutex;
    std::exception_ptr FHandlerFailure;
    std::unique_ptr<TFileStream> FTempStream;
    std::uint16_t FRepeats = 0;
    std::int64_t FReadPos = 0;
    std::unique_ptr<TAudioReceiver> FRefillWnd;
    std::unique_ptr<TAudioReceiver> FCloseWnd;
};

class TRecorder final : public TAudioSettings {
public:
    ~TRecorder() override;

    // Frames per device buffer of both parts (1 .. below 65536 / block
    // align); a value that does not fit is refused with a message in
    // LastError.
    void SetNoSamples(std::uint16_t Value);
    // Forced false unless Channels is Stereo.
    bool SplitChannels() const { return FSplitChannels; }
    void SetSplitChannels(bool Value);
    std::uint16_t TrigLevel() const { return FTrigLevel; }
    void SetTrigLevel(std::uint16_t Value) { FTrigLevel = Value; }
    bool Triggered() const { return FTriggered; }
    void SetTriggered(bool Value) { FTriggered = Value; }

    // Writes FileName as a 44-byte RIFF/WAVE PCM header in the recorder's
    // format followed by the bytes of Left from its start, or Left and Right
    // interleaved sample by sample when Right has Left's size, through
    // TWaveFileWriter (every byte counted, the file takes its name only when
    // complete; see WaveFile.h). An empty file name writes nothing. With no
    // Left the header is written and the file stays open until the
    // component goes, which then completes it. Throws EFCreateError
    // ("Cannot create file <name>"), EWriteError (naming the file and the
    // reason; also for more than 4 GiB of samples, refused before anything
    // is written).
    void SaveToWaveFile(const std::string& FileName, TStream* Left, TStream* Right);
    // A WAV file is open for writing.
    bool Writing() const { return FWriting; }

    static constexpr std::uint32_t MaxWaveDataBytes = ::MaxWaveDataBytes;

    // Created by its TAudio, which outlives it.
    explicit TRecorder(TAudio& Owner);

private:
    friend class TAudio;
    friend class TAudioSettings;

    // Closes a wave input device (none is ever opened here).
    void Close();
    // Patches the two size fields and commits the open WAV file.
    void FinishWaveFile();

    bool FSplitChannels = false;
    std::uint16_t FTrigLevel = 128;
    bool FTriggered = true;
    std::unique_ptr<TWaveFileWriter> FFileStream;
    std::string FFileName;
    bool FWriting = false;
};

class TAudio : public QObject {
public:
    // Backend none: DefaultWaveOutBackend(). The component stops playback
    // and releases the device when the application is about to quit, and
    // again when destroyed.
    explicit TAudio(QObject* Parent = nullptr, std::shared_ptr<TWaveOutBackend> Backend = nullptr);
    ~TAudio() override;

    // Device number for the device calls; -1 is the default device, values
    // of 10 and above are stored as -1.
    int AudioDeviceID() const { return FAudioDeviceID; }
    void SetAudioDeviceID(int Value);
    int MixerDeviceID() const { return FMixerDeviceID; }
    void SetMixerDeviceID(int Value) { FMixerDeviceID = Value; }
    bool SeparateCtrls() const { return FSeparateCtrls; }
    void SetSeparateCtrls(bool Value) { FSeparateCtrls = Value; }
    TPlayer* Player() { return FPlayer.get(); }
    TRecorder* Recorder() { return FRecorder.get(); }
    // Always "4.1 (32bit)"; assignments store that text.
    const std::string& Version() const { return FVersion; }
    void SetVersion(const std::string&) { FVersion = VersionText; }

    TNotifyAudioRecordEvent OnRecord;
    // Raised on the device's notification thread: set it before playing and
    // do not touch widgets from it.
    TNotifyBufferPlayedEvent OnBufferPlayed;
    // Raised on the creating thread after the device closed.
    TNotifyPlayedEvent OnPlayed;
    TNotifyMixerChange OnMixerChange;

    // The last error message; empty after construction.
    const std::string& LastError() const { return FLastError; }
    // Size of the platform's format record (WAVEFORMATEX).
    int FormatSize() const { return WaveFormatRecordSize; }
    TWaveOutBackend& Backend() { return *FBackend; }

    // Stops playback and releases the device (application shutdown).
    void ReleaseDevice();

    static constexpr const char* VersionText = "4.1 (32bit)";

private:
    friend class TAudioSettings;
    friend class TPlayer;
    friend class TRecorder;

    void SetError(const std::string& Message) { FLastError = Message; }
    // Message, then one space and the back end's text for Code when it has one.
    void SetDeviceError(const std::string& Message, TWaveResult Code);

    std::shared_ptr<TWaveOutBackend> FBackend;
    int FAudioDeviceID = -1;
    int FMixerDeviceID = 0;
    bool FSeparateCtrls = false;
    std::string FVersion = VersionText;
    std::string FLastError;
    // Declared after the back end: the parts close their devices before the
    // back end can go.
    std::unique_ptr<TRecorder> FRecorder;
    std::unique_ptr<TPlayer> FPlayer;
};
