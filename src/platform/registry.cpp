#include "platform/registry.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QString>

#include <cstdlib>
#include <cstring>

namespace NSRegistry {

namespace {

// The section path inside the store for a key path, or false when the key
// lies outside the application's key.
bool SectionOf(const std::string& keyPath, QString* section) {
    const std::string root = AppRoot;
    if (keyPath.size() < root.size() || keyPath.compare(0, root.size(), root) != 0)
        return false;
    std::string rest = keyPath.substr(root.size());
    if (!rest.empty() && rest[0] != '\\')
        return false;
    QString s = QString::fromStdString(rest).replace('\\', '/');
    while (s.startsWith('/'))
        s.remove(0, 1);
    *section = s;
    return true;
}

QString EntryOf(const QString& section, const std::string& valueName) {
    QString name = QString::fromStdString(valueName).replace('\\', '/');
    return section.isEmpty() ? name : section + '/' + name;
}

} // namespace

std::string StoreFile() {
    if (const char* dir = std::getenv("BRIMVALE_CONFIG_DIR"); dir && *dir)
        return std::string(dir) + "/1.0.ini";
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.config";
    else
        base = ".config";
    return base + "/Hollin/brimvale/1.0.ini";
}

bool CreateKey(const std::string& keyPath) {
    // Sections come into being with their first value.
    QString section;
    return SectionOf(keyPath, &section);
}

long QueryValue(const std::string& keyPath, const std::string& valueName, uint32_t* type,
                char* buffer, uint32_t* size) {
    QString section;
    if (!SectionOf(keyPath, &section))
        return NotFound;
    QSettings store(QString::fromStdString(StoreFile()), QSettings::IniFormat);
    QVariant value = store.value(EntryOf(section, valueName));
    if (!value.isValid())
        return NotFound;
    QByteArray text = value.toString().toUtf8();
    uint32_t needed = uint32_t(text.size()) + 1;
    if (type)
        *type = TypeString;
    if (!buffer || *size < needed) {
        *size = needed;
        return buffer ? MoreData : Success;
    }
    std::memcpy(buffer, text.constData(), needed);
    *size = needed;
    return Success;
}

bool SetValue(const std::string& keyPath, const std::string& valueName, const std::string& text) {
    QString section;
    if (!SectionOf(keyPath, &section))
        return false;
    QString file = QString::fromStdString(StoreFile());
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSettings store(file, QSettings::IniFormat);
    store.setValue(EntryOf(section, valueName), QString::fromStdString(text));
    // Written through a temporary file renamed over the old one, so a crash
    // leaves either the old or the new store, never half of one.
    store.sync();
    return store.status() == QSettings::NoError;
}

} // namespace NSRegistry
