#include "replay/world.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QNetworkRequest>

#include "core/keys.h"
#include "core/module1.h"
#include "core/platform.h"
#include "files/file_io.h"
#include "replay/format.h"
#include "core/doors.h"

namespace tarnix {

namespace {

constexpr int kFirstRetrySeconds = 15;
constexpr int kLastRetrySeconds = 600;
constexpr int kTimeoutMs = 15000;

QString Tr(const char* text) { return QCoreApplication::translate("Messages", text); }

bool WriteReplay(const QString& folder, const QString& name, const QByteArray& bytes) {
  FileWrite how;
  how.ours = Replay_IsFile;
  how.limit = kReplayMaxBytes;
  return File_MakeFolder(folder.toStdString() + "/") &&
         File_Write((folder + QLatin1Char('/') + name).toStdString(), bytes.toStdString(), how);
}

std::vector<WorldEntry> EntriesOf(const QJsonArray& array, bool daily, bool& ok) {
  std::vector<WorldEntry> entries;
  for (const QJsonValue& v : array) {
    const QJsonObject o = v.toObject();
    WorldEntry e;
    e.id = o.value(QStringLiteral("id")).toInteger(-1);
    e.name = o.value(QStringLiteral("name")).toString();
    e.score = o.value(QStringLiteral("score")).toInt(-1);
    e.level = o.value(QStringLiteral("level")).toInt(-1);
    e.rank = o.value(daily ? QStringLiteral("day_rank") : QStringLiteral("rank")).toInt();
    e.accepted = o.value(QStringLiteral("accepted")).toString().left(10);
    if (e.id < 0 || e.score < 0 || e.level < 0) ok = false;
    entries.push_back(e);
  }
  return entries;
}

}  // namespace

WorldTable::WorldTable(QString outbox, QObject* parent)
    : QObject(parent), outbox_(std::move(outbox)) {
  retry_.setSingleShot(true);
  connect(&retry_, &QTimer::timeout, this, &WorldTable::SendWaiting);
  network_.setTransferTimeout(kTimeoutMs);
}

void WorldTable::SetAddress(const QString& address) {
  address_ = address.trimmed();
  while (address_.endsWith(QLatin1Char('/'))) address_.chop(1);
  if (address_.isEmpty()) retry_.stop();
}

QUrl WorldTable::Url(const QString& path) const { return QUrl(address_ + path); }

int WorldTable::Waiting() const {
  return static_cast<int>(QDir(outbox_).entryList({QStringLiteral("*.tnr")}, QDir::Files).size());
}

bool WorldTable::Submit(const std::string& replayFile) {
  if (address_.isEmpty()) return false;
  const QByteArray bytes = QByteArray::fromStdString(replayFile);
  // Named by content: the same game sent twice waits once.
  const QString name =
      QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(0).left(32)) +
      QStringLiteral(".tnr");
  if (!WriteReplay(outbox_, name, bytes)) {
    Fail(WorldRequest::kSubmit,
         Tr(QT_TRANSLATE_NOOP("Messages", "ワールドランキングに送るゲームを保存できませんでした。")));
    return false;
  }
  Send(name);
  return true;
}

void WorldTable::SendWaiting() {
  if (address_.isEmpty()) return;
  for (const QString& name : QDir(outbox_).entryList({QStringLiteral("*.tnr")}, QDir::Files)) {
    Send(name);
  }
}

void WorldTable::RetryLater() {
  backoffSeconds_ = backoffSeconds_ == 0 ? kFirstRetrySeconds
                                         : std::min(backoffSeconds_ * 2, kLastRetrySeconds);
  if (!retry_.isActive()) retry_.start(backoffSeconds_ * 1000);
}

QString WorldTable::Problem(QNetworkReply* reply, const QByteArray& body) const {
  if (reply->error() != QNetworkReply::NoError &&
      reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isNull()) {
    return Tr(QT_TRANSLATE_NOOP("Messages", "ワールドランキングに接続できません：%1"))
        .arg(reply->errorString());
  }
  const QJsonObject error = QJsonDocument::fromJson(body).object().value(QStringLiteral("error")).toObject();
  const QString message = error.value(QStringLiteral("message")).toString();
  if (!message.isEmpty()) {
    return Tr(QT_TRANSLATE_NOOP("Messages", "ワールドランキングからの返答：%1")).arg(message.left(200));
  }
  return Tr(QT_TRANSLATE_NOOP("Messages", "ワールドランキングの返答を読めませんでした。"));
}

void WorldTable::Fail(WorldRequest request, const QString& message) {
  emit Failed(message);
  emit RequestFailed(request, message);
}

QNetworkReply* WorldTable::Get(const QString& path) {
  ++requests_;
  return network_.get(QNetworkRequest(Url(path)));
}

void WorldTable::Send(const QString& name) {
  if (sending_.contains(name)) return;
  const FileRead file = File_Read((outbox_ + QLatin1Char('/') + name).toStdString(), kReplayMaxBytes);
  if (file.kind != FileRead::kRegular) return;
  sending_ << name;
  QNetworkRequest request(Url(QStringLiteral("/api/v1/entries")));
  request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/octet-stream"));
  ++requests_;
  QNetworkReply* reply = network_.post(request, QByteArray::fromStdString(file.bytes));
  connect(reply, &QNetworkReply::finished, this, [this, reply, name] {
    reply->deleteLater();
    sending_.removeAll(name);
    const QByteArray body = reply->readAll();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString path = outbox_ + QLatin1Char('/') + name;
    if (status == 201 || status == 200) {
      const QJsonObject entry =
          QJsonDocument::fromJson(body).object().value(QStringLiteral("entry")).toObject();
      bool ok = true;
      const std::vector<WorldEntry> e = EntriesOf(QJsonArray{entry}, false, ok);
      if (ok) {
        QFile::remove(path);
        backoffSeconds_ = 0;
        emit Accepted(e.front(), status == 201);
        return;
      }
    } else if (status == 422) {
      // Played and refused: sending it again changes nothing, but it is the player's game.
      QDir().mkpath(outbox_ + QStringLiteral("/refused"));
      QFile::remove(outbox_ + QStringLiteral("/refused/") + name);
      QFile::rename(path, outbox_ + QStringLiteral("/refused/") + name);
      emit Refused(Problem(reply, body));
      return;
    }
    Fail(WorldRequest::kSubmit, Problem(reply, body));
    RetryLater();
  });
}

void WorldTable::FetchBoard(WorldBoard board) {
  if (address_.isEmpty()) return;
  const bool daily = board == WorldBoard::kToday;
  QNetworkReply* reply =
      Get(daily ? QStringLiteral("/api/v1/boards/daily") : QStringLiteral("/api/v1/boards/all"));
  connect(reply, &QNetworkReply::finished, this, [this, reply, board, daily] {
    reply->deleteLater();
    const QByteArray body = reply->readAll();
    const QJsonValue entries = QJsonDocument::fromJson(body).object().value(QStringLiteral("entries"));
    bool ok = reply->error() == QNetworkReply::NoError && entries.isArray();
    std::vector<WorldEntry> list = EntriesOf(entries.toArray(), daily, ok);
    if (!ok) return Fail(WorldRequest::kBoard, Problem(reply, body));
    emit BoardArrived(board, list);
  });
}

void WorldTable::FetchDaily() {
  if (address_.isEmpty()) return;
  QNetworkReply* reply = Get(QStringLiteral("/api/v1/daily"));
  connect(reply, &QNetworkReply::finished, this, [this, reply] {
    reply->deleteLater();
    const QByteArray body = reply->readAll();
    const QJsonObject o = QJsonDocument::fromJson(body).object();
    bool seedOk = false;
    const std::uint64_t seed = o.value(QStringLiteral("seed")).toString().toULongLong(&seedOk, 16);
    const int rules = o.value(QStringLiteral("rules")).toInt(-1);
    if (reply->error() != QNetworkReply::NoError || !seedOk || rules < 0) {
      return Fail(WorldRequest::kDaily, Problem(reply, body));
    }
    emit DailyArrived(o.value(QStringLiteral("date")).toString(), seed, rules);
  });
}

void WorldTable::FetchReplay(qint64 id) {
  if (address_.isEmpty()) return;
  QNetworkReply* reply = Get(QStringLiteral("/api/v1/entries/%1/replay").arg(id));
  connect(reply, &QNetworkReply::finished, this, [this, reply, id] {
    reply->deleteLater();
    const QByteArray body = reply->readAll();
    if (reply->error() != QNetworkReply::NoError) return Fail(WorldRequest::kReplay, Problem(reply, body));
    emit ReplayArrived(id, body);
  });
}

bool World_StartChallenge(std::uint64_t seed, int rules) {
  if (rules != kRulesVersion || Module1.GamePhase != kTitle) return false;
  Platform().random->Randomize(seed);
  Module1.MenuCursor = 0;
  Picture1_KeyDown(kEnter, 0);
  return true;
}

}  // namespace tarnix
