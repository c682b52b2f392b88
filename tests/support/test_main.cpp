// Runs a test executable inside a QApplication (offscreen unless told otherwise), with its own
// home, configuration and runtime folders, so tests never touch the developer's settings.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>

namespace {

// Each test starts in an empty home of its own: what one test leaves there (a desktop folder, a
// data folder) is not what the next one finds, whether the tests run one per process or together.
class FreshHomePerTest : public ::testing::EmptyTestEventListener {
 public:
  explicit FreshHomePerTest(QString root) : root_(std::move(root)) {}
  void OnTestStart(const ::testing::TestInfo&) override {
    const QString home = QString("%1/home-%2").arg(root_).arg(++count_);
    QDir().mkpath(home);
    setenv("HOME", home.toUtf8().constData(), 1);
  }

 private:
  QString root_;
  int count_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QTemporaryDir processDir(QDir::tempPath() + "/kelvara-test-XXXXXX");
  const QByteArray root = processDir.path().toUtf8();
  for (const char* sub : {"home", "config", "runtime", "tmp"}) QDir(processDir.path()).mkpath(sub);
  QFile::setPermissions(processDir.path() + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  setenv("KELVARA_TEST_PROCESS_DIR", root.constData(), 1);
  setenv("HOME", (root + "/home").constData(), 1);
  setenv("XDG_CONFIG_HOME", (root + "/config").constData(), 1);
  setenv("XDG_RUNTIME_DIR", (root + "/runtime").constData(), 1);
  // Temporary files of their own: a test that counts what a step left in the temporary folder
  // must not see the files of the test programs running beside it.
  setenv("TMPDIR", (root + "/tmp").constData(), 1);
  // Some tests read the developers' trace lines to see what a step did.
  setenv("KELVARA_TRACE", "1", 1);

  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new FreshHomePerTest(processDir.path()));
  QApplication app(argc, argv);
  // Qt sets the locale from the environment; numbers in SQL and files use a point.
  std::setlocale(LC_NUMERIC, "C");
  return RUN_ALL_TESTS();
}
