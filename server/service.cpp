#include "server/service.h"

#include <httplib.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <mutex>
#include <unordered_map>

namespace tarnix::board {

namespace {

constexpr int kBoardSize = 100;

QString Q(const std::string& s) { return QString::fromStdString(s); }

QJsonObject EntryJson(const Entry& e) {
  QJsonObject o;
  o[QStringLiteral("id")] = static_cast<qint64>(e.id);
  o[QStringLiteral("name")] = Q(e.name);
  o[QStringLiteral("score")] = e.score;
  o[QStringLiteral("level")] = e.level;
  o[QStringLiteral("passes")] = static_cast<qint64>(e.passes);
  o[QStringLiteral("seed")] = Q(e.seed);
  o[QStringLiteral("accepted")] = Q(e.accepted);
  o[QStringLiteral("day")] = e.day.empty() ? QJsonValue() : QJsonValue(Q(e.day));
  if (e.rank > 0) o[QStringLiteral("rank")] = e.rank;
  if (e.dayRank > 0) o[QStringLiteral("day_rank")] = e.dayRank;
  o[QStringLiteral("replay")] =
      QStringLiteral("/api/v1/entries/%1/replay").arg(static_cast<qint64>(e.id));
  return o;
}

QJsonArray EntriesJson(const std::vector<Entry>& entries) {
  QJsonArray a;
  for (const Entry& e : entries) a.append(EntryJson(e));
  return a;
}

void Json(httplib::Response& res, int status, const QJsonObject& body) {
  res.status = status;
  res.set_content(QJsonDocument(body).toJson(QJsonDocument::Compact).toStdString(),
                  "application/json");
}

void Error(httplib::Response& res, int status, const std::string& code,
           const std::string& message) {
  QJsonObject e;
  e[QStringLiteral("code")] = Q(code);
  e[QStringLiteral("message")] = Q(message);
  Json(res, status, QJsonObject{{QStringLiteral("error"), e}});
}

// Requests of one address: a bucket that refills at a steady rate.
class RateLimit {
 public:
  RateLimit(double rate, double burst) : rate_(rate), burst_(burst) {}
  bool Allow(const std::string& who) {
    if (rate_ <= 0) return true;
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard lock(mutex_);
    if (buckets_.size() > 100000) Forget(now);
    auto [it, fresh] = buckets_.try_emplace(who, Bucket{burst_, now});
    Bucket& b = it->second;
    if (!fresh) {
      b.tokens = std::min(burst_, b.tokens + rate_ * Seconds(now - b.at));
      b.at = now;
    }
    if (b.tokens < 1) return false;
    b.tokens -= 1;
    return true;
  }

 private:
  struct Bucket {
    double tokens;
    std::chrono::steady_clock::time_point at;
  };
  static double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
  }
  // Addresses whose buckets are full again are as good as new.
  void Forget(std::chrono::steady_clock::time_point now) {
    std::erase_if(buckets_, [&](const auto& kv) {
      return kv.second.tokens + rate_ * Seconds(now - kv.second.at) >= burst_;
    });
  }
  double rate_, burst_;
  std::mutex mutex_;
  std::unordered_map<std::string, Bucket> buckets_;
};

std::string ClientAddress(const httplib::Request& req, bool behindProxy) {
  if (behindProxy && req.has_header("X-Forwarded-For")) {
    // The proxy appends the address it saw last; what comes before it anyone can write.
    const std::string chain = req.get_header_value("X-Forwarded-For");
    const std::size_t comma = chain.rfind(',');
    std::string last = comma == std::string::npos ? chain : chain.substr(comma + 1);
    last.erase(0, last.find_first_not_of(' '));
    return last;
  }
  return req.remote_addr;
}

std::optional<std::int64_t> IdOf(const std::string& text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  std::int64_t id = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    id = id * 10 + (c - '0');
  }
  return id;
}

void Refused(httplib::Response& res, const Verdict& v, const ReplayRecord& claim) {
  auto said = [](std::uint32_t passes, std::int32_t level, std::int32_t score) {
    return "level " + std::to_string(level) + ", score " + std::to_string(score) + " at pass " +
           std::to_string(passes);
  };
  switch (v.kind) {
    case Verdict::Kind::kMismatch:
      Error(res, 422, "mismatch",
            "the game replayed to " + (v.ended ? said(v.passes, v.level, v.score)
                                               : std::string("a different end")) +
                "; the file claims " + said(claim.passes, claim.level, claim.score));
      return;
    case Verdict::Kind::kCrash:
      Error(res, 422, "crashed", "the replay crashed the game that re-played it (" + v.detail + ")");
      return;
    case Verdict::Kind::kTimeout:
      Error(res, 422, "timeout", "the replay did not end within the time a re-play may take");
      return;
    case Verdict::Kind::kUnreadable:
      Error(res, 422, "damaged", "the replay file is truncated or garbled");
      return;
    default:
      res.set_header("Retry-After", "5");
      Error(res, 503, "unavailable", "no worker could re-play the game: " + v.detail);
      return;
  }
}

std::string PageHtml(Storage& storage);

}  // namespace

std::string Html_Escape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

void Service_Install(httplib::Server& server, Storage& storage, VerifierPool& pool,
                     const ServiceOptions& options) {
  auto limit = std::make_shared<RateLimit>(options.ratePerSecond, options.rateBurst);
  const bool behindProxy = options.behindProxy;
  server.set_payload_max_length(options.maxBody);
  server.set_read_timeout(5, 0);
  server.set_write_timeout(5, 0);
  server.set_pre_routing_handler([limit, behindProxy](const httplib::Request& req,
                                                      httplib::Response& res) {
    if (limit->Allow(ClientAddress(req, behindProxy))) return httplib::Server::HandlerResponse::Unhandled;
    res.set_header("Retry-After", "1");
    Error(res, 429, "rate_limited", "too many requests from this address; slow down");
    return httplib::Server::HandlerResponse::Handled;
  });
  server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (!res.body.empty()) return;
    switch (res.status) {
      case 404: Error(res, 404, "not_found", "no such resource"); break;
      case 413: Error(res, 413, "too_large", "the request body is too large"); break;
      case 400: Error(res, 400, "bad_request", "the request is malformed"); break;
      default: Error(res, res.status, "error", "HTTP status " + std::to_string(res.status));
    }
  });

  server.Post("/api/v1/entries", [&storage, &pool](const httplib::Request& req,
                                                   httplib::Response& res) {
    const SubmissionRead read = Submission_Read(req.body);
    if (!read.submission) return Error(res, 422, read.code, read.reason);
    const Submission& s = *read.submission;
    auto answer = [&](const Entry& e, bool created) {
      QJsonObject body{{QStringLiteral("entry"), EntryJson(e)},
                       {QStringLiteral("created"), created}};
      res.set_header("Location", "/api/v1/entries/" + std::to_string(e.id));
      Json(res, created ? 201 : 200, body);
    };
    // The same game again needs no second re-play.
    if (std::optional<Entry> known = storage.FindGame(s.game)) return answer(*known, false);
    const Verdict v = pool.Verify(req.body);
    if (v.kind != Verdict::Kind::kMatch) return Refused(res, v, s.record);
    bool created = false;
    const std::optional<Entry> e = storage.Add(s, req.body, created);
    if (!e) return Error(res, 500, "database", "the entry could not be stored");
    answer(*e, created);
  });

  server.Get("/api/v1/boards/all", [&storage](const httplib::Request& req,
                                              httplib::Response& res) {
    int n = kBoardSize;
    if (req.has_param("limit")) {
      const std::optional<std::int64_t> asked = IdOf(req.get_param_value("limit"));
      if (!asked || *asked < 1 || *asked > kBoardSize) {
        return Error(res, 400, "bad_limit", "limit is a whole number from 1 to 100");
      }
      n = static_cast<int>(*asked);
    }
    Json(res, 200, {{QStringLiteral("board"), QStringLiteral("all")},
                    {QStringLiteral("entries"), EntriesJson(storage.Board(n))}});
  });

  server.Get("/api/v1/boards/daily", [&storage](const httplib::Request& req,
                                                httplib::Response& res) {
    const std::string today = Storage_Today();
    const std::string day = req.has_param("date") ? req.get_param_value("date") : today;
    if (!Storage_ValidDay(day)) return Error(res, 400, "bad_date", "date is YYYY-MM-DD");
    const std::optional<Daily> d = storage.DailyFor(day, day == today);
    QJsonObject body{{QStringLiteral("board"), QStringLiteral("daily")},
                     {QStringLiteral("date"), Q(day)},
                     {QStringLiteral("seed"), d ? QJsonValue(Q(d->seed)) : QJsonValue()},
                     {QStringLiteral("entries"), EntriesJson(storage.DayBoard(day, kBoardSize))}};
    Json(res, 200, body);
  });

  server.Get("/api/v1/daily", [&storage](const httplib::Request&, httplib::Response& res) {
    const std::string today = Storage_Today();
    const std::optional<Daily> d = storage.DailyFor(today, true);
    if (!d) return Error(res, 500, "database", "the day's seed could not be made");
    Json(res, 200, {{QStringLiteral("date"), Q(d->day)},
                    {QStringLiteral("seed"), Q(d->seed)},
                    {QStringLiteral("rules"), d->rules},
                    {QStringLiteral("board"), Q("/api/v1/boards/daily?date=" + d->day)}});
  });

  server.Get(R"(/api/v1/entries/(\d+))", [&storage](const httplib::Request& req,
                                                   httplib::Response& res) {
    const std::optional<std::int64_t> id = IdOf(req.matches[1]);
    std::optional<Entry> e = id ? storage.Find(*id) : std::nullopt;
    if (!e) return Error(res, 404, "not_found", "no such entry");
    Json(res, 200, {{QStringLiteral("entry"), EntryJson(*e)}});
  });

  server.Get(R"(/api/v1/entries/(\d+)/replay)", [&storage](const httplib::Request& req,
                                                          httplib::Response& res) {
    const std::optional<std::int64_t> id = IdOf(req.matches[1]);
    std::optional<std::string> file = id ? storage.ReplayFile(*id) : std::nullopt;
    if (!file) return Error(res, 404, "not_found", "no such entry");
    res.set_header("Content-Disposition",
                   "attachment; filename=\"tarnix-" + std::to_string(*id) + ".tnr\"");
    res.set_content(*file, "application/octet-stream");
  });

  server.Get("/", [&storage](const httplib::Request&, httplib::Response& res) {
    // Nothing on the page runs; a name that looks like markup stays text.
    res.set_header("Content-Security-Policy",
                   "default-src 'none'; style-src 'unsafe-inline'; base-uri 'none'; form-action 'none'");
    res.set_header("X-Content-Type-Options", "nosniff");
    res.set_content(PageHtml(storage), "text/html; charset=utf-8");
  });
}

namespace {

void Table(std::string& html, const char* title, const std::vector<Entry>& entries, bool daily) {
  html += "<section><h2>";
  html += title;
  html += "</h2>\n";
  if (entries.empty()) {
    html += "<p class=\"empty\">No games yet.</p></section>\n";
    return;
  }
  html += "<table><thead><tr><th class=\"n\">Rank</th><th>Name</th><th class=\"n\">Score</th>"
          "<th class=\"n\">Level</th>"
          "<th>Date</th><th>Replay</th></tr></thead><tbody>\n";
  for (const Entry& e : entries) {
    const std::string id = std::to_string(e.id);
    html += "<tr><td class=\"n\">" + std::to_string(daily ? e.dayRank : e.rank) + "</td><td>" +
            (e.name.empty() ? std::string("<span class=\"anon\">(no name)</span>")
                            : Html_Escape(e.name)) +
            "</td><td class=\"n\">" + std::to_string(e.score) + "</td><td class=\"n\">" +
            std::to_string(e.level) + "</td><td>" + Html_Escape(e.accepted.substr(0, 10)) +
            "</td><td><a href=\"/api/v1/entries/" + id + "/replay\" download=\"tarnix-" + id +
            ".tnr\">tarnix-" + id + ".tnr</a></td></tr>\n";
  }
  html += "</tbody></table></section>\n";
}

std::string PageHtml(Storage& storage) {
  const std::string today = Storage_Today();
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
      "<title>Tarnix world table</title><style>"
      "body{font-family:sans-serif;margin:2em auto;max-width:52em;padding:0 1em;"
      "background:#101018;color:#e8e8f0}"
      "h1{font-size:1.6em}h2{font-size:1.2em;margin-top:1.6em}"
      "table{border-collapse:collapse;width:100%}"
      "th,td{padding:.3em .6em;border-bottom:1px solid #334;text-align:left}"
      ".n{text-align:right;font-variant-numeric:tabular-nums}"
      "a{color:#8cf}.anon,.empty{color:#889}footer{margin-top:2em;color:#889;font-size:.9em}"
      "</style></head><body>\n<h1>Tarnix world table</h1>\n"
      "<p>Every game below was played again by this server and reached exactly the score "
      "shown.</p>\n";
  Table(html, ("Today's challenge, " + today).c_str(), storage.DayBoard(today, kBoardSize), true);
  Table(html, "All time", storage.Board(kBoardSize), false);
  html += "<footer>Rules version " + std::to_string(kRulesVersion) +
          ". The boards as JSON: <a href=\"/api/v1/boards/all\">/api/v1/boards/all</a>, "
          "<a href=\"/api/v1/boards/daily\">/api/v1/boards/daily</a>.</footer>\n</body></html>\n";
  return html;
}

}  // namespace

}  // namespace tarnix::board
