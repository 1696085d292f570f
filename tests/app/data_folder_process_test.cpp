// The real program with other real processes on one data folder: a second writer is refused
// and the first keeps its messages; a reader still works; the window and the service
// (`tern-cli watch`) refuse each other's folder; and logout's SIGTERM ends the window through
// its normal shutdown, which writes every data file.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

const char* const kDataFiles[] = {"fax_dwd_data.bin",         "fax_northwood_data.bin",
                                  "fax_halifax_data.bin",     "fax_boston_data.bin",
                                  "fax_new_orleans_data.bin", "dwd_d_data.bin",
                                  "dwd_e_data.bin",           "navtex_518_data.bin",
                                  "navtex_490_data.bin",      "baro_data.bin"};

class DataFolderProcesses : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(runtime_.isValid() && data_.isValid()); }

  // A window with its own runtime folder (so the single-instance guard does not meet it),
  // on the shared data folder, with the simulated receiver.
  void startWindow(QProcess& p, const QString& runtime, const char* quitAfterMs = "60000") {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", runtime);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TERN_BIN_DIR "/tern"),
            {"--simulate", "--data-folder", data_.path(), "--quit-after", quitAfterMs});
    ASSERT_TRUE(p.waitForStarted());
  }
  // Waits until the first polling pass has written the DWD file.
  void waitForFirstReadout() {
    const fs::path file = fs::path(data_.path().toStdString()) / "dwd_d_data.bin";
    for (int i = 0; i < 400 && !fs::exists(file); ++i) QThread::msleep(50);
    ASSERT_TRUE(fs::exists(file));
  }
  int cli(const QStringList& args, QString* errors = nullptr) {
    QProcess p;
    p.start(QStringLiteral(TERN_BIN_DIR "/tern-cli"), args);
    if (!p.waitForFinished(60000)) return -1;
    if (errors != nullptr) *errors = QString::fromUtf8(p.readAllStandardError());
    return p.exitCode();
  }
  fs::path data(const char* name) const { return fs::path(data_.path().toStdString()) / name; }

  QTemporaryDir runtime_, otherRuntime_, data_;
};

TEST_F(DataFolderProcesses, SecondWriterIsRefusedAndTheFirstKeepsItsData) {
  QProcess window;
  startWindow(window, runtime_.path());
  waitForFirstReadout();
  const QString inUse = QStringLiteral("Der Datenordner ") + data_.path() +
                        QStringLiteral("/ wird bereits von einem anderen TERN-Programm benutzt.");

  QString errors;
  EXPECT_EQ(cli({"readout", "--simulate", "--data-folder", data_.path()}, &errors), 1);
  EXPECT_TRUE(errors.contains(inUse)) << errors.toStdString();

  QProcess second;
  startWindow(second, otherRuntime_.path(), "300");  // ends its refusal box by itself
  ASSERT_TRUE(second.waitForFinished(20000));
  EXPECT_EQ(second.exitCode(), 1);
  EXPECT_TRUE(QString::fromUtf8(second.readAllStandardError()).contains(inUse));

  EXPECT_EQ(cli({"dump", "--data-folder", data_.path()}), 0) << "a reader is not refused";
  EXPECT_EQ(window.state(), QProcess::Running);

  window.terminate();
  ASSERT_TRUE(window.waitForFinished(20000));
  for (const char* name : kDataFiles) EXPECT_GT(fs::file_size(data(name)), 0u) << name;
  // Now the folder is free again.
  EXPECT_NE(cli({"readout", "--simulate", "--data-folder", data_.path()}, &errors), -1);
  EXPECT_FALSE(errors.contains(inUse));
}

TEST_F(DataFolderProcesses, TermSignalEndsTheWindowThroughItsShutdown) {
  QProcess window;
  startWindow(window, runtime_.path());
  waitForFirstReadout();
  // The barometer file is written at each barometer read-out (once a minute) and by the
  // shutdown: removed here, only the shutdown brings it back.
  ASSERT_TRUE(fs::remove(data("baro_data.bin")));
  window.terminate();  // SIGTERM
  ASSERT_TRUE(window.waitForFinished(20000));
  EXPECT_EQ(window.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(window.exitCode(), 0);
  for (const char* name : kDataFiles) EXPECT_TRUE(fs::exists(data(name))) << name;
  EXPECT_EQ(fs::file_size(data("baro_data.bin")), 258568u);
}

TEST_F(DataFolderProcesses, ServiceAndWindowNeverShareAFolder) {
  const QString inUse = QStringLiteral("Der Datenordner ") + data_.path() +
                        QStringLiteral("/ wird bereits von einem anderen TERN-Programm benutzt.");
  QProcess service;
  service.start(QStringLiteral(TERN_BIN_DIR "/tern-cli"),
                {"watch", "--simulate", "--data-folder", data_.path()});
  ASSERT_TRUE(service.waitForStarted());
  waitForFirstReadout();

  QProcess window;
  startWindow(window, runtime_.path(), "300");
  ASSERT_TRUE(window.waitForFinished(20000));
  EXPECT_EQ(window.exitCode(), 1);
  EXPECT_TRUE(QString::fromUtf8(window.readAllStandardError()).contains(inUse));

  service.terminate();
  ASSERT_TRUE(service.waitForFinished(20000));
  EXPECT_EQ(service.exitCode(), 0);

  // The other way round: the window first (it has the folder once it wrote its first file),
  // the service refused.
  fs::remove(data("dwd_d_data.bin"));
  startWindow(window, runtime_.path());
  waitForFirstReadout();
  QString errors;
  EXPECT_EQ(cli({"watch", "--simulate", "--data-folder", data_.path()}, &errors), 1);
  EXPECT_TRUE(errors.contains(inUse)) << errors.toStdString();
  window.terminate();
  ASSERT_TRUE(window.waitForFinished(20000));
}

}  // namespace
