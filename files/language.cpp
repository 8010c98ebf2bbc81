#include "files/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace tarnix {

namespace {

const QString kJapanese = QStringLiteral("ja");
const QString kEnglish = QStringLiteral("en");
const QString kCatalogs = QStringLiteral(":/i18n");

struct Installed {
  QTranslator game;
  QTranslator qt;
  QString code = QStringLiteral("ja");
};

Installed& Current() {
  static Installed installed;
  return installed;
}

// "en-US", "en_GB", "ja-Jpan-JP" -> "en", "en", "ja".
QString LanguagePart(const QString& uiLanguage) {
  qsizetype end = 0;
  while (end < uiLanguage.size() && !QStringLiteral("-_.@").contains(uiLanguage[end])) ++end;
  return uiLanguage.left(end).toLower();
}

}  // namespace

QStringList Language_Available() {
  QStringList codes{kJapanese};
  // Matched by hand: a name filter would bring in the regular-expression engine for this
  // alone, half a megabyte held for the whole run.
  const QStringList files = QDir(kCatalogs).entryList(QDir::Files, QDir::Name);
  for (const QString& file : files) {
    if (file.size() > 10 && file.startsWith(QLatin1String("tarnix_")) &&
        file.endsWith(QLatin1String(".qm"))) {
      codes << file.mid(7, file.size() - 7 - 3);
    }
  }
  return codes;
}

QString Language_Choose(const QStringList& uiLanguages, const std::string& override) {
  const QStringList available = Language_Available();
  const QString wanted = QString::fromStdString(override).toLower();
  if (available.contains(wanted)) return wanted;
  for (const QString& entry : uiLanguages) {
    const QString code = LanguagePart(entry);
    if (available.contains(code)) return code;
  }
  return kEnglish;
}

void Language_Install(const QString& code) {
  Installed& now = Current();
  if (!QCoreApplication::instance()) {
    now.code = code;  // nothing to install into yet
    return;
  }
  QCoreApplication::removeTranslator(&now.game);
  QCoreApplication::removeTranslator(&now.qt);
  now.code = code;
  if (code != kJapanese && now.game.load(QStringLiteral("tarnix_") + code, kCatalogs)) {
    QCoreApplication::installTranslator(&now.game);
  }
  // Where the system carries no catalog of Qt's own, its dialog buttons stay in English.
  if (now.qt.load(QStringLiteral("qtbase_") + code,
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(&now.qt);
  }
  // The application posts the change to every window; deliver it now, so that the captions
  // are the new language's as soon as this returns.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
}

QString Language_Current() { return Current().code; }

}  // namespace tarnix
