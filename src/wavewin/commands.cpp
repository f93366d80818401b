#include "wavewin/commands.h"

#include <QCoreApplication>
#include <algorithm>

namespace NSWaveWin {

namespace {

// The rows as they are declared, before the first look-up sorts them.
QList<TCommandInfo>& Rows() {
    static QList<TCommandInfo> rows;
    return rows;
}

bool Sorted = false;

// Rows of one place in their order, a null entry between two groups.
template <class TOrder> QList<const TCommandInfo*> Ordered(TOrder order, bool separators) {
    QList<const TCommandInfo*> rows;
    for (const TCommandInfo& c : Commands())
        if (order(c) >= 0)
            rows.append(&c);
    std::stable_sort(rows.begin(), rows.end(), [&](const TCommandInfo* a, const TCommandInfo* b) {
        return order(*a) < order(*b);
    });
    if (!separators)
        return rows;
    QList<const TCommandInfo*> items;
    for (const TCommandInfo* c : rows) {
        if (!items.isEmpty() && order(*items.back()) / 100 != order(*c) / 100)
            items.append(nullptr);
        items.append(c);
    }
    return items;
}

} // namespace

TCommandInfo TRow(int id) {
    TCommandInfo info;
    info.Id = id;
    return info;
}

TCommandInfo& TCommandInfo::Item(TMenu menu, int order, const char* text) {
    Menu = {menu, order};
    MenuText = text;
    return *this;
}

TCommandInfo& TCommandInfo::Shortcuts(QList<QKeySequence> keys) {
    Keys = std::move(keys);
    return *this;
}

TCommandInfo& TCommandInfo::Picture(int glyph) {
    Glyph = glyph;
    return *this;
}

TCommandInfo& TCommandInfo::Popup(int order, const char* text) {
    Context = {order, text};
    return *this;
}

TCommandInfo& TCommandInfo::Button(TToolBar bar, int order, int glyph, const char* caption) {
    Tool = {bar, order, glyph, caption};
    return *this;
}

TCommandInfo& TCommandInfo::WindowKey(int key) {
    OwnKey = key;
    return *this;
}

TCommandInfo& TCommandInfo::When(TStateTest enabled) {
    Enabled = std::move(enabled);
    return *this;
}

TCommandInfo& TCommandInfo::Idle() {
    WhileIdle = true;
    return *this;
}

TCommandInfo& TCommandInfo::Viewing() {
    WhileLoading = true;
    return *this;
}

TCommandInfo& TCommandInfo::CheckedWhen(TStateTest checked) {
    Checked = std::move(checked);
    return *this;
}

TCommandInfo& TCommandInfo::ShownWhen(TStateTest shown) {
    Shown = std::move(shown);
    return *this;
}

TCommandInfo& TCommandInfo::TextWhen(std::function<QString(const TCommandState&)> text) {
    TextFor = std::move(text);
    return *this;
}

TCommandInfo& TCommandInfo::Does(std::function<void(TWaveWin&)> run) {
    Run = std::move(run);
    return *this;
}

TCommandRow::TCommandRow(TCommandInfo info) {
    Rows().append(std::move(info));
    Sorted = false;
}

const QList<TCommandInfo>& Commands() {
    QList<TCommandInfo>& rows = Rows();
    if (!Sorted) {
        std::stable_sort(rows.begin(), rows.end(),
                         [](const TCommandInfo& a, const TCommandInfo& b) { return a.Id < b.Id; });
        Sorted = true;
    }
    return rows;
}

const TCommandInfo* FindCommand(int id) {
    const QList<TCommandInfo>& rows = Commands();
    auto it = std::lower_bound(rows.begin(), rows.end(), id,
                               [](const TCommandInfo& c, int v) { return c.Id < v; });
    return it != rows.end() && it->Id == id ? &*it : nullptr;
}

QList<const TCommandInfo*> MenuItems(TMenu menu) {
    return Ordered(
        [menu](const TCommandInfo& c) {
            return c.Menu.Menu == menu && c.MenuText ? c.Menu.Order : -1;
        },
        true);
}

QList<const TCommandInfo*> ContextItems() {
    return Ordered([](const TCommandInfo& c) { return c.Context.Order; }, false);
}

QList<const TCommandInfo*> ToolButtons(TToolBar bar) {
    return Ordered([bar](const TCommandInfo& c) { return c.Tool.Bar == bar ? c.Tool.Order : -1; },
                   false);
}

QString ItemText(const TCommandInfo& info, const TCommandState& state) {
    if (info.TextFor)
        if (const QString text = info.TextFor(state); !text.isNull())
            return text;
    return CommandText(info.MenuText);
}

QString CommandText(const char* text) {
    return text ? QCoreApplication::translate("Commands", text) : QString();
}

bool IsDocumentCommand(int id) {
    const TCommandInfo* info = FindCommand(id);
    return !info || bool(info->Run);
}

bool CommandEnabled(int id, const TCommandState& s) {
    const TCommandInfo* info = FindCommand(id);
    // Not decided by the document window (the main frame's commands):
    // always available.
    if (!info || !info->Run)
        return true;
    if (info->WhileIdle && s.Device != NSWave::TDeviceState::Idle)
        return false;
    if (s.Loading && !info->WhileLoading)
        return false;
    return !info->Enabled || info->Enabled(s);
}

bool CommandChecked(int id, const TCommandState& s) {
    const TCommandInfo* info = FindCommand(id);
    return info && info->Checked && info->Checked(s);
}

bool CommandShown(int id, const TCommandState& s) {
    const TCommandInfo* info = FindCommand(id);
    return !info || !info->Shown || info->Shown(s);
}

bool RangeSelected(const TCommandState& s) {
    return s.Selection.Valid && s.Selection.Start < s.Selection.End;
}

bool SoundHolds(const TCommandState& s) {
    return s.Length > 0;
}

} // namespace NSWaveWin
