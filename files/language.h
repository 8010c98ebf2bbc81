// The interface's language. Japanese is the game's own: its texts are the source texts and
// need no catalog. Every other language is a catalog compiled into the executable from
// translations/tarnix_<code>.ts.
#pragma once

#include <QString>
#include <QStringList>

#include <string>

namespace tarnix {

// "ja" first, then the code of every catalog the executable carries ("en", ...).
QStringList Language_Available();

// The language for this run. A non-empty `override` (the command line's choice) wins when it
// names an available language; otherwise the first entry of the desktop's list (most wanted
// first, as QLocale::uiLanguages() gives it) that is available; English when none is.
QString Language_Choose(const QStringList& uiLanguages, const std::string& override);

// Puts the game's catalog and Qt's own (dialog buttons) for `code` in force, replacing the
// ones installed before. Open windows retranslate on the LanguageChange event that follows.
void Language_Install(const QString& code);

// The language installed last; "ja" before any.
QString Language_Current();

}  // namespace tarnix
