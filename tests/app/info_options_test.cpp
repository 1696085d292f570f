// --help and --version answer on any machine: no display, no toolkit platform, no lock.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "common/version.h"

namespace {

QProcess* runWithoutDisplay(QProcess& process, const QString& option) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
    env.remove(QLatin1String(name));
  process.setProcessEnvironment(env);
  process.start(QStringLiteral(TERN_BIN_DIR "/tern"), {option});
  process.waitForFinished(15000);
  return &process;
}

TEST(InfoOptions, VersionAndHelpNeedNoDisplay) {
  QProcess version;
  runWithoutDisplay(version, QStringLiteral("--version"));
  EXPECT_EQ(version.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(version.exitCode(), 0) << version.readAllStandardError().toStdString();
  EXPECT_EQ(version.readAllStandardOutput().toStdString(),
            std::string("TERN ") + tern::kProgramVersion + "\n");

  QProcess help;
  runWithoutDisplay(help, QStringLiteral("--help"));
  EXPECT_EQ(help.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(help.exitCode(), 0) << help.readAllStandardError().toStdString();
  const QByteArray text = help.readAllStandardOutput();
  EXPECT_TRUE(text.contains("--simulate")) << text.toStdString();
  EXPECT_TRUE(text.contains("tern")) << text.toStdString();
}

}  // namespace
