// A replay's video, read back with FFmpeg's own demuxer and decoders: every pass a frame at
// the game's time, the canvas's pixels in it, the effects in its sound; and no file at all
// when it cannot be made.
#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <vector>

#include "core/doors.h"
#include "core/keys.h"
#include "replay/export.h"
#include "replay/library.h"
#include "replay/replay.h"
#include "replay/snapshot.h"
#include "replay/stats.h"
#include "replay/theatre.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

// What a video file holds, as a player would decode it.
struct Decoded {
  std::string docType;
  int videoStreams = 0, audioStreams = 0;
  AVCodecID video = AV_CODEC_ID_NONE, audio = AV_CODEC_ID_NONE;
  int width = 0, height = 0;
  std::int64_t durationUs = 0;
  std::vector<std::int64_t> framePts;  // ms
  std::map<std::size_t, QImage> frames;  // the frames asked for, as RGB
  double audioSeconds = 0;
  float loudest = 0;
};

Decoded Decode(const QString& path, const std::vector<std::size_t>& keep) {
  Decoded d;
  QFile file(path);
  if (file.open(QIODevice::ReadOnly)) {
    const QByteArray head = file.read(64);
    d.docType = head.contains("webm") ? "webm" : head.contains("matroska") ? "matroska" : "";
  }
  AVFormatContext* in = nullptr;
  if (avformat_open_input(&in, QFile::encodeName(path).constData(), nullptr, nullptr) < 0) return d;
  avformat_find_stream_info(in, nullptr);
  d.durationUs = in->duration;
  std::map<int, AVCodecContext*> decoders;
  for (unsigned i = 0; i < in->nb_streams; ++i) {
    const AVCodecParameters* p = in->streams[i]->codecpar;
    if (p->codec_type == AVMEDIA_TYPE_VIDEO) {
      ++d.videoStreams;
      d.video = p->codec_id;
      d.width = p->width;
      d.height = p->height;
    } else if (p->codec_type == AVMEDIA_TYPE_AUDIO) {
      ++d.audioStreams;
      d.audio = p->codec_id;
    }
    const AVCodec* codec = avcodec_find_decoder(p->codec_id);
    AVCodecContext* c = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(c, p);
    c->pkt_timebase = in->streams[i]->time_base;
    if (p->codec_type == AVMEDIA_TYPE_AUDIO) c->request_sample_fmt = AV_SAMPLE_FMT_FLT;
    if (codec != nullptr && avcodec_open2(c, codec, nullptr) == 0) decoders[static_cast<int>(i)] = c;
    else avcodec_free_context(&c);
  }
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  auto take = [&](AVCodecContext* c, int stream) {
    while (avcodec_receive_frame(c, frame) == 0) {
      if (c->codec_type == AVMEDIA_TYPE_VIDEO) {
        const std::size_t index = d.framePts.size();
        d.framePts.push_back(av_rescale_q(frame->best_effort_timestamp,
                                          in->streams[stream]->time_base, {1, 1000}));
        if (std::find(keep.begin(), keep.end(), index) != keep.end()) {
          QImage rgb(frame->width, frame->height, QImage::Format_RGB32);
          SwsContext* sws = sws_getContext(frame->width, frame->height,
                                           static_cast<AVPixelFormat>(frame->format), rgb.width(),
                                           rgb.height(), AV_PIX_FMT_RGB32, SWS_POINT, nullptr,
                                           nullptr, nullptr);
          std::uint8_t* to[] = {rgb.bits()};
          const int stride[] = {static_cast<int>(rgb.bytesPerLine())};
          sws_scale(sws, frame->data, frame->linesize, 0, frame->height, to, stride);
          sws_freeContext(sws);
          d.frames[index] = rgb;
        }
      } else {
        d.audioSeconds += static_cast<double>(frame->nb_samples) / frame->sample_rate;
        for (int ch = 0; ch < frame->ch_layout.nb_channels; ++ch) {
          const bool planar = av_sample_fmt_is_planar(static_cast<AVSampleFormat>(frame->format));
          const auto* s = reinterpret_cast<const float*>(frame->extended_data[planar ? ch : 0]);
          for (int k = 0; k < frame->nb_samples; ++k) d.loudest = std::max(d.loudest, std::abs(s[k]));
        }
      }
      av_frame_unref(frame);
    }
  };
  while (av_read_frame(in, packet) >= 0) {
    auto it = decoders.find(packet->stream_index);
    if (it != decoders.end() && avcodec_send_packet(it->second, packet) == 0) take(it->second, it->first);
    av_packet_unref(packet);
  }
  for (auto& [stream, c] : decoders) {
    avcodec_send_packet(c, nullptr);
    take(c, stream);
    avcodec_free_context(&c);
  }
  av_frame_free(&frame);
  av_packet_free(&packet);
  avformat_close_input(&in);
  return d;
}

// How far two pictures of the same size are apart: the mean difference of each channel.
double MeanDifference(const QImage& a, const QImage& b) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y) {
    const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x) {
      sum += std::abs(qRed(p[x]) - qRed(q[x])) + std::abs(qGreen(p[x]) - qGreen(q[x])) +
             std::abs(qBlue(p[x]) - qBlue(q[x]));
    }
  }
  return sum / (3.0 * a.width() * a.height());
}

ReplayRecord Corpus(const char* name) {
  const ReplayReadResult r =
      ReplayLibrary_Read(std::string(TARNIX_SOURCE_DIR "/tests/data/replays/") + name);
  EXPECT_TRUE(r.record.has_value()) << name;
  return r.record.value_or(ReplayRecord{});
}

class ExportTest : public GameTest {};

// The processes this one has started and not yet seen end.
int Children() {
  int n = 0;
  for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
    if (!stat.open(QIODevice::ReadOnly)) continue;
    const QByteArray line = stat.readAll();
    // "pid (name) state ppid ...": the name may hold anything but the last ')'.
    const QList<QByteArray> rest = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (rest.size() > 1 && rest[1].toLongLong() == ::getpid()) ++n;
  }
  return n;
}

// A home, a temporary and a runtime folder of the test's own, which a child process inherits.
class Surroundings {
 public:
  Surroundings() {
    const QString runtime = homeDir.path() + QStringLiteral("/run");
    QDir().mkdir(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Set("HOME", homeDir.path());
    Set("TMPDIR", tempDir.path());
    Set("XDG_RUNTIME_DIR", runtime);
  }
  ~Surroundings() {
    for (const auto& [name, value] : saved_) {
      if (value.isNull()) qunsetenv(name);
      else qputenv(name, value);
    }
  }
  Surroundings(const Surroundings&) = delete;
  Surroundings& operator=(const Surroundings&) = delete;
  QStringList Left() const {
    return QDir(tempDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
  }
  QString Videos() const { return homeDir.path() + QStringLiteral("/Videos/"); }
  QTemporaryDir homeDir, tempDir;

 private:
  void Set(const char* name, const QString& value) {
    saved_.emplace_back(name, qgetenv(name));
    qputenv(name, QFile::encodeName(value));
  }
  std::vector<std::pair<const char*, QByteArray>> saved_;
};

// Watching `record` from the table, with the built game as E's maker of videos.
void WatchWithTheGame(const ReplayRecord& record) {
  Theatre_SetExporter([](const ReplayRecord& watched) {
    return Export_Apart(watched, TARNIX_GAME_DIR "/tarnix");
  });
  Module1.GamePhase = kScoreView;
  Replay_Watch(record, "test");
  Picture1_KeyUp(kKeyZ, 0);
}

QLabel* Notice() {
  return Form1->Picture1.findChild<QLabel*>(QStringLiteral("exportNotice"));
}

TEST_F(ExportTest, EveryPassIsAFrameAtTheGamesTimeShowingTheCanvasWithItsSound) {
  ASSERT_TRUE(CopySounds(QFile::decodeName(Module1.AppPath.c_str())));
  const ReplayRecord record = Corpus("quit-in-play.tnr");
  ASSERT_GT(record.passes, 100u);
  QTemporaryDir dir;
  const QString path = dir.path() + QStringLiteral("/game.webm");
  const ExportResult made = Export_Video(record, QFile::encodeName(path).toStdString(), 2, false);
  ASSERT_TRUE(made.ok) << made.error;
  EXPECT_EQ(made.frames, record.passes);

  // The canvas as playing the replay shows it, at a pass in the middle and at the start.
  const std::uint32_t middle = record.passes / 2;
  const std::uint32_t early = 3;
  std::map<std::uint32_t, QImage> canvas;
  std::uint32_t pass = 0;
  const ReplayOutcome out = Replay_Run(record, [&] {
    ++pass;
    if (pass == middle || pass == early) {
      const QImage shown = form().Picture1.parentWidget()->grab().toImage().convertToFormat(
          QImage::Format_RGB32);
      canvas[pass] = shown.scaled(kGameWidth * 2, kGameHeight * 2, Qt::IgnoreAspectRatio,
                                  Qt::FastTransformation);
    }
  });
  ASSERT_TRUE(out.matches);
  ASSERT_EQ(canvas.size(), 2u);

  const Decoded d = Decode(path, {middle - 1});
  EXPECT_EQ(d.docType, "webm");
  EXPECT_EQ(d.videoStreams, 1);
  EXPECT_EQ(d.audioStreams, 1);
  EXPECT_EQ(d.video, AV_CODEC_ID_VP9);
  EXPECT_EQ(d.audio, AV_CODEC_ID_OPUS);
  EXPECT_EQ(d.width, 528);
  EXPECT_EQ(d.height, 648);
  ASSERT_EQ(d.framePts.size(), record.passes) << "one frame a pass";
  // Each frame starts when its pass does at the game's pace, and the whole lasts what the
  // theatre says the game lasts.
  for (std::uint32_t k = 0; k < record.passes; k += 37) {
    EXPECT_NEAR(d.framePts[k], Replay_SecondsAt(record, k) * 1000, 1.0) << "frame " << k;
  }
  const double seconds = Replay_SecondsAt(record, record.passes);
  EXPECT_NEAR(d.durationUs / 1e6, seconds, Pass_Ms(record.wait) / 1000);
  EXPECT_NEAR(d.audioSeconds, seconds, 0.025);
  EXPECT_GT(d.loudest, 0.1f) << "the game's effects sound in the video";

  // The decoded frame is the canvas at its pass, up to what YUV 4:2:0 loses, and clearly not
  // the canvas of another.
  ASSERT_EQ(d.frames.count(middle - 1), 1u);
  const QImage& frame = d.frames.at(middle - 1);
  const double same = MeanDifference(frame, canvas[middle]);
  const double other = MeanDifference(frame, canvas[early]);
  EXPECT_LT(same, 3.0);
  EXPECT_GT(other, 3 * same + 3.0) << "a check that tells passes apart";
  if (const char* keep = std::getenv("TARNIX_EXPORT_FRAME")) {
    frame.scaled(kGameWidth, kGameHeight).save(QString::fromLocal8Bit(keep));
  }
}

TEST_F(ExportTest, CommandLineWritesTheVideoOrNoFileAtAll) {
  QTemporaryDir dir;
  const QString folder = dir.path();
  auto run = [](const QStringList& args, QByteArray* err = nullptr) {
    QProcess p;
    p.start(QStringLiteral(TARNIX_GAME_DIR "/tarnix"), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    if (err != nullptr) *err = p.readAllStandardError();
    return p.exitCode();
  };
  const QString replay = QStringLiteral(TARNIX_SOURCE_DIR "/tests/data/replays/short-rising.tnr");

  // A silent one at x1.
  const QString video = folder + QStringLiteral("/short.webm");
  QByteArray err;
  ASSERT_EQ(run({QStringLiteral("--export"), video, QStringLiteral("--scale"), QStringLiteral("1"),
                 QStringLiteral("--mute"), replay},
                &err),
            0)
      << err.toStdString();
  const Decoded d = Decode(video, {});
  EXPECT_EQ(d.width, kGameWidth);
  EXPECT_EQ(d.height, kGameHeight);
  EXPECT_EQ(d.audioStreams, 0);
  EXPECT_EQ(d.framePts.size(), 9u);

  // A file that is no replay; a folder that does not exist; a folder where the file should go.
  QFile junk(folder + QStringLiteral("/junk.tnr"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("not a replay\n");
  junk.close();
  ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("taken.webm")));
  const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
  struct Case {
    QString out, replay;
  };
  for (const Case& c : {Case{folder + QStringLiteral("/a.webm"), junk.fileName()},
                        Case{folder + QStringLiteral("/missing/b.webm"), replay},
                        Case{folder + QStringLiteral("/taken.webm"), replay}}) {
    EXPECT_EQ(run({QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("--export"),
                   c.out, c.replay},
                  &err),
              1)
        << c.out.toStdString();
    EXPECT_TRUE(err.contains("tarnix: ")) << err.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before)
        << "nothing left behind for " << c.out.toStdString();
  }
  EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/missing")));
  EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/taken.webm")).isDir());
}

// While watching, E writes the video of the whole replay to the player's videos folder, says
// where, and the replay stands exactly where it stood, and plays on to its end.
TEST_F(ExportTest, TheTheatresKeyWritesTheVideoAndTheReplayGoesOn) {
  QTemporaryDir home;
  const QByteArray savedHome = qgetenv("HOME");
  qputenv("HOME", QFile::encodeName(home.path()));
  Theatre_SetExporter(Export_Watched);  // as start-up hands it down
  const ReplayRecord record = Corpus("quit-in-play.tnr");
  Module1.GamePhase = kScoreView;
  Replay_Watch(record, "test");
  ASSERT_TRUE(Replay_IsPlaying());
  Picture1_KeyUp(kKeyZ, 0);
  while (Replay_Cursor().pass < 120) Main_Prog();
  const GameSnapshot before = Snapshot_Take();
  const ReplayCursor cursor = Replay_Cursor();
  // The game's picture, and the same under the watcher's bar and banner.
  QWidget* client = form().Picture1.parentWidget();
  auto grab = [client] {
    return client->grab().toImage().convertToFormat(QImage::Format_RGB32).scaled(
        kGameWidth * 2, kGameHeight * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  };
  const QImage watched = grab();
  std::vector<QWidget*> overlays;
  for (QWidget* w : client->findChildren<QWidget*>()) {
    if (!w->isHidden() && (w->objectName() == QStringLiteral("theatreBar") ||
                           w->objectName() == QStringLiteral("watchBanner"))) {
      overlays.push_back(w);
    }
  }
  ASSERT_EQ(overlays.size(), 3u) << "the bar and the banner's two labels";
  for (QWidget* w : overlays) w->hide();
  const QImage game = grab();
  for (QWidget* w : overlays) w->show();
  SoundOutput* const sound = Platform().sound;

  Picture1_KeyDown(kTheatreExport, 0);
  Picture1_KeyUp(kTheatreExport, 0);
  qputenv("HOME", savedHome);

  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].second, MessageIcon::kInformation);
  const QStringList videos = QDir(home.path() + QStringLiteral("/Videos"))
                                 .entryList({QStringLiteral("*.webm")}, QDir::Files);
  ASSERT_EQ(videos.size(), 1);
  EXPECT_NE(messages.shown[0].first.find(videos[0].toStdString()), std::string::npos)
      << "the message says where the video is";
  const Decoded d = Decode(home.path() + QStringLiteral("/Videos/") + videos[0], {cursor.pass - 1});
  EXPECT_EQ(d.framePts.size(), record.passes);
  ASSERT_EQ(d.frames.count(cursor.pass - 1), 1u);
  const double same = MeanDifference(d.frames.at(cursor.pass - 1), game);
  EXPECT_LT(same, 3.0) << "the video shows the game alone";
  EXPECT_GT(MeanDifference(d.frames.at(cursor.pass - 1), watched), same + 1.0);

  EXPECT_TRUE(Replay_IsPlaying());
  EXPECT_EQ(Replay_Cursor().pass, cursor.pass);
  EXPECT_EQ(Replay_Cursor().next, cursor.next);
  EXPECT_EQ(Platform().sound, sound);
  EXPECT_TRUE(Snapshot_Differences(before, Snapshot_Take()).empty());
  while (Replay_IsPlaying()) Main_Prog();
  EXPECT_EQ(Stats_Current().passes, record.passes);
  EXPECT_EQ(Stats_Current().score, record.score);
}

// The game's own executable makes the video in a process of its own: E returns at once, a
// line says so, the replay plays on and the loop turns; a second E starts nothing. At the end
// the message names the video, which holds the whole replay, and no copy of it is left.
TEST_F(ExportTest, TheTheatresKeyHandsTheVideoToAProcessAndTheGameGoesOn) {
  Surroundings around;
  const ReplayRecord record = Corpus("quit-in-play.tnr");
  WatchWithTheGame(record);
  ASSERT_TRUE(Replay_IsPlaying());
  while (Replay_Cursor().pass < 20) Main_Prog();
  ASSERT_EQ(Children(), 0);

  Picture1_KeyDown(kTheatreExport, 0);
  Picture1_KeyUp(kTheatreExport, 0);
  ASSERT_TRUE(Export_Busy());
  EXPECT_EQ(Children(), 1);
  EXPECT_EQ(around.Left().size(), 1) << "the replay's copy, for the process to read";
  ASSERT_NE(Notice(), nullptr);
  EXPECT_FALSE(Notice()->isHidden());
  EXPECT_EQ(Notice()->text(), QStringLiteral("動画を作っています…"));
  EXPECT_TRUE(messages.shown.empty()) << "E came back before the video was made";

  Main_Prog();
  Picture1_KeyDown(kTheatreExport, 0);
  Picture1_KeyUp(kTheatreExport, 0);
  EXPECT_EQ(Children(), 1) << "no second process";
  EXPECT_EQ(Notice()->text(), QStringLiteral("動画はもう作っています…"));
  EXPECT_TRUE(messages.shown.empty());

  // The loop turns while the process works: timers fire, passes run.
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
  ticker.start(5);
  int passes = 0;
  ASSERT_TRUE(QTest::qWaitFor(
      [&passes] {
        if (!Export_Busy()) return true;
        if (Replay_IsPlaying()) {
          Main_Prog();
          ++passes;
        }
        return false;
      },
      120000));
  EXPECT_GT(ticks, 3);
  EXPECT_GT(passes, 3);
  EXPECT_EQ(Notice(), nullptr) << "the line goes with the process";

  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].second, MessageIcon::kInformation);
  const QStringList videos = QDir(around.Videos()).entryList(QDir::Files | QDir::Hidden);
  ASSERT_EQ(videos.size(), 1);
  EXPECT_NE(messages.shown[0].first.find((around.Videos() + videos[0]).toStdString()),
            std::string::npos)
      << "the message says where the video is";
  EXPECT_EQ(Decode(around.Videos() + videos[0], {}).framePts.size(), record.passes);
  EXPECT_TRUE(around.Left().isEmpty()) << around.Left().join(u' ').toStdString();
  EXPECT_EQ(Children(), 0);
}

// What went wrong in the process is its line on stderr, in the game's language; the window
// that closes while one works ends it, and nothing of it is left.
TEST_F(ExportTest, TheProcessSaysWhyOrGoesWithTheWindow) {
  Surroundings around;
  const ReplayRecord record = Corpus("short-rising.tnr");
  WatchWithTheGame(record);
  const std::string video = Export_FreeName(record);
  Picture1_KeyDown(kTheatreExport, 0);
  ASSERT_TRUE(Export_Busy());
  // The name taken by a folder before the process can write there.
  ASSERT_TRUE(QDir().mkdir(QFile::decodeName(video.c_str())));
  ASSERT_TRUE(QTest::qWaitFor([] { return !Export_Busy(); }, 60000));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].second, MessageIcon::kCritical);
  EXPECT_EQ(messages.shown[0].first, video + " に動画を書けませんでした。");
  auto inVideos = [&around] {
    return QDir(around.Videos()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
  };
  EXPECT_EQ(inVideos().size(), 1);
  EXPECT_TRUE(around.Left().isEmpty()) << around.Left().join(u' ').toStdString();

  {
    Form1Window closing;  // a window of its own, to close while the process works
    Replay_Watch(record, "test");
    Picture1_KeyUp(kKeyZ, 0);
    Picture1_KeyDown(kTheatreExport, 0);
    EXPECT_TRUE(Export_Busy());
    EXPECT_EQ(Children(), 1);
    EXPECT_EQ(around.Left().size(), 1);
  }
  Form1 = &form();
  EXPECT_FALSE(Export_Busy());
  EXPECT_EQ(Children(), 0);
  EXPECT_TRUE(around.Left().isEmpty()) << around.Left().join(u' ').toStdString();
  EXPECT_EQ(inVideos().size(), 1) << "no video, whole or in part";
}

}  // namespace
}  // namespace tarnix::testing
