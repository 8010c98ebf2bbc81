#include "replay/export.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "core/hooks.h"
#include "core/platform.h"
#include "files/file_io.h"
#include "files/files.h"
#include "files/language.h"
#include "replay/library.h"
#include "replay/quiet.h"
#include "replay/unseen.h"
#include "replay/replay.h"
#include "replay/stats.h"
#include "window/form1.h"

namespace tarnix {

namespace {

constexpr const char* kVideoCodec = "libvpx-vp9";
constexpr const char* kAudioCodec = "libopus";
constexpr std::size_t kEffectLimit = 16 * 1024 * 1024;
constexpr AVRational kMs = {1, 1000};

QString Tr(const char* text) { return QCoreApplication::translate("Export", text); }

QString AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return QString::fromLocal8Bit(text);
}

struct Deleters {
  void operator()(AVCodecContext* p) const { avcodec_free_context(&p); }
  void operator()(AVFrame* p) const { av_frame_free(&p); }
  void operator()(AVPacket* p) const { av_packet_free(&p); }
  void operator()(SwsContext* p) const { sws_freeContext(p); }
  void operator()(SwrContext* p) const { swr_free(&p); }
  void operator()(AVFormatContext* p) const {
    if (p->pb != nullptr) {
      av_freep(&p->pb->buffer);
      avio_context_free(&p->pb);
    }
    if (p->oformat != nullptr) avformat_free_context(p);
    else avformat_close_input(&p);
  }
};
template <typename T>
using Owned = std::unique_ptr<T, Deleters>;

// A file the game has already read, as libavformat's input.
struct Memory {
  const std::string* bytes;
  std::size_t at = 0;
  static int Read(void* self, std::uint8_t* to, int size) {
    auto* m = static_cast<Memory*>(self);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(size), m->bytes->size() - m->at);
    if (n == 0) return AVERROR_EOF;
    std::memcpy(to, m->bytes->data() + m->at, n);
    m->at += n;
    return static_cast<int>(n);
  }
  static std::int64_t Seek(void* self, std::int64_t offset, int whence) {
    auto* m = static_cast<Memory*>(self);
    const auto size = static_cast<std::int64_t>(m->bytes->size());
    if (whence & AVSEEK_SIZE) return size;
    const std::int64_t to = (whence & ~AVSEEK_FORCE) == SEEK_CUR ? m->at + offset
                            : (whence & ~AVSEEK_FORCE) == SEEK_END ? size + offset
                                                                   : offset;
    if (to < 0 || to > size) return AVERROR(EINVAL);
    m->at = static_cast<std::size_t>(to);
    return to;
  }
};

// An effect as the track's samples: mono, float, at the track's rate. Empty when the file is
// missing or is no sound, as the game then plays silence.
std::vector<float> Effect_Decode(const std::string& path) {
  std::vector<float> out;
  const FileRead file = File_Read(path, kEffectLimit);
  if (file.kind != FileRead::kRegular || file.bytes.size() > kEffectLimit) return out;
  Memory memory{&file.bytes};
  constexpr int kBuffer = 16384;
  auto* buffer = static_cast<std::uint8_t*>(av_malloc(kBuffer));
  AVIOContext* reader =
      buffer == nullptr ? nullptr
                        : avio_alloc_context(buffer, kBuffer, 0, &memory, Memory::Read, nullptr, Memory::Seek);
  AVFormatContext* raw = reader == nullptr ? nullptr : avformat_alloc_context();
  if (raw != nullptr) raw->pb = reader;
  if (raw == nullptr || avformat_open_input(&raw, nullptr, nullptr, nullptr) < 0) {
    // A failed open frees the context, never the reader handed to it.
    if (reader != nullptr) av_freep(&reader->buffer);
    else av_free(buffer);
    avio_context_free(&reader);
    return out;
  }
  Owned<AVFormatContext> in(raw);
  const AVCodec* codec = nullptr;
  const int stream = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
  if (stream < 0 || codec == nullptr) return out;
  Owned<AVCodecContext> dec(avcodec_alloc_context3(codec));
  if (!dec || avcodec_parameters_to_context(dec.get(), raw->streams[stream]->codecpar) < 0 ||
      avcodec_open2(dec.get(), codec, nullptr) < 0) {
    return out;
  }
  AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
  SwrContext* swr = nullptr;
  if (swr_alloc_set_opts2(&swr, &mono, AV_SAMPLE_FMT_FLT, kExportSampleRate, &dec->ch_layout,
                          dec->sample_fmt, dec->sample_rate, 0, nullptr) < 0) {
    return out;
  }
  Owned<SwrContext> resample(swr);
  if (swr_init(swr) < 0) return out;
  Owned<AVPacket> packet(av_packet_alloc());
  Owned<AVFrame> frame(av_frame_alloc());
  auto convert = [&](const AVFrame* f) {
    const int room = swr_get_out_samples(swr, f ? f->nb_samples : 0);
    if (room <= 0) return;
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(room));
    auto* to = reinterpret_cast<std::uint8_t*>(out.data() + at);
    const int got = swr_convert(swr, &to, room, f ? const_cast<const std::uint8_t**>(f->extended_data) : nullptr,
                                f ? f->nb_samples : 0);
    out.resize(at + static_cast<std::size_t>(std::max(0, got)));
  };
  auto drain = [&] {
    while (avcodec_receive_frame(dec.get(), frame.get()) == 0) {
      convert(frame.get());
      av_frame_unref(frame.get());
    }
  };
  while (av_read_frame(raw, packet.get()) >= 0) {
    if (packet->stream_index == stream) {
      avcodec_send_packet(dec.get(), packet.get());
      drain();
    }
    av_packet_unref(packet.get());
  }
  avcodec_send_packet(dec.get(), nullptr);
  drain();
  convert(nullptr);
  return out;
}

// The sound seam while a video is made: which effect starts when, in the track's samples.
class SoundLog final : public SoundOutput {
 public:
  struct Start {
    std::int64_t sample;
    const std::vector<float>* effect;
  };
  std::int64_t now = 0;
  std::vector<Start> starts;
  void Play(const std::string& path) override {
    auto it = effects_.find(path);
    if (it == effects_.end()) it = effects_.emplace(path, Effect_Decode(path)).first;
    starts.push_back({now, &it->second});
  }

 private:
  std::map<std::string, std::vector<float>> effects_;
};

class Encoder {
 public:
  Encoder(int width, int height, bool sound) : width_(width), height_(height), sound_(sound) {}
  ~Encoder() { sws_freeContext(sws_); }
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;

  // Everything that can fail before a byte is written: the codecs and their settings.
  QString Open() {
    const AVCodec* video = avcodec_find_encoder_by_name(kVideoCodec);
    const AVCodec* audio = sound_ ? avcodec_find_encoder_by_name(kAudioCodec) : nullptr;
    if (video == nullptr || (sound_ && audio == nullptr)) {
      return Tr(QT_TRANSLATE_NOOP("Export", "FFmpeg のライブラリに %1 の符号化器がないため、動画を作れません。"))
          .arg(QLatin1String(video == nullptr ? kVideoCodec : kAudioCodec));
    }
    video_.reset(avcodec_alloc_context3(video));
    AVCodecContext& v = *video_;
    v.width = width_;
    v.height = height_;
    v.pix_fmt = AV_PIX_FMT_YUV420P;
    v.time_base = kMs;
    v.framerate = {64, 1};
    v.gop_size = 256;
    v.bit_rate = 0;
    v.thread_count = 2;
    // The matrix swscale converts with.
    v.colorspace = AVCOL_SPC_SMPTE170M;
    v.color_primaries = AVCOL_PRI_SMPTE170M;
    v.color_trc = AVCOL_TRC_SMPTE170M;
    v.color_range = AVCOL_RANGE_MPEG;
    v.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "crf", "24", 0);
    av_dict_set(&options, "deadline", "realtime", 0);
    av_dict_set(&options, "cpu-used", "8", 0);
    av_dict_set(&options, "row-mt", "1", 0);
    // Every pass its own frame, shown: no frame held back or dropped.
    av_dict_set(&options, "lag-in-frames", "0", 0);
    av_dict_set(&options, "auto-alt-ref", "0", 0);
    int e = avcodec_open2(&v, video, &options);
    av_dict_free(&options);
    if (e < 0) return Failure(e);
    if (sound_) {
      audio_.reset(avcodec_alloc_context3(audio));
      AVCodecContext& a = *audio_;
      a.sample_rate = kExportSampleRate;
      a.sample_fmt = AV_SAMPLE_FMT_FLT;
      a.ch_layout = AV_CHANNEL_LAYOUT_MONO;
      a.bit_rate = 64000;
      a.time_base = {1, kExportSampleRate};
      a.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
      if ((e = avcodec_open2(&a, audio, nullptr)) < 0) return Failure(e);
    }
    return {};
  }

  // Writes the container to `fd`, then `run` feeds it; false at the first failure.
  bool Write(int fd, const std::function<bool()>& run) {
    fd_ = fd;
    AVFormatContext* raw = nullptr;
    if (Check(avformat_alloc_output_context2(&raw, nullptr, "webm", nullptr))) return false;
    out_.reset(raw);
    constexpr int kBuffer = 1 << 16;
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kBuffer));
    if (buffer == nullptr) return false;
    out_->pb = avio_alloc_context(buffer, kBuffer, 1, this, nullptr, WriteFd, SeekFd);
    if (out_->pb == nullptr) {
      av_free(buffer);
      return false;
    }
    // Opus's first packet starts before zero, by the encoder's look-ahead: the container
    // says so in the track's codec delay, rather than every track being pushed later.
    out_->avoid_negative_ts = AVFMT_AVOID_NEG_TS_DISABLED;
    videoStream_ = Stream(*video_);
    if (sound_) audioStream_ = Stream(*audio_);
    if (videoStream_ == nullptr || (sound_ && audioStream_ == nullptr)) return false;
    if (Check(avformat_write_header(out_.get(), nullptr))) return false;
    frame_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    if (!frame_ || !packet_ || !run()) return false;
    if (!Drain(*video_, videoStream_, nullptr)) return false;
    if (sound_ && !Drain(*audio_, audioStream_, nullptr)) return false;
    if (Check(av_write_trailer(out_.get()))) return false;
    avio_flush(out_->pb);
    return !failed_ && out_->pb->error == 0;
  }

  // The canvas as it stands, shown from `ms` for `duration`.
  bool Picture(const QImage& canvas, std::int64_t ms, std::int64_t duration) {
    sws_ = sws_getCachedContext(sws_, canvas.width(), canvas.height(), AV_PIX_FMT_RGB32, width_,
                                height_, AV_PIX_FMT_YUV420P, SWS_POINT, nullptr, nullptr, nullptr);
    if (sws_ == nullptr) return false;
    AVFrame& f = *frame_;
    av_frame_unref(&f);
    f.format = AV_PIX_FMT_YUV420P;
    f.width = width_;
    f.height = height_;
    if (Check(av_frame_get_buffer(&f, 0))) return false;
    const std::uint8_t* from[] = {canvas.constBits()};
    const int stride[] = {static_cast<int>(canvas.bytesPerLine())};
    sws_scale(sws_, from, stride, 0, canvas.height(), f.data, f.linesize);
    f.pts = ms;
    durations_[ms] = duration;
    return Drain(*video_, videoStream_, &f);
  }

  // The track's samples from where it stands up to `end`; the last frame may be short.
  bool Sound(const SoundLog& log, std::int64_t end, bool last) {
    if (!sound_) return true;
    AVCodecContext& a = *audio_;
    const int size = a.frame_size > 0 ? a.frame_size : 960;
    while (samples_ + size <= end || (last && samples_ < end)) {
      const int n = static_cast<int>(std::min<std::int64_t>(size, end - samples_));
      AVFrame& f = *frame_;
      av_frame_unref(&f);
      f.format = a.sample_fmt;
      f.sample_rate = a.sample_rate;
      f.nb_samples = n;
      if (Check(av_channel_layout_copy(&f.ch_layout, &a.ch_layout)) ||
          Check(av_frame_get_buffer(&f, 0))) {
        return false;
      }
      auto* to = reinterpret_cast<float*>(f.data[0]);
      for (int i = 0; i < n; ++i, ++samples_) {
        // The newest effect begun by now cuts whatever sounded before it.
        while (next_ < log.starts.size() && log.starts[next_].sample <= samples_) {
          playing_ = log.starts[next_++];
        }
        const std::int64_t at = samples_ - playing_.sample;
        to[i] = playing_.effect != nullptr && at < static_cast<std::int64_t>(playing_.effect->size())
                    ? (*playing_.effect)[static_cast<std::size_t>(at)]
                    : 0.0f;
      }
      f.pts = samples_ - n;
      if (!Drain(a, audioStream_, &f)) return false;
    }
    return true;
  }

  const QString& Error() const { return error_; }

 private:
  QString Failure(int e) {
    return Tr(QT_TRANSLATE_NOOP("Export", "動画を作れませんでした（%1）。")).arg(AvError(e));
  }
  bool Check(int e) {
    if (e >= 0) return false;
    if (error_.isEmpty()) error_ = Failure(e);
    return true;
  }

  AVStream* Stream(const AVCodecContext& codec) {
    AVStream* s = avformat_new_stream(out_.get(), nullptr);
    if (s == nullptr || avcodec_parameters_from_context(s->codecpar, &codec) < 0) return nullptr;
    s->time_base = codec.time_base;
    return s;
  }

  // Hands `frame` (none: the end) to the encoder and writes what comes out.
  bool Drain(AVCodecContext& codec, AVStream* stream, const AVFrame* frame) {
    if (Check(avcodec_send_frame(&codec, frame))) return false;
    for (;;) {
      const int e = avcodec_receive_packet(&codec, packet_.get());
      if (e == AVERROR(EAGAIN) || e == AVERROR_EOF) return true;
      if (Check(e)) return false;
      AVPacket& p = *packet_;
      if (&codec == video_.get()) {
        const auto it = durations_.find(p.pts);
        if (it != durations_.end()) {
          p.duration = it->second;
          durations_.erase(it);
        }
      }
      av_packet_rescale_ts(&p, codec.time_base, stream->time_base);
      p.stream_index = stream->index;
      if (Check(av_interleaved_write_frame(out_.get(), &p))) return false;
    }
  }

  static int WriteFd(void* self, std::uint8_t* data, int size) {
    auto* e = static_cast<Encoder*>(self);
    if (!File_WriteAll(e->fd_, reinterpret_cast<const char*>(data), static_cast<std::size_t>(size))) {
      e->failed_ = true;
      return AVERROR(errno ? errno : EIO);
    }
    return size;
  }
  static std::int64_t SeekFd(void* self, std::int64_t offset, int whence) {
    auto* e = static_cast<Encoder*>(self);
    if (whence & AVSEEK_SIZE) {
      struct stat info {};
      return ::fstat(e->fd_, &info) == 0 ? info.st_size : AVERROR(errno);
    }
    const off_t at = ::lseek(e->fd_, offset, whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : at;
  }

  const int width_, height_;
  const bool sound_;
  int fd_ = -1;
  bool failed_ = false;
  QString error_;
  Owned<AVCodecContext> video_, audio_;
  Owned<AVFormatContext> out_;
  Owned<AVFrame> frame_;
  Owned<AVPacket> packet_;
  SwsContext* sws_ = nullptr;
  AVStream* videoStream_ = nullptr;
  AVStream* audioStream_ = nullptr;
  std::map<std::int64_t, std::int64_t> durations_;
  std::int64_t samples_ = 0;
  std::size_t next_ = 0;
  SoundLog::Start playing_{0, nullptr};
};

// The game's area as the window shows it, at the window's scale. The window paints nothing
// while updates are off, so they are on for the picture alone: a shown window is not
// repainted meanwhile, as no events are processed.
QImage Canvas_Grab() {
  QWidget* client = Form1->Picture1.parentWidget();
  QImage image(client->size(), QImage::Format_RGB32);
  image.fill(Qt::black);
  Form1->setUpdatesEnabled(true);
  {
    QPainter painter(&image);
    client->render(&painter);
  }
  Form1->setUpdatesEnabled(false);
  return image;
}

// What the run changes, put back as it was however it ends.
class Aside {
 public:
  explicit Aside(SoundOutput* sound) : unseen_(sound), ticked_(Hook().SoundTicked) {
    // The video has the game's sound whatever the window's sound item says.
    Hook().SoundTicked = [] { return true; };
    // The watcher's overlays are the theatre's, not the game's picture.
    for (QWidget* w : Form1->findChildren<QWidget*>()) {
      const QString name = w->objectName();
      if (!w->isHidden() && (name == QLatin1String("theatreBar") ||
                             name == QLatin1String("theatreFigures") ||
                             name == QLatin1String("watchBanner"))) {
        w->hide();
        hidden_.push_back(w);
      }
    }
  }
  ~Aside() {
    Hook().SoundTicked = ticked_;
    for (const QPointer<QWidget>& w : hidden_) {
      if (!w.isNull()) w->show();
    }
  }
  Aside(const Aside&) = delete;
  Aside& operator=(const Aside&) = delete;

 private:
  Unseen unseen_;
  bool (*ticked_)();
  std::vector<QPointer<QWidget>> hidden_;
};

}  // namespace

ExportResult Export_Video(const ReplayRecord& record, const std::string& path, int scale,
                          bool mute) {
  ExportResult result;
  if (Form1 == nullptr) return result;
  scale = std::clamp(scale, 1, kMaxScale);
  av_log_set_level(AV_LOG_ERROR);
  Encoder encoder(kGameWidth * scale, kGameHeight * scale, !mute);
  if (const QString e = encoder.Open(); !e.isEmpty()) {
    result.error = e.toStdString();
    return result;
  }
  SoundLog log;
  const bool written = File_WriteStream(path, [&](int fd) {
    return encoder.Write(fd, [&] {
      Aside aside(&log);
      double ms = 0;
      bool ok = true;
      const ReplayOutcome out = Replay_RunAside(record, [&] {
        if (!ok) return;
        const auto from = static_cast<std::int64_t>(std::llround(ms));
        ms += Pass_Ms(Module1.WaitMs);
        const auto to = static_cast<std::int64_t>(std::llround(ms));
        ok = encoder.Picture(Canvas_Grab(), from, to - from);
        // No effect can start before the next pass: the track is complete up to here.
        log.now = to * kExportSampleRate / 1000;
        ok = ok && encoder.Sound(log, log.now, false);
        ++result.frames;
      });
      result.ms = static_cast<std::int64_t>(std::llround(ms));
      return ok && out.passes > 0 && encoder.Sound(log, log.now, true);
    });
  });
  if (!written) {
    result.error = !encoder.Error().isEmpty()
                       ? encoder.Error().toStdString()
                       : Tr(QT_TRANSLATE_NOOP("Export", "%1 に動画を書けませんでした。"))
                             .arg(QString::fromLocal8Bit(path.c_str()))
                             .toStdString();
    return result;
  }
  result.ok = true;
  return result;
}

int Replay_ExportFile(const std::string& replay, const std::string& path, int scale, bool mute) {
  const ReplayReadResult r = ReplayLibrary_Read(replay);
  if (!r.record) {
    std::fprintf(stderr, "tarnix: %s: %s\n", replay.c_str(), Replay_ErrorText(r).c_str());
    return 1;
  }
  const ExportResult out = Export_Video(*r.record, path, scale, mute);
  if (!out.ok) {
    std::fprintf(stderr, "tarnix: %s\n", out.error.c_str());
    return 1;
  }
  return 0;
}

int Replay_ExportMain(const std::string& replay, const std::string& path, int scale, bool mute) {
  Replay_QuietSeams();
  if (Module1.AppPath.empty()) {
    // The effects lie beside the executable.
    Module1.AppPath = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString() + "/";
  }
  Form1Window form;
  return Replay_ExportFile(replay, path, scale, mute);
}

namespace {

// The message that says where the video is.
void Export_Said(const std::string& path) {
  Platform().messages->Show(Tr(QT_TRANSLATE_NOOP("Export", "リプレイの動画を書きました。\n%1"))
                                .arg(QFile::decodeName(path.c_str()))
                                .toStdString(),
                            MessageIcon::kInformation);
}

}  // namespace

bool Export_Watched(const ReplayRecord& record) {
  const std::string path = Export_FreeName(record);
  const ExportResult r = Export_Video(record, path, kExportScale, /*mute=*/false);
  if (r.ok) {
    Export_Said(path);
  } else {
    Platform().messages->Show(r.error, MessageIcon::kCritical);
  }
  return r.ok;
}

namespace {

constexpr int kNoticeTop = 270;  // game pixels: the line sits just above the theatre's bar
constexpr int kNoticeRows = 14;
constexpr int kAlreadyMs = 2000;
constexpr int kChildNice = 10;

QString Making() { return Tr(QT_TRANSLATE_NOOP("Export", "動画を作っています…")); }

// The line over the canvas while a video is made apart, in the lettering of the theatre's.
class Notice final : public QLabel {
 public:
  explicit Notice(QWidget* canvas) : QLabel(canvas) {
    setObjectName(QStringLiteral("exportNotice"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setAlignment(Qt::AlignCenter);
    setStyleSheet(QStringLiteral("QLabel { color: #FFFFFF; background: rgba(0,0,0,176); }"));
    canvas->installEventFilter(this);
    back_.setSingleShot(true);
    QObject::connect(&back_, &QTimer::timeout, this, [this] { setText(Making()); });
  }
  void Say(const QString& text, int forMs = 0) {
    setText(text);
    if (forMs > 0) back_.start(forMs);
    Place();
    show();
    raise();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // The window's size changed: the line follows the canvas.
    if (event->type() == QEvent::Resize) Place();
    return QLabel::eventFilter(watched, event);
  }

 private:
  void Place() {
    const int n = Form1 != nullptr ? Form1->Scale() : 1;
    QFont f = Form1 != nullptr ? Form1->Label1[0].font() : font();
    f.setPixelSize(10 * n);
    setFont(f);
    setGeometry(ScaledRect(QRect(0, kNoticeTop, kGameWidth, kNoticeRows), n));
  }
  QTimer back_;
};

// A video being made by the game's own executable, and the copy of the replay it reads.
// It belongs to the window: closing it ends the process, and nothing is left in the
// temporary folder (the careful writer leaves the video whole or absent).
class Job final : public QObject {
 public:
  explicit Job(QObject* window) : QObject(window) {}
  ~Job() override {
    QObject::disconnect(&process, nullptr, this, nullptr);
    if (process.state() != QProcess::NotRunning) {
      process.kill();
      process.waitForFinished(-1);
    }
    delete notice.data();
  }
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;

  QProcess process;
  QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/tarnix-XXXXXX")};
  std::string video;
  QPointer<Notice> notice;
};

QPointer<Job> job;

// The line the process left for its reader: its own "tarnix: " line, else its last one.
QString Job_Error(const QByteArray& err) {
  QString own, last;
  for (const QByteArray& raw : err.split('\n')) {
    const QString line = QString::fromLocal8Bit(raw).trimmed();
    if (line.startsWith(QLatin1String("tarnix: "))) own = line.mid(8);
    else if (!line.isEmpty()) last = line;
  }
  return own.isEmpty() ? last : own;
}

void Job_Finished(int code, QProcess::ExitStatus status) {
  Job* done = job;
  if (done == nullptr) return;
  job = nullptr;
  const QByteArray err = done->process.readAllStandardError();
  const std::string video = done->video;
  const QString why = done->process.error() == QProcess::FailedToStart ||
                              status == QProcess::CrashExit
                          ? done->process.errorString()
                          : QString::number(code);
  done->dir.remove();
  delete done->notice.data();
  // Not from inside the process's own signal.
  done->deleteLater();
  struct stat info {};
  if (status == QProcess::NormalExit && code == 0 && ::lstat(video.c_str(), &info) == 0) {
    Export_Said(video);
    return;
  }
  QString error = Job_Error(err);
  if (error.isEmpty()) error = Tr(QT_TRANSLATE_NOOP("Export", "動画を作れませんでした（%1）。")).arg(why);
  Platform().messages->Show(error.toStdString(), MessageIcon::kCritical);
}

// A game that ends without closing its window (the display gone) still takes the process
// and the replay's copy with it.
void Job_AtExit() { delete job.data(); }

}  // namespace

bool Export_Apart(const ReplayRecord& record, const std::string& program) {
  if (program.empty() || Form1 == nullptr) return Export_Watched(record);
  if (job != nullptr) {
    if (!job->notice.isNull()) {
      job->notice->Say(Tr(QT_TRANSLATE_NOOP("Export", "動画はもう作っています…")), kAlreadyMs);
    }
    return false;
  }
  auto* j = new Job(Form1);
  const std::string replay = QFile::encodeName(j->dir.filePath(QStringLiteral("watched.tnr"))).toStdString();
  FileWrite how;
  how.ours = Replay_IsFile;
  how.limit = kReplayMaxBytes;
  if (!j->dir.isValid() || !File_Write(replay, Replay_Format(record), how)) {
    delete j;
    Platform().messages->Show(
        Tr(QT_TRANSLATE_NOOP("Export", "一時フォルダ %1 にリプレイを書けないため、動画を作れません。"))
            .arg(QDir::tempPath())
            .toStdString(),
        MessageIcon::kCritical);
    return false;
  }
  j->video = Export_FreeName(record);
  static const bool once = [] { return std::atexit(Job_AtExit) == 0; }();
  (void)once;
  job = j;
  j->notice = new Notice(&Form1->Picture1);
  j->notice->Say(Making());
  QProcess& p = j->process;
  p.setStandardInputFile(QProcess::nullDevice());
  p.setStandardOutputFile(QProcess::nullDevice());
  p.setChildProcessModifier([] {
    // The game's own work comes first, and a game that dies takes its helper with it.
    ::setpriority(PRIO_PROCESS, 0, kChildNice);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  });
  QObject::connect(&p, &QProcess::finished, j, Job_Finished);
  QObject::connect(&p, &QProcess::errorOccurred, j, [](QProcess::ProcessError e) {
    if (e == QProcess::FailedToStart) Job_Finished(-1, QProcess::CrashExit);
  });
  // Its messages in the game's language.
  QStringList arguments;
  if (!Language_Current().isEmpty()) arguments << QStringLiteral("--lang") << Language_Current();
  arguments << QStringLiteral("--export") << QFile::decodeName(j->video.c_str())
            << QFile::decodeName(replay.c_str());
  p.start(QFile::decodeName(program.c_str()), arguments);
  return true;
}

bool Export_Busy() { return job != nullptr; }

std::string Export_Folder() {
  const QString movies = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
  if (!movies.isEmpty()) {
    const std::string folder = QFile::encodeName(movies).toStdString() + "/";
    if (File_MakeFolder(folder) && ::access(folder.c_str(), W_OK) == 0) return folder;
  }
  return Settings_Folder();
}

std::string Export_FreeName(const ReplayRecord& record) {
  const std::string folder = Export_Folder();
  const std::string stamp =
      record.stamp.empty()
          ? QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmsszzz")).toStdString()
          : record.stamp;
  const std::string base = folder + "tarnix-" + stamp;
  std::string path = base + ".webm";
  struct stat info {};
  for (int n = 2; ::lstat(path.c_str(), &info) == 0; ++n) {
    path = base + "-" + std::to_string(n) + ".webm";
  }
  return path;
}

}  // namespace tarnix
