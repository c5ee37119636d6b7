// Start-up to the first shown window: Quellar against a bare Qt Widgets window
// (empty, and with one label), each started as a fresh process on the same
// platform, in turn, in the same run. Reports the median wall time from process
// start to first paint, the median time inside the process, and the ratios.
//
//   startup_bench [runs [platform]]   (default 21 runs of each, after one warm-up,
//                                      on the offscreen platform; "xcb" needs a
//                                      display, e.g. under scripts/with-xvfb)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Sample {
  double wallMs = 0;
  double inProcessMs = 0;
};

QString platform = QStringLiteral("offscreen");

bool Run(const QString& program, const QStringList& arguments, Sample& sample) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
  process.setProcessEnvironment(environment);
  process.setProcessChannelMode(QProcess::SeparateChannels);
  QElapsedTimer wall;
  wall.start();
  process.start(program, arguments);
  QByteArray output;
  while (!output.contains('\n')) {
    if (!process.waitForReadyRead(30000))
      break;
    output += process.readAllStandardOutput();
  }
  sample.wallMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
  process.waitForFinished(30000);
  const QByteArray line = output.left(output.indexOf('\n'));
  if (!line.startsWith("shown ")) {
    std::fprintf(stderr, "%s did not report its window: %s\n", qPrintable(program),
                 process.readAllStandardError().constData());
    return false;
  }
  sample.inProcessMs = line.mid(6).toDouble();
  return true;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A settings file of the usual kind: a few clans per server and a proxy.
bool WriteSettings(const QTemporaryDir& directory) {
  std::string text = "[x3]\r\n";
  for (int i = 1; i <= 20; ++i)
    text += "ClanName" + std::to_string(i) + "=Clan" + std::to_string(i) + "\r\n";
  text += "[x300]\r\n";
  for (int i = 1; i <= 20; ++i)
    text += "ClanName" + std::to_string(i) + "=\xCA\xEB\xE0\xED" + std::to_string(i) + "\r\n";
  text += "[Proxy]\r\nuse=0\r\nserver=127.0.0.1\r\nport=8080\r\n";
  QFile file(directory.filePath(QStringLiteral("options.ini")));
  return file.open(QIODevice::WriteOnly) &&
         file.write(text.data(), static_cast<qint64>(text.size())) ==
             static_cast<qint64>(text.size());
}

struct Subject {
  const char* title;
  QString program;
  QStringList arguments;
  std::vector<double> wall;
  std::vector<double> inside;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
  if (argc > 2)
    platform = QString::fromLocal8Bit(argv[2]);
  const QDir here(QCoreApplication::applicationDirPath());
  QTemporaryDir settings;
  if (!settings.isValid() || !WriteSettings(settings)) {
    std::fprintf(stderr, "cannot write the settings file\n");
    return 1;
  }
  const QString bare = here.filePath(QStringLiteral("startup_bare_window"));
  std::vector<Subject> subjects = {
      {"bare Qt Widgets window", bare, {}, {}, {}},
      {"bare window with a label", bare, {QStringLiteral("label")}, {}, {}},
      {"Quellar main window",
       here.filePath(QStringLiteral("startup_quellar_window")),
       {QDir::toNativeSeparators(settings.path())},
       {},
       {}},
  };

  Sample sample;
  for (const Subject& subject : subjects) {  // warm-up
    if (!Run(subject.program, subject.arguments, sample))
      return 1;
  }
  for (int i = 0; i < runs; ++i) {
    // Rotate the order so that no subject always follows the same one.
    for (std::size_t k = 0; k < subjects.size(); ++k) {
      Subject& subject = subjects[(k + static_cast<std::size_t>(i)) % subjects.size()];
      if (!Run(subject.program, subject.arguments, sample))
        return 1;
      subject.wall.push_back(sample.wallMs);
      subject.inside.push_back(sample.inProcessMs);
    }
  }

  std::printf("start-up to first paint, %s platform, median of %d runs each\n",
              qPrintable(platform), runs);
  for (const Subject& subject : subjects) {
    std::printf("  %-26s %8.2f ms  (%.2f ms inside the process)\n", subject.title,
                Median(subject.wall), Median(subject.inside));
  }
  const double quellar = Median(subjects[2].wall);
  std::printf("  ratio Quellar / bare window:            %5.2f  (target at most 1.25 on xcb)\n",
              quellar / Median(subjects[0].wall));
  std::printf("  ratio Quellar / bare window with label: %5.2f\n",
              quellar / Median(subjects[1].wall));
  return 0;
}
