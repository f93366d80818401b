#include "wavewin/clipboard.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

#include "util/text.h"
#include "util/xmsg.h"
#include "wave/file.h"
#include "wave/soundformat.h"
#include "wave/soxlib.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

const char* const WavMimeTypes[3] = {"audio/x-wav", "audio/wav", "audio/vnd.wave"};

namespace {

// Asking another program what it offers takes a round trip, and a file list
// needs its file looked at: do it once per change of the clipboard, not at
// every change of a window's state.
bool Known = false;
bool HasSound = false;

// The file a file list names is asked about in a reader of its own, in the
// background: a damaged file must neither hold nor end the editor before
// anyone presses Paste. Until it answers, there is no sound to paste.
struct TListedFileCheck {
    std::unique_ptr<NSWave::TPendingHeader> Probe;
    std::unique_ptr<QSocketNotifier> Notifier;
    std::unique_ptr<QTimer> Limit;

    void Start(const std::string& path);
    void Answer(bool readable) {
        Notifier.reset();
        Limit.reset();
        Probe.reset();
        HasSound = readable;
        TWaveWin::BroadcastState();
    }
    void Cancel() {
        Notifier.reset();
        Limit.reset();
        Probe.reset();
    }
};
// Never destroyed: its notifier and timer must not outlive the application
// in a static's destructor.
TListedFileCheck& ListedFileCheck = *new TListedFileCheck;

void WatchClipboard() {
    static const bool watching = [] {
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, [] {
            Known = false;
            ListedFileCheck.Cancel();
            TWaveWin::BroadcastState();
        });
        QObject::connect(QGuiApplication::clipboard(), &QObject::destroyed,
                         [] { ListedFileCheck.Cancel(); });
        return true;
    }();
    (void)watching;
}

const char* WavTypeOn(const QMimeData* data) {
    for (const char* type : WavMimeTypes)
        if (data->hasFormat(QLatin1String(type)))
            return type;
    return nullptr;
}

// The one local file a file list names; empty for anything else.
std::string SingleLocalFile(const QMimeData* data) {
    if (!data->hasFormat(QStringLiteral("text/uri-list")))
        return std::string();
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return std::string();
    return urls.front().toLocalFile().toStdString();
}

// The file list's file, when the library can read it.
std::string ReadableListedFile(const QMimeData* data) {
    std::string path = SingleLocalFile(data);
    TSoundHeader header;
    return !path.empty() && ReadSoundHeader(path, header) ? path : std::string();
}

void TListedFileCheck::Start(const std::string& path) {
    NSWave::THeaderProbe asked;
    if (!NSWave::PrepareHeaderProbe(path, asked))
        return;
    try {
        Probe = std::make_unique<NSWave::TPendingHeader>(asked);
    } catch (const std::exception&) {
        return;
    }
    Notifier = std::make_unique<QSocketNotifier>(Probe->Descriptor(), QSocketNotifier::Read);
    QObject::connect(Notifier.get(), &QSocketNotifier::activated, [this] {
        if (Probe && Probe->Poll())
            Answer(Probe->Readable);
    });
    Limit = std::make_unique<QTimer>();
    Limit->setSingleShot(true);
    QObject::connect(Limit.get(), &QTimer::timeout, [this] { Answer(false); });
    Limit->start(int(std::min<long long>(NSWave::ReaderStallLimit().count(), 3000)));
}

// Sound on the clipboard now; a file list's file is answered later.
bool LookAtClipboard() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return false;
    if (WavTypeOn(data))
        return true;
    const std::string path = SingleLocalFile(data);
    if (!path.empty())
        ListedFileCheck.Start(path);
    return false;
}

TTmpFile WriteTemporary(const QByteArray& bytes) {
    TTmpFile file("WAV");
    QFile out(QString::fromStdString(file.GetFileName()));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size() ||
        !out.flush())
        return TTmpFile();
    return file;
}

TTmpFile CopyToTemporary(const std::string& path) {
    // A copy, not the file itself: Redo must insert the same sound even when
    // the file has changed or gone since. The suffix keeps the file's type.
    TTmpFile file(NSWave::TypeFromName(path));
    std::error_code error;
    std::filesystem::copy_file(path, file.GetFileName(),
                               std::filesystem::copy_options::overwrite_existing, error);
    return error ? TTmpFile() : file;
}

} // namespace

bool ClipboardHasSound() {
    WatchClipboard();
    if (!Known) {
        HasSound = LookAtClipboard();
        Known = true;
    }
    return HasSound;
}

bool ClipboardCheckPending() {
    return ListedFileCheck.Probe != nullptr;
}

uint64_t WavImageBytes(const NSWave::TFile& document, const TSampleRange& range) {
    uint64_t frames = 0;
    if (range.Valid) {
        const uint32_t end = std::min(range.End, document.GetLength());
        frames = end > range.Start ? end - range.Start : 0;
    }
    const uint64_t channels = range.Channel == AllChannels ? document.ChannelCount() : 1;
    const uint64_t bytes = std::max(1u, NSWave::BitsOfSize(document.Size) / 8);
    // The header: format chunk, the extensible format's extra, the comment.
    const uint64_t header = 1024 + document.Comment.size();
    return frames * channels * bytes + header;
}

std::string TooLargeForClipboardText() {
    return NSText::Tr("Clipboard", "The selection is too large for the clipboard: sound is "
                                   "exchanged as a WAV file, which holds at most 4 GB. Select a "
                                   "shorter range.");
}

namespace {

// "Could not put the sound on the clipboard: No space left on device": the
// reason alone, without the name of the program's own staging file.
// The texts' beginnings, in the user's language, come from the texts
// filled with nothing.
std::string NotOnClipboardPrefix() {
    return NSText::Fill(NSText::Tr("Clipboard", "Could not put the sound on the clipboard: %1"),
                        {std::string()});
}

[[noreturn]] void ThrowNotOnClipboard(std::string why) {
    for (const std::string& prefix :
         {NSText::Fill(NSText::Tr("Sound", "Could not write file: %1"), {std::string()}),
          NSText::Fill(NSText::Tr("Sound", "Could not open file: %1"), {std::string()})})
        if (!prefix.empty() && why.rfind(prefix, 0) == 0)
            why.erase(0, prefix.size());
    throw xmsg(NSText::Fill(NSText::Tr("Clipboard", "Could not put the sound on the clipboard: %1"),
                            {why}));
}

} // namespace

void PutOnClipboard(const NSWave::TFile& document, const TSampleRange& range, TOpStatus* status) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    TSampleRange r = range;
    r.End = std::max(r.Start, std::min(r.End, document.GetLength()));
    QByteArray bytes;
    try {
        std::optional<TTmpFile> file;
        try {
            file.emplace("tmp");
        } catch (const xmsg& e) {
            // The temporary folder refused the file; its reason is errno's.
            const int why = errno;
            ThrowNotOnClipboard(why ? std::strerror(why) : e.why());
        }
        // WAV holds every sample size the document has; should the library
        // narrow one anyway, the clipboard is no file the user keeps.
        document.SaveScratch(file->GetFileName(), status, "WAV", r, true);
        QFile in(QString::fromStdString(file->GetFileName()));
        if (!in.open(QIODevice::ReadOnly))
            ThrowNotOnClipboard(in.errorString().toStdString());
        bytes = in.readAll();
        if (bytes.size() != in.size())
            ThrowNotOnClipboard(in.errorString().toStdString());
    } catch (const std::bad_alloc&) {
        ThrowNotOnClipboard(NSText::Tr("Clipboard", "Not enough memory"));
    } catch (const xmsg& e) {
        if (e.why().rfind(NotOnClipboardPrefix(), 0) == 0)
            throw;
        ThrowNotOnClipboard(e.why());
    }
    auto* data = new QMimeData;
    // One array shared by the three names, not three copies.
    for (const char* type : WavMimeTypes)
        data->setData(QLatin1String(type), bytes);
    clipboard->setMimeData(data);
}

TTmpFile ReadClipboard() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return TTmpFile();
    try {
        if (const char* type = WavTypeOn(data)) {
            const QByteArray bytes = data->data(QLatin1String(type));
            return bytes.isEmpty() ? TTmpFile() : WriteTemporary(bytes);
        }
        const std::string path = ReadableListedFile(data);
        return path.empty() ? TTmpFile() : CopyToTemporary(path);
    } catch (const std::exception&) {
        return TTmpFile();
    }
}

} // namespace NSWaveWin
