#include "shell/recentfiles.h"

#include <QFileInfo>
#include <QSettings>

#include "platform/registry.h"

QString TRecentFiles::StoreFile() {
    QFileInfo settings(QString::fromStdString(NSRegistry::StoreFile()));
    return settings.absolutePath() + QStringLiteral("/brimvale.ini");
}

TRecentFiles::TRecentFiles() {
    QSettings store(StoreFile(), QSettings::IniFormat);
    store.beginGroup(QStringLiteral("Recent File List"));
    for (int i = 1; i <= MaxEntries; ++i) {
        QString file = store.value(QStringLiteral("File%1").arg(i)).toString();
        if (!file.isEmpty() && !Entries.contains(file))
            Entries.append(file);
    }
}

void TRecentFiles::Add(const QString& file) {
    Entries.removeAll(file);
    Entries.prepend(file);
    while (Entries.size() > MaxEntries)
        Entries.removeLast();
}

void TRecentFiles::Save() const {
    QSettings store(StoreFile(), QSettings::IniFormat);
    store.remove(QStringLiteral("Recent File List"));
    store.beginGroup(QStringLiteral("Recent File List"));
    for (int i = 0; i < Entries.size(); ++i)
        store.setValue(QStringLiteral("File%1").arg(i + 1), Entries[i]);
    store.endGroup();
    store.sync();
}
