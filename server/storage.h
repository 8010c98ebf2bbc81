// The board's database: SQLite in a file (WAL) or PostgreSQL by URL, one schema for both,
// created and upgraded by numbered migrations. Every statement is prepared.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "server/submission.h"

class QSqlDatabase;

namespace tarnix::board {

struct Entry {
  std::int64_t id = 0;
  std::string name;
  std::int32_t score = 0;
  std::int32_t level = 0;
  std::uint32_t passes = 0;
  std::string seed;      // 16 hex digits
  std::string accepted;  // UTC, ISO 8601, when the board accepted it
  std::string day;       // the daily challenge it was played for, empty for none
  int rank = 0;          // on the all-time board
  int dayRank = 0;       // on its day's board, 0 for none
};

struct Daily {
  std::string day;  // YYYY-MM-DD, UTC
  std::string seed;
  int rules = 0;
};

class Storage {
 public:
  // Opens (creating and migrating) the database at `where`: a file path, or a
  // postgresql:// URL. Empty and `error` set when it cannot.
  static std::unique_ptr<Storage> Open(const std::string& where, std::string& error);
  ~Storage();

  // Stores a verified game; `created` false when the same game is already on the board,
  // which then stays as it was. Empty on a database error.
  std::optional<Entry> Add(const Submission& s, const std::string& file, bool& created);
  std::vector<Entry> Board(int limit);
  std::vector<Entry> DayBoard(const std::string& day, int limit);
  // The day's seed; `make` makes it on the first request of the day.
  std::optional<Daily> DailyFor(const std::string& day, bool make);
  // The entry of the same game, when it is on the board already.
  std::optional<Entry> FindGame(const std::string& game);
  std::optional<std::string> ReplayFile(std::int64_t id);
  std::optional<Entry> Find(std::int64_t id);
  int SchemaVersion();
  bool IsPostgres() const { return postgres_; }

 private:
  Storage() = default;
  QSqlDatabase Here();  // this thread's own connection (Qt's may not cross threads)
  bool Migrate(std::string& error);
  std::optional<Entry> Ranked(std::int64_t id);

  std::string where_;
  bool postgres_ = false;
  std::string name_;  // the connection names' prefix
};

// Today's date in UTC, YYYY-MM-DD.
std::string Storage_Today();
bool Storage_ValidDay(const std::string& day);

}  // namespace tarnix::board
