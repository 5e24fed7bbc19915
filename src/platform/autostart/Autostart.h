#pragma once

#include <QString>

namespace platform {

// The per-user autostart store: named values, each holding the full path of a
// program to start when the user logs on. Every operation either completes or
// throws platform::Error.
class AutostartStore {
 public:
  virtual ~AutostartStore() = default;
  // The program path held under name; empty when there is none (or when the
  // entry would not start exactly one program without arguments).
  virtual QString Read(const QString& name) = 0;
  // Creates or replaces the value.
  virtual void Write(const QString& name, const QString& programPath) = 0;
  // Removes the value; a missing value is no error.
  virtual void Delete(const QString& name) = 0;
};

// The freedesktop autostart folder: a value is the entry <name>.desktop in
// $XDG_CONFIG_HOME/autostart (~/.config/autostart when that is unset or not an
// absolute path), whose Exec starts the program.
class DesktopAutostartStore : public AutostartStore {
 public:
  QString Read(const QString& name) override;
  void Write(const QString& name, const QString& programPath) override;
  void Delete(const QString& name) override;

  static QString Folder();
  static QString EntryPath(const QString& name);
  // The whole text of the entry written for a program.
  static QString EntryText(const QString& name, const QString& programPath);
};

AutostartStore& GetAutostart();
// nullptr puts the real store back.
void SetAutostart(AutostartStore* store);

}  // namespace platform
