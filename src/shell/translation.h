#pragma once
// The program in the user's language: its own translation and Qt's, chosen
// from the locale (LANGUAGE, LC_ALL, LC_MESSAGES, LANG). English, the
// language of the source texts, needs no translation.

#include <QString>
#include <QStringList>

// The first of the user's languages (in order of preference) the program has
// a translation for; empty when English comes first or none is there.
QString ChooseTranslation(const QStringList& uiLanguages);

// Installs the translators for the system locale; returns the language
// installed, empty for English. Call once the application object exists.
QString InstallTranslations();

// The same for the languages given, in order of preference ("de-DE").
QString InstallTranslations(const QStringList& uiLanguages);
