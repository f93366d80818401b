#include "util/opstatus.h"

namespace {
TCursorService* CursorService = nullptr;
}

void TCursorService::Install(TCursorService* service) {
    CursorService = service;
}

TCursorService* TCursorService::Current() {
    return CursorService;
}

TTempCursor::TTempCursor() : Service(CursorService) {
    if (Service)
        SavedCursor = Service->ShowWait();
}

TTempCursor::~TTempCursor() {
    if (Service)
        Service->Restore(SavedCursor);
}

TOpStatus::TOpStatus(const std::string& text, const TStatusTarget& target)
    : TextGadget(target.TextGadget), Gauge(target.Gauge), StatusWindow(target.StatusWindow),
      Cancel(target.Cancel) {
    if (Cancel)
        Cancel->Begin();
    if (!text.empty())
        SetText(text, -1);
}

TOpStatus::~TOpStatus() {
    if (Cancel)
        Cancel->End();
    // Called from the destructor, so this is the base class's version, as the
    // derived part is already gone.
    TOpStatus::SetText(std::string(), 0);
}

void TOpStatus::SetText(const std::string& text, int percent) {
    Text = text;
    if (TextGadget) {
        TextGadget->SetText(Text);
        if (StatusWindow)
            StatusWindow->RepaintNow();
    }
    if (percent >= 0)
        SetPercent(percent);
}

void TOpStatus::SetPercent(int percent) {
    Percent = percent;
    // Operations may report per sample: an unchanged value costs one
    // comparison and repaints nothing.
    if (!Gauge || Gauge->Value() == percent)
        return;
    Gauge->SetValue(percent);
    if (StatusWindow)
        StatusWindow->RepaintNow();
}
