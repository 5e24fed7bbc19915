#include "reminder/RestEngine.h"

#include <QFileInfo>
#include <limits>

#include "platform/core/Clock.h"
#include "platform/core/System.h"
#include "platform/sound/Sound.h"

TRestEngine* RestEngine = nullptr;

namespace {

const QString kSmartScheme = QStringLiteral("智能模式");
const QString kTitle = QStringLiteral("提示");

// The longest interval whose milliseconds fit the signed 32-bit countdown.
constexpr std::int32_t kMaxMinutes = std::numeric_limits<std::int32_t>::max() / 60000;

// Minutes as typed: an optional sign and decimal digits, nothing else. -1 and
// values whose milliseconds would not fit the countdown count as no number.
bool ParseMinutes(const QString& text, std::int32_t& minutes) {
  int i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
    negative = text[i] == QLatin1Char('-');
    ++i;
  }
  if (i == text.size()) return false;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c < u'0' || c > u'9') return false;
    value = value * 10 + (c - u'0');
    if (value > kMaxMinutes) return false;
  }
  if (negative) value = -value;
  if (value == -1) return false;
  minutes = static_cast<std::int32_t>(value);
  return true;
}

std::int32_t Increment(std::int32_t v) {
  return v == std::numeric_limits<std::int32_t>::max() ? v : v + 1;
}

}  // namespace

TRestEngine::TRestEngine(TRunState& state, IRestHost& host, IRestSettings* settings)
    : state_(state), host_(host), settings_(settings) {}

void TRestEngine::SetSettings(IRestSettings* settings) {
  settings_ = settings;
}

QString TRestEngine::WorkIntervalMinutes() {
  QString minutes;
  if (settings_ && settings_->PickEdit3Text() == kSmartScheme) {
    minutes = QString::number(SmartWorkMinutes());
  } else {
    const QString text = settings_ ? settings_->edStateText() : QString();
    std::int32_t m = 0;
    if (ParseMinutes(text, m)) {
      minutes = text;
    } else {
      minutes = QStringLiteral("45");
      if (settings_) settings_->SetEdStateText(minutes);
    }
  }
  std::int32_t m = 0;
  ParseMinutes(minutes, m);
  state_.CountdownMs = m * 60000;
  return minutes;
}

QString TRestEngine::RestIntervalMinutes() {
  QString minutes;
  if (settings_ && settings_->PickEdit3Text() == kSmartScheme) {
    minutes = QStringLiteral("10");
  } else {
    const QString text = settings_ ? settings_->PickEdit1Text() : QString();
    std::int32_t m = 0;
    if (ParseMinutes(text, m)) {
      minutes = text;
    } else {
      minutes = QStringLiteral("15");
      if (settings_) settings_->SetPickEdit1Text(minutes);
    }
  }
  std::int32_t m = 0;
  ParseMinutes(minutes, m);
  state_.CountdownMs = m * 60000;
  return minutes;
}

int TRestEngine::SmartWorkMinutes() {
  static constexpr int kMinutes[] = {40, 45, 50, 55, 60};
  if (!settings_) return 0;
  const QString age = settings_->edOccupationText();
  const QStringList items = settings_->edOccupationItems();
  for (int i = 0; i < items.size(); ++i) {
    if (items[i].compare(age, Qt::CaseInsensitive) == 0)
      return i < static_cast<int>(std::size(kMinutes)) ? kMinutes[i] : 0;
  }
  return 0;
}

void TRestEngine::PlayReminderSound() {
  const QString chosen = settings_ ? settings_->ButtonEdit1Text() : QString();
  if (!chosen.isEmpty() && QFileInfo(chosen).isFile()) {
    platform::GetSound().Play(chosen);
    return;
  }
  const QString fallback = platform::GetSystem().ExeDir() + QStringLiteral("/res/enter.wav");
  if (QFileInfo(fallback).isFile()) platform::GetSound().Play(fallback);
}

void TRestEngine::StartRestAnimation() {
  host_.SetIconList(true);
  host_.SetCycleIcons(true);
}

void TRestEngine::StopRestAnimation() {
  host_.SetIconList(false);
  // A failed load throws: cycling then stays on, as the caller's guard reports.
  host_.LoadIconFromFile(platform::GetSystem().ExeDir() + QStringLiteral("/Eyes 2.ico"));
  host_.SetCycleIcons(false);
}

void TRestEngine::TimerHintTimer() {
  if (state_.IsWorking)
    state_.WorkSeconds = Increment(state_.WorkSeconds);
  else
    state_.RestSeconds = Increment(state_.RestSeconds);

  if (state_.CountdownMs <= 0) {
    if (state_.IsWorking) {
      if (settings_ && settings_->CheckEdit4Checked()) StartRestAnimation();
      const QString minutes = RestIntervalMinutes();
      if (settings_ && settings_->CheckEdit6Checked())
        host_.ShowBalloon(kTitle,
                          settings_->Memo1Text() + QStringLiteral("\r请您休息：") + minutes +
                              QStringLiteral("分钟."),
                          kBalloonInfo, kBalloonSeconds);
      if (settings_ && settings_->CheckEdit5Checked()) PlayReminderSound();
      state_.IsWorking = false;
    } else {
      const QString minutes = WorkIntervalMinutes();
      host_.ShowBalloon(
          kTitle,
          QStringLiteral("开始新的计时.\r离下一次休息还剩：") + minutes + QStringLiteral("分钟."),
          kBalloonInfo, kBalloonSeconds);
      state_.IsWorking = true;
      if (settings_ && settings_->CheckEdit4Checked()) StopRestAnimation();
    }
  }

  // Every armed countdown is at least -35791 minutes, so this cannot overflow.
  state_.CountdownMs -= 1000;

  if (host_.MainWindowShowing() && settings_) {
    settings_->SetLabel1(CountdownText(state_.CountdownMs));
    settings_->SetLabel20(FormatHms(state_.WorkSeconds));
    settings_->SetLabel22(FormatHms(state_.RestSeconds));
  }
}

void TRestEngine::N2Click() {
  const QString minutes = WorkIntervalMinutes();
  host_.ShowBalloon(QStringLiteral("已经开始从新计时"),
                    QStringLiteral("离下一次休息还剩：") + minutes + QStringLiteral("分钟."),
                    kBalloonInfo, kBalloonSeconds);
  state_.IsWorking = true;
  StopRestAnimation();
}

void TRestEngine::StartFirstWorkingPhase() {
  const QString minutes = WorkIntervalMinutes();
  host_.ShowBalloon(
      kTitle,
      QStringLiteral("Talvenor正在运行.\r离下一次休息还剩：") + minutes + QStringLiteral("分钟."),
      kBalloonInfo, kBalloonSeconds);
}

void TRestEngine::IdleCheck() {
  const bool smart = settings_ && settings_->PickEdit3Text() == kSmartScheme;
  if (smart && state_.KeyCount == state_.CheckKeyCount &&
      state_.ClickCount == state_.CheckClickCount &&
      state_.MouseDistance == state_.CheckMouseDistance) {
    // Renewed at every quiet check, so the give-back on the next input is at
    // most one check period, however long the spell lasted.
    state_.IdlePending = true;
    state_.IdleSinceTick = platform::GetTickCount();
  }
  state_.CheckKeyCount = state_.KeyCount;
  state_.CheckClickCount = state_.ClickCount;
  state_.CheckMouseDistance = state_.MouseDistance;
}

QString TRestEngine::FormatHms(std::int32_t seconds) {
  const std::int32_t minutesTotal = seconds / 60;
  return QString::number(minutesTotal / 60) + QStringLiteral(" 时 ") +
         QString::number(minutesTotal % 60) + QStringLiteral(" 分 ") +
         QString::number(seconds % 60) + QStringLiteral(" 秒");
}

QString TRestEngine::CountdownText(std::int32_t countdownMs) {
  return QString::number(countdownMs / 60000) + QStringLiteral("分") +
         QString::number((countdownMs % 60000) / 1000) + QStringLiteral("秒");
}

std::int32_t TRestEngine::HintMinutes(std::int32_t countdownMs) {
  std::int32_t whole = countdownMs / 60000;
  const std::int32_t rest = countdownMs % 60000;  // sign of countdownMs
  const std::int32_t twice = rest < 0 ? -2 * rest : 2 * rest;
  const std::int32_t away = countdownMs < 0 ? -1 : 1;
  if (twice > 60000 || (twice == 60000 && whole % 2 != 0)) whole += away;
  return whole;
}

QString TRestEngine::TrayHintText(std::int32_t countdownMs) {
  return QStringLiteral("离休息还剩：") + QString::number(HintMinutes(countdownMs)) +
         QStringLiteral(" 分钟；");
}
