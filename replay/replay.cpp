#include "replay/replay.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

#include <algorithm>
#include <memory>

#include "core/doors.h"
#include "core/keys.h"
#include "core/platform.h"
#include "core/version.h"
#include "replay/challenge.h"
#include "replay/demo.h"
#include "replay/library.h"
#include "replay/quiet.h"
#include "replay/snapshot.h"
#include "replay/stats.h"
#include "replay/theatre.h"
#include "replay/watch.h"
#include "replay/world_view.h"
#include "window/form1.h"

namespace tarnix {

namespace {

constexpr Long kWaits[] = {0, 25, 50, 75};

bool InGame() {
  return Module1.GamePhase == kPlaying || Module1.GamePhase == kPaused;
}

// What a door can change in the rules' state; a call that changes none of it (a repeat
// of a held key) changes nothing and is not kept.
struct DoorState {
  std::string flags;
  Long phase = 0;
  Long rise = 0;
  Long wait = 0;
  static DoorState Now() {
    return {Module1.KeyFlags, Module1.GamePhase, Module1.RiseCountdown, Module1.WaitMs};
  }
  bool operator==(const DoorState&) const = default;
};

struct Recorder {
  bool active = false;
  bool starting = false;
  bool cut = false;             // the recording ended at a bound; the game goes on
  std::uint32_t pass = 0;
  std::size_t atThisPass = 0;  // inputs kept since the last pass began
  DoorState before;
  ReplayRecord record;
  int rank = -1;  // the table entry the finished game made, until its name is taken
};

struct Player {
  bool active = false;
  bool watcher = false;
  bool feeding = false;
  Long heldKey = 0;  // the key that started watching, until it is released
  bool demo = false;
  std::shared_ptr<GameSnapshot> title;  // the title a demo returns to
  SoundOutput* sound = nullptr;         // the sound a demo silenced
  ReplayRecord record;
  std::size_t next = 0;
  std::uint32_t pass = 0;
  ReplayOutcome outcome;
  Module1State saved;
  std::optional<std::uint64_t> savedRandom;
};

Recorder rec;
Player play;

std::string Stamp() {
  return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmsszzz")).toStdString();
}

void Recorder_Begin() {
  RandomSource& random = *Platform().random;
  std::optional<std::uint64_t> seed = random.State();
  if (!seed) seed = static_cast<std::uint64_t>(random.Rnd() * 9007199254740992.0);
  random.Randomize(*seed);
  rec = Recorder{};
  rec.starting = true;
  rec.record.game = kGameVersion;
  rec.record.seed = *seed;
  rec.record.wait = Module1.WaitMs;
  rec.record.facing = Module1.Facing;
  rec.record.anim = Module1.AnimFrame;
  rec.record.broken = Module1.BlocksBroken;
  Challenge_GameBegins(rec.record);
}

// Where the recording ends: at the game's end, or where it was cut.
void Recorder_End(ReplayEnding ending) {
  ReplayRecord& r = rec.record;
  r.ending = ending;
  r.passes = rec.pass;
  r.level = Module1.Level;
  r.score = Module1.Score;
  Challenge_GameEnds(r);
}

void Recorder_Add(char code) {
  if (code == 0 || rec.cut) return;
  std::vector<ReplayEvent>& events = rec.record.events;
  rec.atThisPass = !events.empty() && events.back().pass == rec.pass ? rec.atThisPass + 1 : 1;
  if (events.size() >= kReplayMaxEvents || rec.atThisPass > kReplayMaxEventsPerPass) {
    // Beyond what a player's hands can make (a program typing): the game is still kept, as
    // far as this.
    Recorder_End(ReplayEnding::kCut);
    rec.cut = true;
    return;
  }
  events.push_back({rec.pass, code});
}

void Recorder_Finish(ReplayEnding ending) {
  rec.active = false;
  ReplayRecord& r = rec.record;
  if (!rec.cut) Recorder_End(ending);
  r.stamp = Stamp();
  ReplayLibrary_SaveLast(r);
  if (Module1.GamePhase == kNameEntry && Form1 != nullptr) {
    rec.rank = std::atoi(Form1->Text1.Tag.c_str());
    ReplayLibrary_Link(r, rec.rank);
  } else if (Module1.GamePhase == kGameOverView) {
    Watch_OfferLast();
    WorldView_OfferLast();
  }
}

void Player_Feed() {
  // However the file was made, the window gets its events back after so many.
  for (std::size_t fed = 0; fed < kReplayMaxEventsPerPass && play.next < play.record.events.size() &&
                            play.record.events[play.next].pass == play.pass && InGame();
       ++fed) {
    const char code = play.record.events[play.next++].code;
    play.feeding = true;
    if (code == 'T') {
      mnuG1_Click();
    } else if (code >= '0' && code <= '3') {
      void (*waits[])() = {mnuO4_Click, mnuO5_Click, mnuO6_Click, mnuO7_Click};
      waits[code - '0']();
    } else if (code >= 'a') {
      Picture1_KeyUp(Replay_LetterKey(code), 0);
    } else {
      Picture1_KeyDown(Replay_LetterKey(code), 0);
    }
    play.feeding = false;
  }
}

void Wait_Apply(Long waitMs) {
  for (int i = 0; i < 4; ++i) {
    if (kWaits[i] == waitMs) {
      void (*waits[])() = {mnuO4_Click, mnuO5_Click, mnuO6_Click, mnuO7_Click};
      const bool feeding = play.feeding;
      play.feeding = true;
      waits[i]();
      play.feeding = feeding;
    }
  }
}

void Player_Finish(bool reachedEnd, bool quietly = false) {
  ReplayOutcome& o = play.outcome;
  o.ended = reachedEnd;
  o.passes = play.pass;
  o.level = Module1.Level;
  o.score = Module1.Score;
  o.matches = reachedEnd && o.passes == play.record.passes && o.level == play.record.level &&
              o.score == play.record.score;
  play.active = false;
  if (!play.watcher) return;
  if (play.demo) {
    // Replay_Demo puts back what a demo that could not start took.
    if (play.sound != nullptr) Platform().sound = play.sound;
    if (play.title) Snapshot_Restore(*play.title);
    Watch_HideBanner();
    return;
  }
  Theatre_End(reachedEnd && !quietly);
  Module1 = play.saved;
  if (play.savedRandom) Platform().random->Randomize(*play.savedRandom);
  Wait_Apply(Module1.WaitMs);
  if (quietly) return;
  // Its last frame still on the canvas.
  if (reachedEnd && play.record.ending == ReplayEnding::kCut) Watch_SayCut();
  if (Form1 != nullptr && !Form1->Unloaded()) Watch_Leave();
}

void Player_Start(const ReplayRecord& record, bool watcher, bool demo = false) {
  play = Player{};
  play.active = true;
  play.watcher = watcher;
  play.demo = demo;
  play.record = record;
  play.saved = Module1;
  play.savedRandom = Platform().random->State();
  Module1.Facing = record.facing;
  Module1.AnimFrame = record.anim;
  Module1.BlocksBroken = record.broken;
  Wait_Apply(record.wait);
  Platform().random->Randomize(record.seed);
  Rows_Begin(record.rows);
  Module1.GamePhase = kTitle;
  Module1.MenuCursor = 0;
  play.feeding = true;
  Picture1_KeyDown(kEnter, 0);
  play.feeding = false;
  Stats_Begin();
  if (!InGame()) {
    Player_Finish(false);
    return;
  }
  if (watcher && !demo) Theatre_Begin(record);
}

void Replay_BeforePass();
void Replay_AfterPass();
void Replay_NameTaken();

}  // namespace

bool Replay_BeforeDoor(ReplayDoor door, Long code) {
  switch (door) {
    case ReplayDoor::kPass: Replay_BeforePass(); return false;
    case ReplayDoor::kNameBox:
    case ReplayDoor::kWindow: return false;
    default: break;
  }
  if (play.active && play.demo && !play.feeding) {
    // Any key ends the demo and goes no further; a menu's item acts on the title.
    Player_Finish(false);
    return door == ReplayDoor::kKeyDown || door == ReplayDoor::kKeyUp ||
           door == ReplayDoor::kTitleMenu;
  }
  if (play.active) {
    if (play.feeding) return false;
    switch (door) {
      case ReplayDoor::kKeyDown:
      case ReplayDoor::kKeyUp:
        if (code == play.heldKey) {
          if (door == ReplayDoor::kKeyUp) play.heldKey = 0;
          return true;
        }
        if (!play.watcher || !Theatre_Key(door, code)) Player_Finish(false);
        return true;
      case ReplayDoor::kTitleMenu:
        Player_Finish(false);
        return false;
      case ReplayDoor::kWaitMenu:
        // The watcher's choice holds once the replay is over.
        play.saved.WaitMs = kWaits[code & 3];
        return true;
      default: return false;
    }
  }
  if (rec.active) {
    rec.before = DoorState::Now();
    return false;
  }
  Theatre_KeyAfterwards(door);
  if (door == ReplayDoor::kKeyDown && code == kEnter && Module1.GamePhase == kTitle &&
      Module1.MenuCursor == 0) {
    Recorder_Begin();
    return false;
  }
  if (door == ReplayDoor::kKeyDown) return WorldView_Key(code) || Watch_Key(code);
  return false;
}

void Replay_AfterDoor(ReplayDoor door, Long code) {
  Demo_AfterDoor(door);
  switch (door) {
    case ReplayDoor::kPass: Replay_AfterPass(); return;
    case ReplayDoor::kNameBox:
      if (code == kEnter) Replay_NameTaken();
      return;
    case ReplayDoor::kWindow: return;
    default: break;
  }
  if (play.active) return;
  if (rec.starting) {
    rec.starting = false;
    WorldView_HideNote();
    rec.active = InGame();
    if (rec.active) Stats_Begin();
    return;
  }
  if (rec.active) {
    // Keys that reach the doors inside the last pass, once the game is over, are not its.
    if (rec.before.phase != kPlaying && rec.before.phase != kPaused) return;
    if (DoorState::Now() == rec.before && door != ReplayDoor::kTitleMenu) return;
    switch (door) {
      case ReplayDoor::kKeyDown: Recorder_Add(Replay_KeyLetter(code, true)); break;
      case ReplayDoor::kKeyUp: Recorder_Add(Replay_KeyLetter(code, false)); break;
      case ReplayDoor::kWaitMenu: Recorder_Add(static_cast<char>('0' + (code & 3))); break;
      case ReplayDoor::kTitleMenu:
        Recorder_Add('T');
        Recorder_Finish(ReplayEnding::kTitle);
        break;
      default: break;
    }
    return;
  }
  Watch_AfterDoor();
  WorldView_AfterDoor();
}

namespace {

// The finished game's entry has its name now: its replay follows the name.
void Recorder_Relink() {
  if (rec.rank < 0) return;
  rec.record.name = Module1.HiScore[static_cast<std::size_t>(rec.rank)].Name;
  ReplayLibrary_SaveLast(rec.record);
  ReplayLibrary_Link(rec.record, rec.rank);
  rec.rank = -1;
}

void Replay_NameTaken() {
  Recorder_Relink();
  Watch_Enter();
  WorldView_AfterDoor();
}

void Replay_BeforePass() {
  if (rec.active) {
    ++rec.pass;
    Stats_BeforePass(rec.pass);
    return;
  }
  if (!play.active) return;
  if (!InGame()) {
    Player_Finish(false);
    return;
  }
  Player_Feed();
  if (play.pass == play.record.passes) {
    Player_Finish(play.record.ending != ReplayEnding::kGameOver &&
                  play.next == play.record.events.size());
    return;
  }
  ++play.pass;
  Stats_BeforePass(play.pass);
}

void Replay_AfterPass() {
  if (rec.active || play.active) Stats_AfterPass();
  if (rec.active) Challenge_AfterPass(rec.pass);
  if (rec.active && !InGame()) {
    Recorder_Finish(ReplayEnding::kGameOver);
    return;
  }
  if (!play.active) return;
  if (!InGame()) {
    Player_Finish(play.record.ending == ReplayEnding::kGameOver &&
                  play.next == play.record.events.size());
  } else if (play.watcher) {
    Theatre_AfterPass();
  }
}

}  // namespace

int Replay_PassesThisTurn() {
  return play.active && play.watcher ? Theatre_PassesThisTurn() : 1;
}

ReplayCursor Replay_Cursor() { return {play.pass, play.next}; }

void Replay_SetCursor(ReplayCursor cursor) {
  play.pass = cursor.pass;
  play.next = std::min(cursor.next, play.record.events.size());
}

bool Replay_Paused() { return play.active && play.watcher && Theatre_Paused(); }

void Replay_Unload(bool quietly) {
  if (play.active) Player_Finish(false, quietly);
  if (rec.active) Recorder_Finish(ReplayEnding::kQuit);
  Recorder_Relink();
}

void Replay_Reset() {
  rec = Recorder{};
  play = Player{};
  Watch_Reset();
  Theatre_Reset();
  Demo_Reset();
  Challenge_Reset();
}

const ReplayRecord& Replay_Recording() { return rec.record; }
bool Replay_IsRecording() { return rec.active; }
bool Replay_IsPlaying() { return play.active; }

void Replay_Watch(const ReplayRecord& record, const std::string& title, bool byKey) {
  Watch_ShowPlaying(title);
  Player_Start(record, /*watcher=*/true);
  play.heldKey = byKey ? kKeyZ : 0;
}

void Replay_Demo(const ReplayRecord& record) {
  auto title = std::make_shared<GameSnapshot>(Snapshot_Take());
  static Silence silence;
  SoundOutput* sound = Platform().sound;
  Platform().sound = &silence;
  Watch_ShowPlaying("");
  Watch_ShowDemo();
  Player_Start(record, /*watcher=*/true, /*demo=*/true);
  if (!play.active) {
    Platform().sound = sound;
    Snapshot_Restore(*title);
    Watch_HideBanner();
    return;
  }
  play.title = std::move(title);
  play.sound = sound;
}

bool Replay_IsDemo() { return play.active && play.demo; }

ReplayOutcome Replay_Run(const ReplayRecord& record, const std::function<void()>& afterPass) {
  Player_Start(record, /*watcher=*/false);
  while (play.active) {
    // While the game stands paused a pass changes nothing; go straight to the next event.
    if (Module1.GamePhase == kPaused) {
      const std::uint32_t target = play.next < play.record.events.size()
                                       ? play.record.events[play.next].pass
                                       : play.record.passes;
      for (; play.pass < target; ++play.pass) {
        if (afterPass) afterPass();
      }
    }
    const std::uint32_t before = play.pass;
    Main_Prog();
    if (afterPass && play.pass != before) afterPass();
  }
  return play.outcome;
}

ReplayOutcome Replay_RunAside(const ReplayRecord& record, const std::function<void()>& afterPass) {
  const Player saved = play;
  const GameSnapshot game = Snapshot_Take();
  const GameStats stats = Stats_Current();
  const ReplayOutcome out = Replay_Run(record, afterPass);
  play = saved;
  Snapshot_Restore(game);
  if (play.active) Stats_Restore(stats, play.pass);
  return out;
}

std::string Replay_ErrorText(const ReplayReadResult& r) {
  auto message = [](const char* text) { return QCoreApplication::translate("Messages", text); };
  QString text;
  switch (r.error) {
    case ReplayError::kNone: return {};
    case ReplayError::kNotReplay: text = message(QT_TRANSLATE_NOOP("Messages", "リプレイファイルではありません。")); break;
    case ReplayError::kFormatVersion:
      text = message(QT_TRANSLATE_NOOP("Messages", "このリプレイファイルは形式 %1 で書かれています。このゲームが読めるのは形式 %2 だけです。"))
                 .arg(r.version)
                 .arg(QStringLiteral("%1, %2").arg(kReplayFormatVersion).arg(kReplayChallengeFormatVersion));
      break;
    case ReplayError::kRulesVersion:
      text = message(QT_TRANSLATE_NOOP("Messages", "このリプレイはルール %1 で記録されています。このゲームのルールは %2 なので、再生も検証もできません。"))
                 .arg(r.version)
                 .arg(kRulesVersion);
      break;
    case ReplayError::kDamaged:
      text = message(QT_TRANSLATE_NOOP("Messages", "リプレイファイルが壊れています（途中で切れているか、書き換えられています）。"));
      break;
    case ReplayError::kTooLarge: text = message(QT_TRANSLATE_NOOP("Messages", "リプレイファイルが大きすぎます。")); break;
    case ReplayError::kCrowded:
      text = message(QT_TRANSLATE_NOOP("Messages", "リプレイファイルに、ゲームでは起こりえない数（1 パスに %1 を超える）の入力があります。"))
                 .arg(kReplayMaxEventsPerPass);
      break;
    case ReplayError::kUnreadable: text = message(QT_TRANSLATE_NOOP("Messages", "リプレイファイルを読めません。")); break;
  }
  if (!r.detail.empty()) text += QStringLiteral("\n(") + QString::fromStdString(r.detail) + u')';
  return text.toStdString();
}

bool Replay_WatchFile(const std::string& path) {
  const ReplayReadResult r = ReplayLibrary_Read(path);
  if (!r.record) {
    Platform().messages->Show(path + "\n" + Replay_ErrorText(r), MessageIcon::kCritical);
    return false;
  }
  Replay_Watch(*r.record, r.record->name.empty()
                              ? QFileInfo(QString::fromStdString(path)).fileName().toStdString()
                              : r.record->name,
               /*byKey=*/false);
  return true;
}

}  // namespace tarnix
