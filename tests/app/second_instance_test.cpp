// Starts the real program twice on one runtime folder: the second start is refused with
// "Anwendung läuft bereits!" and touches nothing, while the first runs on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <filesystem>

namespace {

QProcessEnvironment environmentFor(const QString& runtime, const QString& home) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("XDG_RUNTIME_DIR", runtime);
  env.insert("HOME", home);
  env.remove("XDG_DATA_HOME");
  return env;
}

TEST(SecondInstance, IsRefusedAndTheFirstRunsOn) {
  QTemporaryDir runtime, home1, home2;
  ASSERT_TRUE(runtime.isValid() && home1.isValid() && home2.isValid());
  const QString program = QStringLiteral(TERN_BIN_DIR "/tern");

  QProcess first;
  first.setProcessEnvironment(environmentFor(runtime.path(), home1.path()));
  first.start(program, {"--quit-after", "20000"});
  ASSERT_TRUE(first.waitForStarted());
  // The first instance has taken the lock once it has created its data folder.
  const auto firstData = std::filesystem::path(home1.path().toStdString()) / ".local/share/TERN";
  for (int i = 0; i < 200 && !std::filesystem::exists(firstData); ++i) QThread::msleep(50);
  ASSERT_TRUE(std::filesystem::exists(firstData));

  QProcess second;
  second.setProcessEnvironment(environmentFor(runtime.path(), home2.path()));
  second.start(program, {"--quit-after", "200"});
  ASSERT_TRUE(second.waitForFinished(15000));
  EXPECT_EQ(second.exitCode(), 1);
  EXPECT_TRUE(
      QString::fromUtf8(second.readAllStandardError()).contains("Anwendung läuft bereits!"));
  // The refused start created nothing.
  EXPECT_FALSE(
      std::filesystem::exists(std::filesystem::path(home2.path().toStdString()) / ".local"));

  EXPECT_EQ(first.state(), QProcess::Running);
  first.terminate();
  EXPECT_TRUE(first.waitForFinished(15000));
}

}  // namespace
