#include "util/settings.h"

#include <memory>
#include <vector>

#include "platform/registry.h"

namespace {

// The application's key, opened before the program's windows exist.
const TRegDir& AppKey() {
    static const TRegDir key("", NSRegistry::AppRoot, true);
    return key;
}

// Writes the finished text of a stream to one setting's value.
class THook : public TTmpStrHook {
public:
    explicit THook(const std::string& name) : Name(name) {}
    void Put(const char* text) override { TRegDir(AppKey().Key(), Name, false).WriteText(text); }

private:
    std::string Name;
};

} // namespace

TRegDir::TRegDir(const std::string& root, const std::string& path, bool createWholePath) {
    auto join = [](const std::string& a, const std::string& b) {
        return a.empty() ? b : b.empty() ? a : a + '\\' + b;
    };
    if (createWholePath) {
        KeyPath = join(root, path);
    } else {
        size_t slash = path.rfind('\\');
        if (slash == std::string::npos) {
            KeyPath = root;
            Value = path;
        } else {
            KeyPath = join(root, path.substr(0, slash));
            Value = path.substr(slash + 1);
        }
    }
    Opened = NSRegistry::CreateKey(KeyPath);
}

TTmpIStream TRegDir::ReadText(const char* defaultText) const {
    if (Opened) {
        // Most values fit the small buffer; a longer one is read again with
        // the size the store reports.
        char small[98];
        uint32_t type = 0, size = sizeof small;
        long rc = NSRegistry::QueryValue(KeyPath, Value, &type, small, &size);
        if (rc == NSRegistry::Success && type == NSRegistry::TypeString)
            return TTmpIStream(small);
        if (rc == NSRegistry::MoreData) {
            std::vector<char> large(size + 4);
            size = uint32_t(large.size());
            rc = NSRegistry::QueryValue(KeyPath, Value, &type, large.data(), &size);
            if (rc == NSRegistry::Success && type == NSRegistry::TypeString)
                return TTmpIStream(large.data());
        }
    }
    return TTmpIStream(defaultText ? defaultText : "");
}

void TRegDir::WriteText(const std::string& text) const {
    if (Opened)
        NSRegistry::SetValue(KeyPath, Value, text);
}

TTmpIStream TSetting::ReadText() const {
    return TRegDir(AppKey().Key(), Name, false).ReadText();
}

TTmpOStream TSetting::Writer() const {
    return TTmpOStream(new THook(Name));
}

int32_t TValueSetting::Get() {
    return GetNumber(Value, Default);
}

int32_t TValueSetting::Set(int32_t value) {
    return SetNumber(Value, value);
}

double TDoubleSetting::Get() {
    return GetNumber(Value, Default);
}

double TDoubleSetting::Set(double value) {
    return SetNumber(Value, value);
}

namespace {

std::string Stripped(const std::string& text) {
    TTmpIStream in(text);
    in.TrimBlanks();
    return in.Buffer();
}

} // namespace

std::string TStrSetting::Get() {
    if (!Loaded) {
        Loaded = true;
        TTmpIStream in = ReadText();
        in.TrimBlanks();
        Value = in.Buffer();
    }
    return Value.empty() ? Default : Value;
}

std::string TStrSetting::Set(const std::string& value) {
    std::string text = Stripped(value);
    if (Loaded && text == Value)
        return Value;
    Loaded = true;
    Value = text;
    Writer() << Value;
    return Value;
}

std::string TWindowPlacementSetting::Format(const TWindowPlacement& p) {
    TTmpOStream out;
    out << Version << ' ' << p.Flags << ' ' << p.ShowCmd << ' ' << p.MinX << ' ' << p.MinY << ' '
        << p.MaxX << ' ' << p.MaxY << ' ' << p.Left << ' ' << p.Top << ' ' << p.Right << ' '
        << p.Bottom;
    return out.Text();
}

bool TWindowPlacementSetting::Parse(const char* text, TWindowPlacement* placement) {
    TTmpIStream in(text);
    int version = 0;
    TWindowPlacement p;
    if (!(in >> version) || version != Version)
        return false;
    if (!(in >> p.Flags >> p.ShowCmd >> p.MinX >> p.MinY >> p.MaxX >> p.MaxY >> p.Left >> p.Top >>
          p.Right >> p.Bottom))
        return false;
    *placement = p;
    return true;
}

void TWindowPlacementSetting::Save(const TWindowPlacement& placement) {
    Loaded = true;
    Writer() << Format(placement);
}

bool TWindowPlacementSetting::Restore(TWindowPlacement* placement) {
    Loaded = true;
    TTmpIStream in = ReadText();
    return Parse(in.Buffer(), placement);
}
