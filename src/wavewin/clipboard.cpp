#include "wavewin/clipboard.h"

#include <sox.h>
#include <strings.h>
#include <sys/stat.h>

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>

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

void WatchClipboard() {
    static const bool watching = [] {
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, [] {
            Known = false;
            TWaveWin::BroadcastState();
        });
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

bool LookAtClipboard() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return false;
    return WavTypeOn(data) || !ReadableListedFile(data).empty();
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

bool ReadSoundHeader(const std::string& fileName, TSoundHeader& header) {
    struct stat info;
    if (stat(fileName.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size == 0)
        return false;
    NSWave::SoxInit();
    NSWave::TSoxMessages quiet;
    // The type by the same rule the loader follows: the suffix when the
    // library knows it, else the content.
    std::string kind = NSWave::TypeFromName(fileName);
    sox_signalinfo_t signal = {};
    if (strcasecmp(kind.c_str(), "snd") == 0) {
        kind = "ub";
        signal.rate = 11025;
    }
    for (char& c : kind)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    const bool detect = kind == "auto" || !sox_find_format(kind.c_str(), sox_false);
    sox_format_t* ft =
        sox_open_read(fileName.c_str(), &signal, nullptr, detect ? nullptr : kind.c_str());
    if (!ft)
        return false;
    header.Rate = int(ft->signal.rate + 0.5);
    header.Channels = std::max(1, int(ft->signal.channels));
    header.Size = NSWave::SizeCodeOf(ft->encoding.bits_per_sample ? ft->encoding.bits_per_sample
                                                                  : ft->signal.precision,
                                     ft->encoding.encoding);
    header.Style = NSWave::StyleCodeOf(ft->encoding.encoding);
    sox_close(ft);
    return header.Rate > 0 && header.Size > 0 && header.Style > 0;
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
    return "The selection is too large for the clipboard: sound is exchanged as a WAV file, "
           "which holds at most 4 GB. Select a shorter range.";
}

namespace {

// "Could not put the sound on the clipboard: No space left on device": the
// reason alone, without the name of the program's own staging file.
[[noreturn]] void ThrowNotOnClipboard(std::string why) {
    for (const char* prefix : {"Could not write file: ", "Could not open file: "})
        if (why.rfind(prefix, 0) == 0)
            why.erase(0, std::strlen(prefix));
    throw xmsg("Could not put the sound on the clipboard: " + why);
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
        ThrowNotOnClipboard("Not enough memory");
    } catch (const xmsg& e) {
        if (e.why().rfind("Could not put the sound on the clipboard: ", 0) == 0)
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
