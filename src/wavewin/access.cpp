#include "wavewin/access.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <utility>

#include "dlg/percentaccess.h"
#include "wave/timefmt.h"
#include "wavewin/chanwin.h"
#include "wavewin/timeline.h"
#include "wavewin/transport.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

namespace {

double Rate(const TWaveWin& w) {
    return double(std::max(1, w.Document.Rate));
}

QString Seconds(const TWaveWin& w, double samples) {
    return QString::fromStdString(NSWave::FormatSeconds(samples / Rate(w)));
}

bool Playing(const TWaveWin& w) {
    return w.Engine.State() == NSWave::TDeviceState::Playing;
}

// A channel view: a chart of its samples whose value is a position in the
// sound, with its text as a read-only text of its own.
class TChannelAccessible : public QAccessibleWidget,
                           public QAccessibleValueInterface,
                           public QAccessibleTextInterface {
public:
    explicit TChannelAccessible(TChannelWin* view)
        : QAccessibleWidget(view, QAccessible::Chart), View(view) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return ChannelName(*View);
        case QAccessible::Value:
            return ChannelText(*View);
        case QAccessible::Description:
            return QCoreApplication::translate(
                "Access", "The waveform of the channel: click to place the cursor, drag "
                          "to select, Shift+click to select across all channels");
        default:
            return QAccessibleWidget::text(t);
        }
    }

    // --- value: the position in seconds ---
    QVariant currentValue() const override { return ChannelValue(*View); }
    void setCurrentValue(const QVariant& value) override {
        // Moving the value places the cursor there, as a click does.
        TWaveWin& w = *View->Owner;
        if (w.Engine.State() != NSWave::TDeviceState::Idle || !w.Document.HasChannel(View->Channel))
            return;
        const double samples = std::clamp(value.toDouble() * Rate(w), 0.0,
                                          double(w.Document.Channel(View->Channel).Count));
        const uint32_t at = uint32_t(std::llround(samples));
        w.SetSelection(TSampleRange(at, at, View->Channel), true);
        w.AnnounceChanges();
    }
    QVariant maximumValue() const override {
        const TWaveWin& w = *View->Owner;
        return w.Document.HasChannel(View->Channel)
                   ? double(w.Document.Channel(View->Channel).Count) / Rate(w)
                   : 0.0;
    }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return 1.0 / Rate(*View->Owner); }

    // --- text: the value's words, read-only ---
    QString Text() const { return ChannelText(*View); }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override {
        const QString all = Text();
        start = std::clamp(start, 0, int(all.size()));
        end = end < 0 ? int(all.size()) : std::clamp(end, start, int(all.size()));
        return all.mid(start, end - start);
    }
    int characterCount() const override { return int(Text().size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return QString();
    }

private:
    TChannelWin* View;
};

// The time line: a ruler whose text is the span of the sound it shows.
class TTimeLineAccessible : public QAccessibleWidget {
public:
    explicit TTimeLineAccessible(TTimeLine* line)
        : QAccessibleWidget(line, QAccessible::StaticText), Line(line) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return QCoreApplication::translate("Access", "Time line");
        if (t == QAccessible::Value) {
            const TWaveWin& w = Line->Owner();
            const double from = double(w.View().ScrollX) / w.View().Zoom;
            const double to =
                double(w.View().ScrollX + std::max(0, w.View().ViewWidth)) / w.View().Zoom;
            return QCoreApplication::translate("Access", "Seconds %1 to %2 of the sound")
                .arg(Seconds(w, from), Seconds(w, to));
        }
        if (t == QAccessible::Description)
            return QCoreApplication::translate(
                "Access", "Seconds from the start of the sound above the channels");
        return QAccessibleWidget::text(t);
    }

private:
    TTimeLine* Line;
};

// A framed group: a grouping named by its title.
class TGroupAccessible : public QAccessibleWidget {
public:
    explicit TGroupAccessible(TBVGroup* group) : QAccessibleWidget(group, QAccessible::Grouping) {}
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* view = dynamic_cast<TChannelWin*>(object))
        return new TChannelAccessible(view);
    if (auto* line = dynamic_cast<TTimeLine*>(object))
        return new TTimeLineAccessible(line);
    if (auto* meter = dynamic_cast<TRecLevelWin*>(object))
        return new TPercentAccessible(meter,
                                      QCoreApplication::translate("Access", "Recording level"),
                                      [meter] { return meter->Level(); });
    if (auto* group = dynamic_cast<TBVGroup*>(object))
        return new TGroupAccessible(group);
    return nullptr;
}

} // namespace

void InstallAccessibility() {
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
}

QString ChannelName(const TChannelWin& view) {
    return QCoreApplication::translate("Access", "Channel %1 of %2")
        .arg(view.Channel + 1)
        .arg(view.Owner->Document.ChannelCount());
}

QString ChannelText(const TChannelWin& view) {
    const TWaveWin& w = *view.Owner;
    if (Playing(w)) {
        const TSampleRange& played = w.PlayRange();
        return QCoreApplication::translate("Access", "Playing at %1 seconds, from %2 to %3")
            .arg(Seconds(w, double(w.Selected().Start)), Seconds(w, double(played.Start)),
                 Seconds(w, double(played.End)));
    }
    const TSampleRange& s = w.Selected();
    if (!s.Valid)
        return QCoreApplication::translate("Access", "Nothing selected");
    if (s.Channel != AllChannels && s.Channel != view.Channel)
        return QCoreApplication::translate("Access",
                                           "Nothing selected here: the selection is on channel %1")
            .arg(s.Channel + 1);
    if (s.Start == s.End)
        return QCoreApplication::translate("Access", "Cursor at %1 seconds")
            .arg(Seconds(w, double(s.Start)));
    return QCoreApplication::translate("Access", "Selected from %1 to %2 seconds, %3 seconds long")
        .arg(Seconds(w, double(s.Start)), Seconds(w, double(s.End)),
             Seconds(w, double(s.End - s.Start)));
}

double ChannelValue(const TChannelWin& view) {
    const TWaveWin& w = *view.Owner;
    return w.Selected().Valid ? double(w.Selected().Start) / Rate(w) : 0.0;
}

void AnnounceChannel(TChannelWin& view) {
    const QString text = ChannelText(view);
    const double value = ChannelValue(view);
    if (text == view.AnnouncedText && value == view.AnnouncedValue)
        return;
    const QString before = std::exchange(view.AnnouncedText, text);
    const double was = std::exchange(view.AnnouncedValue, value);
    if (!QAccessible::isActive())
        return;
    if (value != was) {
        QAccessibleValueChangeEvent changed(&view, value);
        QAccessible::updateAccessibility(&changed);
    }
    QAccessibleTextUpdateEvent updated(&view, 0, before, text);
    QAccessible::updateAccessibility(&updated);
}

} // namespace NSWaveWin
