// The sound layer against a real PulseAudio server with a null sink, started by
// run_under_pulse.sh. What reaches the sink is recorded from its monitor.
#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "platform/sound/CanberraSound.h"
#include "support/Fakes.h"

using namespace std::chrono_literals;
using platform::CanberraSoundPlayer;

namespace {

const QString kEnterWav = QStringLiteral(TALVENOR_ENTER_WAV);

pid_t PulsePid() {
  const char* pid = std::getenv("TALVENOR_PULSE_PID");
  return pid ? static_cast<pid_t>(std::atoi(pid)) : 0;
}

void Pump(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QString RunTool(const QString& program, const QStringList& args, bool stderrToo = false) {
  QProcess p;
  if (stderrToo) p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, args);
  p.waitForFinished(20000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

// Records the null sink's monitor while it lives; Rms() stops and measures.
class MonitorRecording {
 public:
  explicit MonitorRecording(const QString& raw) : raw_(raw) {
    parec_.setStandardOutputFile(raw_);
    parec_.start(
        QStringLiteral("parec"),
        {QStringLiteral("--latency-msec=20"), QStringLiteral("-d"),
         QStringLiteral("talvenor_null.monitor"), QStringLiteral("--format=s16le"),
         QStringLiteral("--rate=44100"), QStringLiteral("--channels=1"), QStringLiteral("--raw")});
    // The null sink's monitor may take a second or two to deliver its first
    // data; nothing is played before it does.
    if (!parec_.waitForStarted(5000)) return;
    QElapsedTimer t;
    t.start();
    while (QFile(raw_).size() == 0 && t.elapsed() < 8000) Pump(20);
    started_ = QFile(raw_).size() > 0;
  }
  ~MonitorRecording() { Stop(); }

  bool Started() const { return started_; }

  void Stop() {
    if (parec_.state() == QProcess::NotRunning) return;
    parec_.terminate();
    if (!parec_.waitForFinished(5000)) parec_.kill();
    parec_.waitForFinished(5000);
  }

  // RMS amplitude of what was recorded, as sox measures it (1.0 = full scale);
  // -1 when nothing could be measured.
  double Rms() {
    Stop();
    if (QFile(raw_).size() < 44100) return -1;  // under half a second
    const QString stat =
        RunTool(QStringLiteral("sox"),
                {QStringLiteral("-t"), QStringLiteral("raw"), QStringLiteral("-r"),
                 QStringLiteral("44100"), QStringLiteral("-e"), QStringLiteral("signed"),
                 QStringLiteral("-b"), QStringLiteral("16"), QStringLiteral("-c"),
                 QStringLiteral("1"), raw_, QStringLiteral("-n"), QStringLiteral("stat")},
                true);
    const auto m = QRegularExpression(QStringLiteral("RMS\\s+amplitude:\\s+([0-9.]+)")).match(stat);
    return m.hasMatch() ? m.captured(1).toDouble() : -1;
  }

 private:
  QString raw_;
  QProcess parec_;
  bool started_ = false;
};

int SinkInputs() {
  const QString out =
      RunTool(QStringLiteral("pactl"),
              {QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sink-inputs")});
  return static_cast<int>(out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size());
}

class SoundLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    if (PulsePid() == 0) GTEST_SKIP() << "run through run_under_pulse.sh";
    ASSERT_TRUE(dir_.isValid());
  }
  QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

  // A sine tone of the given length, made with sox.
  QString Tone(const char* name, int hz, double seconds) {
    const QString out = Path(name);
    RunTool(QStringLiteral("sox"),
            {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"),
             QStringLiteral("-b"), QStringLiteral("16"), QStringLiteral("-c"), QStringLiteral("1"),
             out, QStringLiteral("synth"), QString::number(seconds), QStringLiteral("sine"),
             QString::number(hz), QStringLiteral("vol"), QStringLiteral("0.5")});
    return out;
  }

  QTemporaryDir dir_;
};

// Stops the server for the lifetime of the object.
class StoppedServer {
 public:
  StoppedServer() { stopped_ = kill(PulsePid(), SIGSTOP) == 0; }
  ~StoppedServer() { Continue(); }
  bool Stopped() const { return stopped_; }
  void Continue() {
    if (stopped_) kill(PulsePid(), SIGCONT);
    stopped_ = false;
  }

 private:
  bool stopped_ = false;
};

}  // namespace

struct PlayCase {
  const char* name;
  QString (*file)(const QString& dir);
  bool audible;
};

class SoundOnTheSink : public SoundLayer, public ::testing::WithParamInterface<PlayCase> {};

TEST_P(SoundOnTheSink, ReachesTheSinkOnlyForAReadableWave) {
  const PlayCase& c = GetParam();
  const QString file = c.file(dir_.path());
  if (file.endsWith(QStringLiteral(".txt"))) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("RIFF but not really a wave file\n");
  }
  fakes::CoreFakes core;
  CanberraSoundPlayer player;
  MonitorRecording rec(Path("monitor.raw"));
  ASSERT_TRUE(rec.Started());
  player.Play(file);
  ASSERT_TRUE(player.WaitIdle(10s));
  Pump(1500);
  const double rms = rec.Rms();
  ASSERT_GE(rms, 0) << "nothing recorded";
  if (c.audible) {
    EXPECT_GT(rms, 0.01) << "the chime did not reach the sink";
    EXPECT_EQ(player.LastResult(), 0);
  } else {
    EXPECT_LT(rms, 0.001);
    EXPECT_NE(player.LastResult(), 0);
  }
  EXPECT_TRUE(core.errors.shown.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, SoundOnTheSink,
    ::testing::Values(PlayCase{"EnterWav", [](const QString&) { return kEnterWav; }, true},
                      PlayCase{"MissingFile",
                               [](const QString& d) { return d + QStringLiteral("/no-such.wav"); },
                               false},
                      PlayCase{"NotAWave",
                               [](const QString& d) { return d + QStringLiteral("/bad.txt"); },
                               false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SoundLayer, ANewSoundReplacesTheOnePlaying) {
  const QString low = Tone("low.wav", 440, 4);
  const QString high = Tone("high.wav", 880, 4);
  CanberraSoundPlayer player;
  player.Play(low);
  ASSERT_TRUE(player.WaitIdle(10s));
  ASSERT_EQ(player.LastResult(), 0);
  Pump(500);
  ASSERT_EQ(SinkInputs(), 1);
  player.Play(high);
  ASSERT_TRUE(player.WaitIdle(10s));
  ASSERT_EQ(player.LastResult(), 0);
  // Both tones would still be playing for three seconds if the first went on.
  for (int i = 0; i < 4; ++i) {
    Pump(300);
    EXPECT_EQ(SinkInputs(), 1) << "check " << i;
  }
}

TEST_F(SoundLayer, AServerThatStopsAnsweringNeverBlocksTheCaller) {
  for (const bool connectedBefore : {false, true}) {
    SCOPED_TRACE(connectedBefore ? "connected before the stop" : "first play after the stop");
    CanberraSoundPlayer player;
    if (connectedBefore) {
      player.Play(kEnterWav);
      ASSERT_TRUE(player.WaitIdle(10s));
      ASSERT_EQ(player.LastResult(), 0);
    }
    const int before = player.PlayedCount();
    StoppedServer stopped;
    ASSERT_TRUE(stopped.Stopped());

    // A caller stuck in Play is freed by this watchdog after a while, and the
    // test then fails instead of hanging.
    std::mutex m;
    std::condition_variable cv;
    bool callerBack = false;
    std::atomic<bool> watchdogFired{false};
    std::thread watchdog([&] {
      std::unique_lock lock(m);
      if (!cv.wait_for(lock, 8s, [&] { return callerBack; })) {
        watchdogFired = true;
        kill(PulsePid(), SIGCONT);
      }
    });
    for (int i = 0; i < 5; ++i) player.Play(kEnterWav);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    Pump(1000);
    timer.stop();
    {
      std::lock_guard lock(m);
      callerBack = true;
    }
    cv.notify_all();
    watchdog.join();
    EXPECT_FALSE(watchdogFired) << "Play blocked on the stopped server";
    EXPECT_GE(ticks, 10) << "the event loop stalled";
    // The worker really is held by the server, so the test shows something.
    EXPECT_FALSE(player.WaitIdle(200ms));

    stopped.Continue();
    ASSERT_TRUE(player.WaitIdle(40s));
    // The held request and the latest one; the three in between were replaced.
    EXPECT_LE(player.PlayedCount() - before, 2);
    EXPECT_GE(player.PlayedCount() - before, 1);
  }
}

TEST_F(SoundLayer, NoServerIsSilentAndAServerThatComesLaterIsFound) {
  fakes::CoreFakes core;
  CanberraSoundPlayer player;
  ASSERT_EQ(setenv("PULSE_SERVER", "unix:/nonexistent/talvenor/native", 1), 0);
  player.Play(kEnterWav);
  const bool idle = player.WaitIdle(10s);
  unsetenv("PULSE_SERVER");
  ASSERT_TRUE(idle);
  EXPECT_NE(player.LastResult(), 0);
  EXPECT_TRUE(core.errors.shown.isEmpty());

  MonitorRecording rec(Path("monitor.raw"));
  ASSERT_TRUE(rec.Started());
  player.Play(kEnterWav);
  ASSERT_TRUE(player.WaitIdle(10s));
  Pump(1500);
  EXPECT_EQ(player.LastResult(), 0);
  EXPECT_GT(rec.Rms(), 0.01);
}
