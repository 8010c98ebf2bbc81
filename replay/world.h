// The game as a client of a world table (server/API.md): sending finished games, reading
// the boards and the day's seed, fetching a world entry's replay. Everything is asynchronous
// on Qt's event loop, which the main loop visits between passes: no pass ever waits for the
// network. With no address set, nothing is ever sent.
#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <string>
#include <vector>

namespace tarnix {

struct WorldEntry {
  qint64 id = 0;
  QString name;
  int score = 0;
  int level = 0;
  int rank = 0;      // on the board it was read from
  QString accepted;  // the day the server took it, YYYY-MM-DD
};

enum class WorldBoard { kAllTime, kToday };
// What a request was for, so that its failure reaches the screen that waits for it.
enum class WorldRequest { kSubmit, kBoard, kDaily, kReplay };

class WorldTable : public QObject {
  Q_OBJECT

 public:
  // `outbox`: the folder where games wait until the server has them.
  explicit WorldTable(QString outbox, QObject* parent = nullptr);

  // http(s)://host[:port][/prefix]; empty turns the world table off.
  void SetAddress(const QString& address);
  QString Address() const { return address_; }

  // Keeps `replayFile` in the outbox and sends it; false (and nothing kept) without an
  // address. A game that cannot be sent stays and is sent again later.
  bool Submit(const std::string& replayFile);
  // Sends whatever waits in the outbox now (also done on a timer after a failure).
  void SendWaiting();
  int Waiting() const;
  // Requests made since this object was built.
  int Requests() const { return requests_; }
  // The timer that tries again runs only while a game waits after a failure.
  bool RetryPending() const { return retry_.isActive(); }

  void FetchBoard(WorldBoard board);
  void FetchDaily();
  void FetchReplay(qint64 id);

 signals:
  void Accepted(const tarnix::WorldEntry& entry, bool created);
  // The server played the game and refused it; the file moves to the outbox's refused/.
  void Refused(const QString& reason);
  void BoardArrived(tarnix::WorldBoard board, const std::vector<tarnix::WorldEntry>& entries);
  void DailyArrived(const QString& date, std::uint64_t seed, int rules);
  void ReplayArrived(qint64 id, const QByteArray& file);
  // Offline, a server that answers garbage, a board that cannot be read: a sentence for the
  // player. Play goes on.
  void Failed(const QString& message);
  // The same, with what the failed request was for.
  void RequestFailed(tarnix::WorldRequest request, const QString& message);

 private:
  QUrl Url(const QString& path) const;
  void Send(const QString& file);
  void RetryLater();
  QString Problem(QNetworkReply* reply, const QByteArray& body) const;
  void Fail(WorldRequest request, const QString& message);
  QNetworkReply* Get(const QString& path);

  QString outbox_;
  QString address_;
  QNetworkAccessManager network_;
  QTimer retry_;
  int backoffSeconds_ = 0;
  QStringList sending_;
  int requests_ = 0;
};

// Starts today's challenge from the title: a game with the day's seed, recorded with it, as
// the Enter key starts one. False, and nothing changes, when the server runs other rules than
// this game or the title is not shown.
bool World_StartChallenge(std::uint64_t seed, int rules);

}  // namespace tarnix
