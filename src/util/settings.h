#pragma once
// Values the program remembers between runs. Each is a static setting object
// declared next to the code that uses it, bound to a name below the
// application's settings key ("View\BackColor" is the value BackColor of the
// sub-key View). A setting reads its value the first time it is asked for,
// keeps it, and writes a changed value back at once. Values are stored as
// text; a missing or unreadable value reads as the default.

#include <cstdint>
#include <string>

#include "util/tmpstream.h"

// An open settings key, and the value name left over from a path.
class TRegDir {
public:
    // With createWholePath the key root\path is opened or created. Otherwise
    // the part of path before its last backslash is the key (below root) and
    // the part after it the value name.
    TRegDir(const std::string& root, const std::string& path, bool createWholePath);

    // The value's text, or `defaultText` when it is missing or unreadable.
    TTmpIStream ReadText(const char* defaultText = "") const;
    // Failures are silent: the value then stays as it was.
    void WriteText(const std::string& text) const;

    const std::string& Key() const { return KeyPath; }
    const std::string& ValueName() const { return Value; }

private:
    std::string KeyPath;
    std::string Value;
    bool Opened;
};

class TSetting {
public:
    explicit TSetting(const char* name) : Name(name) {}
    const std::string& GetName() const { return Name; }
    // Forgets the cached value, so the next get reads the store again.
    void Unload() { Loaded = false; }

protected:
    TTmpIStream ReadText() const;
    // A stream whose text is written to the setting's value when it ends.
    TTmpOStream Writer() const;

    // The numeric settings: read once, falling back to the default when the
    // stored text is not a number; written only when the value changes.
    template <class T> T GetNumber(T& value, T defaultValue) {
        if (!Loaded) {
            Loaded = true;
            TTmpIStream in = ReadText();
            if (!(in >> value))
                value = defaultValue;
        }
        return value;
    }
    template <class T> T SetNumber(T& value, T newValue) {
        if (Loaded && newValue == value)
            return value;
        Loaded = true;
        value = newValue;
        Writer() << value;
        return value;
    }

    std::string Name;
    bool Loaded = false;
};

class TValueSetting : public TSetting {
public:
    TValueSetting(const char* name, int32_t defaultValue) : TSetting(name), Default(defaultValue) {}
    int32_t Get();
    int32_t Set(int32_t value);
    operator int32_t() { return Get(); }

private:
    int32_t Value = 0;
    int32_t Default;
};

class TDoubleSetting : public TSetting {
public:
    TDoubleSetting(const char* name, double defaultValue) : TSetting(name), Default(defaultValue) {}
    double Get();
    double Set(double value);
    operator double() { return Get(); }

private:
    double Value = 0;
    double Default;
};

class TStrSetting : public TSetting {
public:
    TStrSetting(const char* name, std::string defaultValue = std::string())
        : TSetting(name), Default(std::move(defaultValue)) {}
    // The default whenever the stored text is empty.
    std::string Get();
    // Blanks at both ends are stripped first.
    std::string Set(const std::string& value);

private:
    std::string Value;
    std::string Default;
};

// A window's placement: its flags, show command, positions when minimised
// and maximised, and its normal rectangle.
struct TWindowPlacement {
    int Flags = 0;
    int ShowCmd = 0;
    int MinX = 0, MinY = 0;
    int MaxX = 0, MaxY = 0;
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TWindowPlacement&) const = default;
};

// Stored as eleven integers separated by single blanks, version 1 first.
class TWindowPlacementSetting : public TSetting {
public:
    static constexpr int Version = 1;
    static constexpr int ShowMaximized = 3;

    explicit TWindowPlacementSetting(const char* name) : TSetting(name) {}
    void Save(const TWindowPlacement& placement);
    // False when nothing usable is stored (no text, missing numbers, another
    // version): the window then starts maximised.
    bool Restore(TWindowPlacement* placement);

    static std::string Format(const TWindowPlacement& placement);
    static bool Parse(const char* text, TWindowPlacement* placement);
};
