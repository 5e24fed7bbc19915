#include "platform/autostart/DesktopEntry.h"

namespace platform::desktop {

QString EscapeValue(const QString& value) {
  QString out;
  out.reserve(value.size() + 8);
  for (qsizetype i = 0; i < value.size(); ++i) {
    const QChar c = value[i];
    if (c == QLatin1Char('\\'))
      out += QStringLiteral("\\\\");
    else if (c == QLatin1Char('\n'))
      out += QStringLiteral("\\n");
    else if (c == QLatin1Char('\t'))
      out += QStringLiteral("\\t");
    else if (c == QLatin1Char('\r'))
      out += QStringLiteral("\\r");
    else if (c == QLatin1Char(' ') && i == 0)
      out += QStringLiteral("\\s");
    else
      out += c;
  }
  return out;
}

QString UnescapeValue(const QString& raw) {
  QString out;
  out.reserve(raw.size());
  for (qsizetype i = 0; i < raw.size(); ++i) {
    const QChar c = raw[i];
    if (c != QLatin1Char('\\') || i + 1 == raw.size()) {
      out += c;
      continue;
    }
    const QChar n = raw[++i];
    switch (n.unicode()) {
      case 's':
        out += QLatin1Char(' ');
        break;
      case 'n':
        out += QLatin1Char('\n');
        break;
      case 't':
        out += QLatin1Char('\t');
        break;
      case 'r':
        out += QLatin1Char('\r');
        break;
      case '\\':
        out += QLatin1Char('\\');
        break;
      default:
        out += QLatin1Char('\\');
        out += n;
    }
  }
  return out;
}

QString QuoteExecArgument(const QString& argument) {
  QString out = QStringLiteral("\"");
  for (const QChar c : argument) {
    if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
        c == QLatin1Char('\\'))
      out += QLatin1Char('\\');
    if (c == QLatin1Char('%')) out += QLatin1Char('%');
    out += c;
  }
  out += QLatin1Char('"');
  return out;
}

namespace {

bool Reserved(QChar c) {
  static const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
  return kReserved.contains(c);
}

}  // namespace

std::optional<QStringList> SplitExec(const QString& exec) {
  QStringList args;
  qsizetype i = 0;
  const qsizetype n = exec.size();
  while (true) {
    while (i < n && exec[i] == QLatin1Char(' ')) ++i;
    if (i == n) break;
    QString arg;
    if (exec[i] == QLatin1Char('"')) {
      ++i;
      bool closed = false;
      while (i < n) {
        const QChar c = exec[i];
        if (c == QLatin1Char('"')) {
          closed = true;
          ++i;
          break;
        }
        if (c == QLatin1Char('\\')) {
          if (i + 1 == n) return std::nullopt;
          const QChar e = exec[i + 1];
          if (e != QLatin1Char('"') && e != QLatin1Char('`') && e != QLatin1Char('$') &&
              e != QLatin1Char('\\'))
            return std::nullopt;
          arg += e;
          i += 2;
          continue;
        }
        if (c == QLatin1Char('%')) {
          if (i + 1 < n && exec[i + 1] == QLatin1Char('%')) {
            arg += c;
            i += 2;
            continue;
          }
          return std::nullopt;
        }
        arg += c;
        ++i;
      }
      if (!closed) return std::nullopt;
      if (i < n && exec[i] != QLatin1Char(' ')) return std::nullopt;
    } else {
      while (i < n && exec[i] != QLatin1Char(' ')) {
        const QChar c = exec[i];
        if (c == QLatin1Char('%')) {
          if (i + 1 < n && exec[i + 1] == QLatin1Char('%')) {
            arg += c;
            i += 2;
            continue;
          }
          return std::nullopt;
        }
        if (Reserved(c)) return std::nullopt;
        arg += c;
        ++i;
      }
    }
    args << arg;
  }
  return args;
}

std::optional<QString> EntryValue(const QString& fileText, const QString& key) {
  bool inEntry = false;
  const QStringList lines = fileText.split(QLatin1Char('\n'));
  for (QString line : lines) {
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char('#'))) continue;
    if (t.startsWith(QLatin1Char('['))) {
      inEntry = t == QStringLiteral("[Desktop Entry]");
      continue;
    }
    if (!inEntry) continue;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0) continue;
    if (line.left(eq).trimmed() != key) continue;
    // Blanks around the = belong to the syntax, not to the value.
    QString raw = line.mid(eq + 1);
    qsizetype start = 0;
    while (start < raw.size() &&
           (raw[start] == QLatin1Char(' ') || raw[start] == QLatin1Char('\t')))
      ++start;
    return UnescapeValue(raw.mid(start));
  }
  return std::nullopt;
}

}  // namespace platform::desktop
