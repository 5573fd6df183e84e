// System warning boxes come one at a time, however many are raised inside the
// loop of the box on screen.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <string>
#include <vector>

#include "services/qt_system_alerts.h"
#include "support/qt_test_application.h"

namespace krvo {
namespace {

struct Shown {
    std::vector<std::string> texts;
    int depth = 0;
    int deepest = 0;
};

TEST(SystemAlerts, WarningsRaisedInsideABoxWaitForItAndAreBounded) {
    testing::EnsureQtApplication();
    std::vector<std::string> shown;
    int depth = 0;
    int deepest = 0;
    std::size_t endAfter = 0;  // boxes shown before the program ends; 0: never
    QtSystemAlerts* self = nullptr;
    QtSystemAlerts alerts([&](QMessageBox& box) {
        deepest = std::max(deepest, ++depth);
        shown.push_back(box.text().toStdString());
        // A burst arriving while the first box is up.
        if (shown.size() == 1 && self != nullptr) {
            for (int i = 1; i <= 40; ++i) self->warning("道具演示", std::to_string(i), nullptr);
        }
        --depth;
    });
    self = &alerts;
    alerts.setEnding([&] { return endAfter != 0 && shown.size() >= endAfter; });

    alerts.warning("道具演示", "0", nullptr);
    EXPECT_EQ(deepest, 1);
    ASSERT_EQ(shown.size(), 1 + QtSystemAlerts::kMostWaiting);
    EXPECT_EQ(shown[1], "1");
    EXPECT_EQ(shown.back(), std::to_string(QtSystemAlerts::kMostWaiting));

    // What waits when the program ends is dropped; the next warning shows alone.
    shown.clear();
    endAfter = 3;
    alerts.warning("道具演示", "0", nullptr);
    EXPECT_EQ(shown, (std::vector<std::string>{"0", "1", "2"}));
    shown.clear();
    endAfter = 0;
    self = nullptr;
    alerts.warning("道具演示", "later", nullptr);
    EXPECT_EQ(shown, std::vector<std::string>{"later"});
}

TEST(SystemAlerts, NoticesShowWithoutALoopOneAtATimeOverTheirOwner) {
    testing::EnsureQtApplication();
    QWidget owner;
    bool ending = false;
    QtSystemAlerts alerts([](QMessageBox&) { ADD_FAILURE() << "a notice runs no loop"; });
    alerts.setNoticeOwner([&owner] { return &owner; });
    alerts.setEnding([&ending] { return ending; });

    alerts.notify("道具演示", "0", nullptr);
    QMessageBox* first = alerts.noticeShown();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowModality(), Qt::NonModal);
    EXPECT_EQ(first->parentWidget(), &owner);
    EXPECT_EQ(first->windowTitle(), QString::fromUtf8("道具演示"));
    for (int i = 1; i <= 40; ++i) alerts.notify("道具演示", std::to_string(i), nullptr);
    EXPECT_EQ(alerts.noticeShown(), first) << "later notices wait for the one on screen";

    std::vector<std::string> shown;
    while (QMessageBox* box = alerts.noticeShown()) {
        ASSERT_LE(shown.size(), 40u);
        shown.push_back(box->text().toStdString());
        box->button(QMessageBox::Ok)->click();
    }
    ASSERT_EQ(shown.size(), 1 + QtSystemAlerts::kMostWaiting);
    EXPECT_EQ(shown[1], "1");
    EXPECT_EQ(shown.back(), std::to_string(QtSystemAlerts::kMostWaiting));

    // Once the program ends, no notice comes up any more.
    ending = true;
    alerts.notify("道具演示", "late", nullptr);
    EXPECT_EQ(alerts.noticeShown(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Behind a backlog a newer notice replaces the one on screen and those
// waiting; the newest shows once the program has caught up.
TEST(SystemAlerts, BehindABacklogTheNewestNoticeReplacesTheOthers) {
    testing::EnsureQtApplication();
    bool behind = false;
    QtSystemAlerts alerts([](QMessageBox&) { ADD_FAILURE() << "a notice runs no loop"; });
    alerts.setFallenBehind([&behind] { return behind; });
    alerts.notify("道具演示", "0", nullptr);
    const QPointer<QMessageBox> first = alerts.noticeShown();
    ASSERT_NE(first, nullptr);
    alerts.notify("道具演示", "1", nullptr);
    behind = true;
    for (int i = 2; i <= 40; ++i) alerts.notify("道具演示", std::to_string(i), nullptr);
    EXPECT_TRUE(first.isNull() || !first->isVisible());
    EXPECT_EQ(alerts.noticeShown(), nullptr) << "nothing shows while the backlog is worked off";
    QTest::qWait(3 * QtSystemAlerts::kCatchUpCheckMs);
    EXPECT_EQ(alerts.noticeShown(), nullptr);

    behind = false;
    ASSERT_TRUE(QTest::qWaitFor([&] { return alerts.noticeShown() != nullptr; }, 5000));
    EXPECT_EQ(alerts.noticeShown()->text().toStdString(), "40");
    alerts.noticeShown()->button(QMessageBox::Ok)->click();
    EXPECT_EQ(alerts.noticeShown(), nullptr) << "no older notice waits behind it";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace krvo
