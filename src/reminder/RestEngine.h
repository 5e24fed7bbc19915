#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

#include "monitor/RunState.h"

// The settings page's controls as the rest engine sees them. Read at the moment
// of use, never copied. Implemented by the settings page.
class IRestSettings {
 public:
  virtual ~IRestSettings() = default;

  // Interval scheme: "智能模式" selects the smart scheme.
  virtual QString PickEdit3Text() = 0;
  // Age group and the items of its list.
  virtual QString edOccupationText() = 0;
  virtual QStringList edOccupationItems() = 0;
  // Working minutes of the manual scheme; the engine may put "45" back.
  virtual QString edStateText() = 0;
  virtual void SetEdStateText(const QString& text) = 0;
  // Rest minutes of the manual scheme; the engine may put "15" back.
  virtual QString PickEdit1Text() = 0;
  virtual void SetPickEdit1Text(const QString& text) = 0;
  // Reminder switches: tray animation, sound, balloon.
  virtual bool CheckEdit4Checked() = 0;
  virtual bool CheckEdit5Checked() = 0;
  virtual bool CheckEdit6Checked() = 0;
  // The chosen wave file.
  virtual QString ButtonEdit1Text() = 0;
  // The reminder text, lines joined by CR LF.
  virtual QString Memo1Text() = 0;

  // Countdown, working total and rest total labels.
  virtual void SetLabel1(const QString& text) = 0;
  virtual void SetLabel20(const QString& text) = 0;
  virtual void SetLabel22(const QString& text) = 0;
};

// What the engine needs of the main window and its tray icon. Implemented by the
// main window.
class IRestHost {
 public:
  virtual ~IRestHost() = default;

  // True while the main window is on screen (not hidden in the tray).
  virtual bool MainWindowShowing() = 0;
  // The tray icon's balloon; kind 1 is the info icon.
  virtual void ShowBalloon(const QString& title, const QString& text, int kind,
                           std::uint8_t seconds) = 0;
  // true: the tray icon's IconList := ImageList2; false: IconList := none.
  virtual void SetIconList(bool imageList2) = 0;
  virtual void SetCycleIcons(bool on) = 0;
  // Loads the tray icon's Icon from a file; throws platform::Error when the file
  // cannot be loaded.
  virtual void LoadIconFromFile(const QString& path) = 0;
};

// The one-second work/rest countdown with its reminders, the interval policy,
// the restart of timing and the idle check. Keeps no state beyond the run state.
class TRestEngine {
 public:
  static constexpr int kBalloonInfo = 1;
  static constexpr std::uint8_t kBalloonSeconds = 10;

  // settings may be nullptr: every text reads as empty, every box as clear.
  TRestEngine(TRunState& state, IRestHost& host, IRestSettings* settings);

  void SetSettings(IRestSettings* settings);
  IRestSettings* Settings() const { return settings_; }
  IRestHost& Host() const { return host_; }

  // One tick of TimerHint. Errors (an icon that cannot be loaded) leave it.
  void TimerHintTimer();
  // Arm CountdownMs with the phase length; give the minutes text as used.
  QString WorkIntervalMinutes();
  QString RestIntervalMinutes();
  // Working minutes of the smart scheme for the current age group; 0 if unknown.
  int SmartWorkMinutes();
  void PlayReminderSound();
  void StartRestAnimation();
  void StopRestAnimation();
  // The tray menu's restart of timing.
  void N2Click();
  // The five-second idle check, run after each save.
  void IdleCheck();
  // First-show step: arm the first working phase and announce the running program.
  void StartFirstWorkingPhase();

  // "1 时 2 分 5 秒".
  static QString FormatHms(std::int32_t seconds);
  // The countdown label: "44分59秒", "0分-1秒".
  static QString CountdownText(std::int32_t countdownMs);
  // The tray tooltip: "离休息还剩：45 分钟；" (minutes rounded half to even).
  static QString TrayHintText(std::int32_t countdownMs);
  // Minutes the tooltip shows for a countdown.
  static std::int32_t HintMinutes(std::int32_t countdownMs);

 private:
  TRunState& state_;
  IRestHost& host_;
  IRestSettings* settings_;
};

// The program's engine, made by the main window.
extern TRestEngine* RestEngine;
