// The game's one world table, wired in: built at start-up with its outbox beside the replays,
// given the address of the command line or of tarnix.conf, handed to the high-score view and,
// through the hooks, to the settings screen.
#include <QString>

#include <memory>

#include "core/hooks.h"
#include "core/run_options.h"
#include "files/files.h"
#include "files/options.h"
#include "replay/world.h"
#include "replay/world_view.h"
#include "shell/shell.h"

namespace tarnix {

namespace {

std::unique_ptr<WorldTable>& Table() {
  static std::unique_ptr<WorldTable> table;
  return table;
}

QString Address() {
  const std::string& given = RunOptions().WorldTable;
  return QString::fromStdString(given.empty() ? Options().WorldTable : given);
}

}  // namespace

void World_Start() {
  std::unique_ptr<WorldTable>& table = Table();
  WorldView_Attach(nullptr);
  table = std::make_unique<WorldTable>(
      QString::fromStdString(Settings_Folder() + "world-outbox"));
  table->SetAddress(Address());
  WorldView_Attach(table.get());
  Hooks& hooks = Hook();
  // A new address chosen on the settings screen holds from now on, this run's included.
  hooks.WorldAddressChanged = [] {
    if (!Table()) return;
    RunOptions().WorldTable.clear();
    Table()->SetAddress(Address());
    Table()->SendWaiting();
  };
  hooks.DailyChallenge = WorldView_DailyChallenge;
  // Games kept while the world table could not be reached; with no address, nothing.
  table->SendWaiting();
}

void World_Stop() {
  WorldView_Reset();
  Table().reset();
  Hook().WorldAddressChanged = nullptr;
  Hook().DailyChallenge = nullptr;
}

WorldTable* World_Table() { return Table().get(); }

}  // namespace tarnix
