#include "watch/watch_options.h"

#include <optional>

#include "common/server.h"

namespace quellar::watch {
namespace {

// The auto-refresh period, as the window's spin field allows it.
constexpr int kMinMinutes = 1;
constexpr int kMaxMinutes = 60;
// A report covers up to ten years.
constexpr int kMaxReportDays = 3650;

CommandLine UsageError(const QString& reason) {
  CommandLine command;
  command.action = CommandLine::Action::kUsageError;
  command.usageError = reason;
  return command;
}

// Decimal digits alone, no more of them than high has, from low to high.
std::optional<int> Number(const QString& text, int low, int high) {
  if (text.isEmpty() || text.size() > QString::number(high).size())
    return std::nullopt;
  for (QChar c : text) {
    if (c < u'0' || c > u'9')
      return std::nullopt;
  }
  const int number = text.toInt();
  if (number < low || number > high)
    return std::nullopt;
  return number;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
  CommandLine command;
  WatchOptions& options = command.options;
  QStringList operands;
  bool optionsEnded = false;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (optionsEnded || !argument.startsWith(u'-') || argument == u"-") {
      operands << argument;
      continue;
    }
    if (argument == u"--") {
      optionsEnded = true;
      continue;
    }
    const qsizetype equals = argument.indexOf(u'=');
    const QString name = equals < 0 ? argument : argument.left(equals);
    const bool takesValue = name == u"--server" || name == u"--every" || name == u"--report";
    if (!takesValue && equals >= 0)
      return UsageError(QStringLiteral(u"параметр %1 не принимает значения").arg(name));
    QString value;
    if (takesValue) {
      if (equals >= 0)
        value = argument.mid(equals + 1);
      else if (i + 1 < arguments.size())
        value = arguments[++i];
      else
        return UsageError(QStringLiteral(u"параметру %1 нужно значение").arg(name));
    }

    if (name == u"--help") {
      command.action = CommandLine::Action::kHelp;
      return command;
    }
    if (name == u"--version") {
      command.action = CommandLine::Action::kVersion;
      return command;
    }
    if (name == u"--case") {
      options.caseSensitive = true;
    } else if (name == u"--json") {
      options.json = true;
    } else if (name == u"--history") {
      options.history = true;
    } else if (name == u"--server") {
      const std::optional<Server> server = ServerNamed(value.toUtf8().toStdString());
      if (!server)
        return UsageError(QStringLiteral(u"сервер должен быть x3 или x300, а не «%1»").arg(value));
      options.server = *server;
    } else if (name == u"--every") {
      const std::optional<int> minutes = Number(value, kMinMinutes, kMaxMinutes);
      if (!minutes)
        return UsageError(
            QStringLiteral(u"период должен быть числом минут от 1 до 60, а не «%1»").arg(value));
      options.everyMinutes = *minutes;
    } else if (name == u"--report") {
      const std::optional<int> days = Number(value, 1, kMaxReportDays);
      if (!days)
        return UsageError(QStringLiteral(u"число дней должно быть от 1 до %1, а не «%2»")
                              .arg(kMaxReportDays)
                              .arg(value));
      options.reportDays = *days;
    } else {
      return UsageError(QStringLiteral(u"неизвестный параметр %1").arg(argument));
    }
  }

  // A report reads the history alone: it neither fetches nor records.
  if (options.reportDays > 0 && (options.everyMinutes > 0 || options.history))
    return UsageError(QStringLiteral(u"--report нельзя сочетать с --every и --history"));
  if (operands.isEmpty())
    return UsageError(QStringLiteral(u"не указан клан"));
  if (operands.size() > 1)
    return UsageError(
        QStringLiteral(u"лишний аргумент «%1»: клан указывается один").arg(operands[1]));
  options.clan = operands.front();
  return command;
}

QString HelpText() {
  return QStringLiteral(
      u"Использование: quellar-watch [ПАРАМЕТРЫ] [--] КЛАН\n"
      u"       quellar-watch --report ДНИ [ПАРАМЕТРЫ] [--] КЛАН\n"
      u"Показывает, кто из клана КЛАН сейчас в игре на сервере Vorlane.\n"
      u"\n"
      u"Без --every печатает состав клана в порядке ников, по строке на игрока:\n"
      u"ник, время игры, регистрация и профессия через табуляцию. Онлайн клана и\n"
      u"онлайн сервера выводятся в поток ошибок.\n"
      u"С --every запрашивает клан каждые МИНУТЫ минут, пока программу не\n"
      u"остановят, и после каждого удачного запроса печатает, кто пришёл\n"
      u"(«+», табуляция, ник) и кто ушёл («-», табуляция, ник) с прошлого удачного\n"
      u"запроса. Первый запрос ничего не печатает: с ним сравнивается следующий.\n"
      u"\n"
      u"Параметры:\n"
      u"  --server x3|x300  игровой сервер (по умолчанию x3)\n"
      u"  --case            с учетом регистра в названии клана\n"
      u"  --every МИНУТЫ    следить за кланом, запрашивая его каждые 1–60 минут\n"
      u"  --json            строки JSON вместо текста: {\"nick\", \"playTime\",\n"
      u"                    \"registration\", \"profession\"} на игрока, с --every\n"
      u"                    {\"event\": \"online\" или \"offline\", \"nick\", \"clan\",\n"
      u"                    \"server\", \"time\"} на каждое изменение, с --report\n"
      u"                    {\"nick\", \"lastSeen\", \"hours\", \"daysWithPlay\"}\n"
      u"  --history         записывать каждый удачный запрос в историю, как quellar\n"
      u"                    с включённым «Записывать историю»\n"
      u"  --report ДНИ      ничего не запрашивать, а напечатать из истории всех, кого\n"
      u"                    запросы клана когда-либо видели, в порядке ников: ник,\n"
      u"                    когда последний раз был в игре (местное время), часов в\n"
      u"                    игре и дней с игрой за последние ДНИ дней (1–3650),\n"
      u"                    через табуляцию\n"
      u"  --help            показать эту справку и выйти\n"
      u"  --version         показать версию и выйти\n"
      u"\n"
      u"Прокси берётся из options.ini, как у quellar. Ошибка запроса выводится в\n"
      u"поток ошибок; с --every программа продолжает работу.\n"
      u"\n"
      u"История хранится в history.sqlite рядом с options.ini, если настройки\n"
      u"лежат рядом с программой, иначе в ~/.local/share/quellar. Ошибка записи\n"
      u"истории выводится одной строкой в поток ошибок, и программа продолжает\n"
      u"работу. Онлайн считается между соседними удачными запросами клана не дальше\n"
      u"65 минут друг от друга.\n"
      u"\n"
      u"Код завершения: 0 — состав получен или история напечатана, 1 — ошибка\n"
      u"запроса или в истории нет этого клана, 2 — ошибка в параметрах.\n");
}

}  // namespace quellar::watch
