#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <atomic>
#include <thread>

#include "platform/qt_host.h"
#include "platform/single_instance.h"

namespace tamso::gui {
namespace {

TEST(QtHost, FilterStringsBecomeQtNameFilters) {
  EXPECT_EQ(QtHost::ToQtFilter("Java Files (*.java)|*.java|All Files (*)|*"),
            "Java Files (*.java);;All Files (*)");
  EXPECT_EQ(QtHost::ToQtFilter("HTML Files (*.html;*.htm)|*.html;*.htm"),
            "HTML Files (*.html *.htm)");
  EXPECT_EQ(QtHost::ToQtFilter("Projects|*.jap"), "Projects (*.jap)");
  EXPECT_EQ(QtHost::ToQtFilter(""), "");
}

TEST(QtHost, WithoutASiteThereIsNoDocumentAndOutputGoesNowhere) {
  QtHost host;
  EXPECT_EQ(host.OpenDocument("/x.java"), nullptr);
  EXPECT_EQ(host.ActiveView(), nullptr);
  host.Output().AppendOutput("dropped", true);
}

TEST(SingleInstance, ASecondStartHandsItsFilesToTheFirstOfTheSameProfile) {
  QTemporaryDir dir;
  QString profile = dir.filePath("a.INI");
  SingleInstance first(profile);
  ASSERT_TRUE(first.Listen());
  QSignalSpy spy(&first, &SingleInstance::filesReceived);

  SingleInstance other(dir.filePath("b.INI"));  // another profile: nobody listens there
  EXPECT_FALSE(other.HandOver({"x.java"}, 200));

  // The second start blocks until the first answers, so it runs on its own thread
  // while this one serves the connection.
  std::atomic<bool> handed{false};
  std::thread second([&] {
    SingleInstance client(profile);
    handed = client.HandOver({dir.filePath("Hello.java").toStdString(), "/abs/caf\xe9.java"}, 5000);
  });
  ASSERT_TRUE(spy.wait(5000));
  // Let the answer go out before the client stops waiting for it.
  while (!handed) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  second.join();
  EXPECT_TRUE(handed);
  ASSERT_EQ(spy.count(), 1);
  // A name that is not valid UTF-8 arrives as its bytes.
  EXPECT_EQ(spy.at(0).at(0).value<QByteArrayList>(),
            (QByteArrayList{dir.filePath("Hello.java").toUtf8(), "/abs/caf\xe9.java"}));
}

}  // namespace
}  // namespace tamso::gui
