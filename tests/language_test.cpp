// The interface in the player's language: Japanese as the game wrote it, English from the
// catalog, chosen by the desktop or for one run by --lang.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeySequence>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QXmlStreamReader>

#include <map>
#include <set>
#include <utility>

#include "files/files.h"
#include "files/settings_format.h"
#include "scores/scores.h"
#include "shell/command_line.h"
#include "files/language.h"
#include "core/platform.h"
#include "shell/shell.h"
#include "support/fixture.h"
#include "support/settings_files.h"

namespace tarnix::testing {
namespace {

TEST(LanguageChoice, FollowsTheDesktopsOrderUnlessTheCommandLineChooses) {
  ASSERT_TRUE(Language_Available().contains(QStringLiteral("en")))
      << "the English catalog is compiled into the executable";
  struct Case {
    QStringList desktop;
    std::string override;
    const char* expected;
    const char* why;
  };
  const Case cases[] = {
      {{"ja-JP", "ja-Jpan-JP", "ja"}, "", "ja", "a Japanese desktop"},
      {{"ja", "ja-Jpan-JP", "ja-JP", "en"}, "", "ja", "Japanese before English"},
      {{"en-GB", "en", "ja-JP"}, "", "en", "English before Japanese"},
      {{"de-DE", "de", "ja", "en"}, "", "ja", "Japanese is the first the game speaks"},
      {{"de-DE", "fr-FR"}, "", "en", "none the game speaks: English"},
      {{"C"}, "", "en", "the C locale"},
      {{}, "", "en", "an empty list"},
      {{"ja_JP.UTF-8"}, "", "ja", "a locale name rather than a tag"},
      {{"ja-JP"}, "en", "en", "--lang en on a Japanese desktop"},
      {{"en-US"}, "ja", "ja", "--lang ja on an English desktop"},
      {{"ja-JP"}, "xx", "ja", "a language the game lacks leaves the desktop's choice"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Language_Choose(c.desktop, c.override), QString::fromLatin1(c.expected)) << c.why;
  }
}

TEST(LanguageChoice, LangOnTheCommandLineChoosesForTheRunAndItsHelp) {
  const auto help = [](const char* lang) {
    ::testing::internal::CaptureStdout();
    const std::optional<int> status =
        CommandLine_Parse({"tarnix", "--lang", lang, "--help"});
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(status, std::optional<int>(0));
    EXPECT_EQ(RunOptions().Lang, lang);
    EXPECT_EQ(Language_Current(), QString::fromLatin1(lang));
    return out;
  };
  EXPECT_NE(help("en").find("Show this help and quit."), std::string::npos);
  EXPECT_NE(help("ja").find("このヘルプを表示して終了します。"), std::string::npos);

  EXPECT_EQ(CommandLine_Parse({"tarnix", "--lang", "EN"}), std::nullopt);
  EXPECT_EQ(RunOptions().Lang, "en");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(CommandLine_Parse({"tarnix", "--lang", "xx"}), std::optional<int>(2))
      << "a language the game lacks is refused, not ignored";
  const std::string error = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(error.find("ja, en"), std::string::npos) << error;
  Language_Install(QStringLiteral("ja"));
}

struct CatalogEntry {
  QString context;
  QString source;
  QString translation;
  QString type;  // "unfinished", "vanished", "obsolete" or empty when done
};

std::vector<CatalogEntry> ReadCatalog(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  std::vector<CatalogEntry> entries;
  QXmlStreamReader xml(&file);
  QString context;
  CatalogEntry entry;
  while (xml.readNext() != QXmlStreamReader::EndDocument && !xml.hasError()) {
    if (xml.isStartElement()) {
      if (xml.name() == u"name") {
        context = xml.readElementText();
      } else if (xml.name() == u"message") {
        entry = CatalogEntry{context, {}, {}, {}};
      } else if (xml.name() == u"source") {
        entry.source = xml.readElementText();
      } else if (xml.name() == u"translation") {
        entry.type = xml.attributes().value(QStringLiteral("type")).toString();
        entry.translation = xml.readElementText();
      }
    } else if (xml.isEndElement() && xml.name() == u"message") {
      entries.push_back(entry);
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return entries;
}

// lupdate reads the code again and merges what it finds into a copy of a catalog: a text the
// code gained comes back unfinished, one it lost goes away. Every committed catalog must come
// out unchanged and finished, and the catalog built into the game must say the same.
void ExpectCatalogComplete(const QString& name) {
  SCOPED_TRACE(name.toStdString());
  const QString committed = QStringLiteral(TARNIX_SOURCE_DIR "/translations/") + name;
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString merged = dir.filePath(name);
  ASSERT_TRUE(QFile::copy(committed, merged));
  QFile::setPermissions(merged, QFile::ReadOwner | QFile::WriteOwner);
  QProcess lupdate;
  lupdate.start(QStringLiteral(TARNIX_LUPDATE),
                {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                 QStringLiteral("-source-language"), QStringLiteral("ja"),
                 QStringLiteral("-no-obsolete"),
                 QStringLiteral("@" TARNIX_TRANSLATED_SOURCES), QStringLiteral("-ts"), merged});
  ASSERT_TRUE(lupdate.waitForFinished(60000)) << "lupdate is installed by scripts/setup.sh";
  ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();

  const std::vector<CatalogEntry> expected = ReadCatalog(committed);
  const std::vector<CatalogEntry> found = ReadCatalog(merged);
  std::set<std::pair<QString, QString>> inCatalog;
  for (const CatalogEntry& e : expected) inCatalog.emplace(e.context, e.source);
  std::set<std::pair<QString, QString>> inCode;
  for (const CatalogEntry& e : found) {
    inCode.emplace(e.context, e.source);
    EXPECT_TRUE(e.type.isEmpty() && !e.translation.isEmpty())
        << e.context.toStdString() << " \"" << e.source.toStdString()
        << "\" has no finished translation";
    EXPECT_TRUE(inCatalog.count({e.context, e.source}))
        << e.context.toStdString() << " \"" << e.source.toStdString()
        << "\" is in the code but missing from the catalog";
  }
  for (const auto& [context, source] : inCatalog) {
    EXPECT_TRUE(inCode.count({context, source}))
        << context.toStdString() << " \"" << source.toStdString()
        << "\" is in the catalog but no longer in the code";
  }
  EXPECT_GE(inCode.size(), 19u) << "lupdate found the game's texts";

  QTranslator built;
  const QString compiled = QStringLiteral(":/i18n/") + QFileInfo(name).completeBaseName();
  ASSERT_TRUE(built.load(compiled + QStringLiteral(".qm")))
      << "every catalog is compiled into the executable";
  const QRegularExpression accessKey(QStringLiteral("&[^&]"));
  for (const CatalogEntry& e : expected) {
    const QByteArray context = e.context.toUtf8();
    const QByteArray source = e.source.toUtf8();
    EXPECT_EQ(built.translate(context.constData(), source.constData()), e.translation)
        << "the catalog in the executable is the one in the repository";
    EXPECT_EQ(e.translation.count(accessKey), e.source.contains(accessKey) ? 1 : 0)
        << e.translation.toStdString() << ": a menu caption has one access key of its own";
  }
}

TEST(Catalogs, EachHasAFinishedEntryForEveryTextInTheCode) {
  const QStringList names = QDir(QStringLiteral(TARNIX_SOURCE_DIR "/translations"))
                                .entryList({QStringLiteral("tarnix_*.ts")}, QDir::Files);
  ASSERT_TRUE(names.contains(QStringLiteral("tarnix_en.ts")));
  for (const QString& name : names) ExpectCatalogComplete(name);
}

// Under LANGUAGE=en and LANGUAGE=ja, as a desktop session sets it (CTest runs these twice).
class DesktopLanguage : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    lang_ = qEnvironmentVariable("LANGUAGE");
    if (lang_ != u"en" && lang_ != u"ja") GTEST_SKIP() << "run with LANGUAGE=en or LANGUAGE=ja";
    Language_Install(Language_Choose(QLocale::system().uiLanguages(), std::string()));
  }
  void TearDown() override {
    Language_Install(QStringLiteral("ja"));
    GameTest::TearDown();
  }
  bool English() const { return lang_ == u"en"; }
  const char* Pick(const char* ja, const char* en) const { return English() ? en : ja; }

  QString lang_;
};

struct MenuCaption {
  MenuItem Form1Window::*item;
  const char* ja;
  const char* en;
  char jaKey;
  char enKey;
};

const MenuCaption kMenuCaptions[] = {
    {&Form1Window::mnuG0, "ゲーム(&G)", "&Game", 'G', 'G'},
    {&Form1Window::mnuG1, "タイトルへ戻る(&T)", "Back to &Title", 'T', 'T'},
    {&Form1Window::mnuG3, "タールニックスの終了(&X)", "&Quit Tarnix", 'X', 'Q'},
    {&Form1Window::mnuO0, "オプション(&O)", "&Options", 'O', 'O'},
    {&Form1Window::mnuO1, "効果音(&S)", "&Sound Effects", 'S', 'S'},
    {&Form1Window::mnuO3, "ウエイト(&W)", "S&peed", 'W', 'P'},
    {&Form1Window::mnuO4, "なし(&1)", "&1 Fastest", '1', '1'},
    {&Form1Window::mnuO5, "軽い(&2)", "&2 Fast", '2', '2'},
    {&Form1Window::mnuO6, "普通(&3)", "&3 Normal", '3', '3'},
    {&Form1Window::mnuO7, "重い(&4)", "&4 Slow", '4', '4'},
    {&Form1Window::mnuH0, "ヘルプ(&H)", "&Help", 'H', 'H'},
    {&Form1Window::mnuH1, "Ｒｅａｄｍｅ参照(&R)", "View &Readme", 'R', 'R'},
};

// Every menu reachable from the bar, the bar itself first.
void CollectMenus(const QWidget* menu, std::vector<const QWidget*>& menus) {
  menus.push_back(menu);
  for (const QAction* action : menu->actions()) {
    if (action->menu()) CollectMenus(action->menu(), menus);
  }
}

void ExpectMenusInLanguage(Form1Window& f, bool english) {
  for (const MenuCaption& c : kMenuCaptions) {
    const MenuItem& item = f.*c.item;
    EXPECT_EQ(item.Caption(), english ? c.en : c.ja);
    EXPECT_EQ(QKeySequence::mnemonic(item.Action()->text()),
              QKeySequence(Qt::ALT | Qt::Key(english ? c.enKey : c.jaKey)))
        << item.Caption();
  }
  EXPECT_EQ(f.windowTitle(), QString::fromUtf8(english ? "Tarnix" : "タールニックス"));
  std::vector<const QWidget*> menus;
  CollectMenus(f.menuBar(), menus);
  EXPECT_GE(menus.size(), 5u);
  for (const QWidget* menu : menus) {
    std::set<int> keys;
    for (const QAction* action : menu->actions()) {
      if (action->isSeparator()) continue;
      const QKeySequence key = QKeySequence::mnemonic(action->text());
      if (key.isEmpty()) continue;
      EXPECT_TRUE(keys.insert(key[0].toCombined()).second)
          << action->text().toStdString() << ": its access key is taken in the same menu";
    }
  }
}

TEST_F(DesktopLanguage, MenuCaptionsAccessKeysAndTitle) {
  ExpectMenusInLanguage(form(), English());
  // main() installs the language before it builds the window: the same captions from the start.
  Form1Window fresh;
  ExpectMenusInLanguage(fresh, English());
}

TEST_F(DesktopLanguage, MessageBoxesInTheBoxAndOnItsButtons) {
  launcher.available = false;
  mnuH1_Click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].first,
            Pick("メモ帳が見つからないため参照できません。",
                 "The readme cannot be shown: no program to open text files was found."));

  // The real box: the game's title, and Qt's own buttons from Qt's catalog.
  QString title;
  QString ok;
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(w);
      if (!box || !box->isVisible()) continue;
      title = box->windowTitle();
      ok = box->button(QMessageBox::Ok)->text();
      box->button(QMessageBox::Ok)->click();
    }
  });
  RealMessageBoxes().Show(messages.shown[0].first, MessageIcon::kNone);
  EXPECT_EQ(title, QString::fromUtf8(Pick("タールニックス", "Tarnix")));
  EXPECT_EQ(ok, QStringLiteral("OK"));
  QMessageBox both(QMessageBox::NoIcon, title, title, QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(both.button(QMessageBox::Cancel)->text(),
            QString::fromUtf8(Pick("キャンセル", "Cancel")))
      << "Qt's dialog buttons speak the game's language (package qt6-translations-l10n)";
}

TEST_F(DesktopLanguage, NameEntryAndTableMessages) {
  StartPlaying();
  Module1.Score = 500;
  for (int k = 0; k < 11; ++k) Put(0, k, '1');
  std::string row = "000" + std::string(11, '1');
  Game_Over(row);
  ASSERT_EQ(Module1.GamePhase, kNameEntry);
  EXPECT_EQ(form().Label3[15].Caption(), Pick("Please your name", "Enter your name"));
  EXPECT_EQ(form().Label4[15].Caption(), form().Label3[15].Caption());
  const QFontMetrics metrics(form().Label3[15].font());
  EXPECT_LE(metrics.horizontalAdvance(form().Label3[15].text()), form().Label3[15].width())
      << "the prompt fits its line";
  EXPECT_EQ(form().Label2[0].Caption(), "Game Over") << "the banner is the game's lettering";

  Text1_KeyDown(13, 0);
  EXPECT_EQ(form().Label3[15].Caption(), Pick("Push Enter Key", "Press Enter"));
  EXPECT_EQ(form().Label4[15].Caption(), form().Label3[15].Caption());

  Picture1_KeyDown(13, 0);
  ASSERT_EQ(Module1.GamePhase, kTitle);
  Module1.MenuCursor = 1;
  Picture1_KeyDown(13, 0);
  ASSERT_EQ(Module1.GamePhase, kScoreView);
  EXPECT_EQ(form().Label3[15].Caption(), Pick("Push Enter Key", "Press Enter"))
      << "the table opened from the title says the same";
}

// Tarnix.ini is a file format, not interface: its Japanese header and its lines stay.
TEST_F(DesktopLanguage, SettingsFileIsTheSameInEveryLanguage) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  Module1.AppPath = dir.path().toStdString() + "/";
  settings_format::SettingsHooks().now = [] {
    return QDateTime(QDate(2026, 12, 7), QTime(11, 0));
  };
  Module1.HiScore[0] = HiScoreEntry{"ゆう", 3, "1200"};
  form().mnuO6.SetChecked(true);
  ASSERT_TRUE(Settings_Save());
  const QString file = QString::fromStdString(Settings_Folder()) + QStringLiteral("Tarnix.ini");
  const std::string written = ReadAll(file);
  Language_Install(QStringLiteral("ja"));
  ASSERT_TRUE(Settings_Save());
  EXPECT_EQ(ReadAll(file), written);
  EXPECT_EQ(written.rfind("\"\x83^\x81[\x83\x8b\x83j\x83" "b\x83N\x83X Ver", 0), 0u)
      << "the header starts with the title in code page 932";
  settings_format::SettingsHooks() = {};
}

}  // namespace
}  // namespace tarnix::testing
