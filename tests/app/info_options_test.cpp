// --help and --version answer on any machine: no display, no toolkit platform, no lock. A
// start without a display says what to use instead and ends normally; a screenshot's page or
// button that does not exist is refused.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QLibraryInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "common/version.h"

namespace {

QProcess* runWithoutDisplay(QProcess& process, const QStringList& options) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
    env.remove(QLatin1String(name));
  process.setProcessEnvironment(env);
  process.start(QStringLiteral(TERN_BIN_DIR "/tern"), options);
  process.waitForFinished(15000);
  return &process;
}

TEST(InfoOptions, VersionAndHelpNeedNoDisplay) {
  QProcess version;
  runWithoutDisplay(version, {QStringLiteral("--version")});
  EXPECT_EQ(version.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(version.exitCode(), 0) << version.readAllStandardError().toStdString();
  EXPECT_EQ(version.readAllStandardOutput().toStdString(),
            std::string("TERN ") + tern::kProgramVersion + "\n");

  QProcess help;
  runWithoutDisplay(help, {QStringLiteral("--help")});
  EXPECT_EQ(help.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(help.exitCode(), 0) << help.readAllStandardError().toStdString();
  const QByteArray text = help.readAllStandardOutput();
  EXPECT_TRUE(text.contains("--simulate")) << text.toStdString();
  // The toolkit's words in German too, where the system has its German catalogue (the
  // set-up installs it).
  if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm"))
    GTEST_SKIP() << "no German catalogue of the toolkit here";
  for (const char* german : {"Aufruf: tern [Optionen]", "\nOptionen:\n", "\nArgumente:\n",
                             "Zeigt Hilfe zu den Kommandozeilenoptionen an.",
                             "Zeigt Versionsinformation an.", "Mit dem simulierten Empfänger"})
    EXPECT_TRUE(text.contains(german)) << german << "\n" << text.toStdString();
  for (const char* english : {"Usage", "Options:", "Displays"})
    EXPECT_FALSE(text.contains(english)) << english;
}

TEST(InfoOptions, AStartWithoutADisplayNamesTheServiceAndEndsNormally) {
  QProcess start;
  runWithoutDisplay(start, {QStringLiteral("--simulate")});
  EXPECT_EQ(start.exitStatus(), QProcess::NormalExit) << "no abort, no core dump";
  EXPECT_EQ(start.exitCode(), 1);
  const QString text = QString::fromUtf8(start.readAllStandardError());
  EXPECT_TRUE(text.contains(QStringLiteral("grafische Arbeitsumgebung"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("tern-cli watch"))) << text.toStdString();
}

TEST(InfoOptions, UnknownScreenshotPagesAndButtonsAreRefused) {
  const struct {
    QStringList options;
    const char* text;
  } cases[] = {
      {{"--page", "Keine solche Seite"}, "Keine Seite \"Keine solche Seite\""},
      {{"--click", "NoSuchButton"}, "Kein Werkzeugknopf \"NoSuchButton\""},
  };
  for (const auto& c : cases) {
    QTemporaryDir runtime, data;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TERN_BIN_DIR "/tern"),
            QStringList{"--simulate", "--data-folder", data.path(), "--screenshot",
                        data.path() + "/shot.png", "--quit-after", "20000"} +
                c.options);
    ASSERT_TRUE(p.waitForFinished(30000)) << c.text;
    EXPECT_EQ(p.exitCode(), 2) << c.text;
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QString::fromUtf8(c.text)))
        << c.text;
  }
}

}  // namespace
